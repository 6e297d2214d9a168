#include "platform/window/gui_application.h"

#include <QApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace pm32::platform {
namespace {

bool hasDisplay() {
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

// Qt wants a per-user runtime folder and warns on standard error when the
// session has none (batch jobs, services, containers); a private one made
// for the process keeps its output clean and goes away at exit.
class RuntimeFolder {
  public:
    RuntimeFolder() {
        if (std::getenv("XDG_RUNTIME_DIR") != nullptr) return;
        const char* temp = std::getenv("TMPDIR");
        std::string pattern = std::string(temp != nullptr ? temp : "/tmp") + "/pixmill32-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) return;
        path_ = pattern;
        setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
    }
    ~RuntimeFolder() {
        if (path_.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    RuntimeFolder(const RuntimeFolder&) = delete;
    RuntimeFolder& operator=(const RuntimeFolder&) = delete;

  private:
    std::string path_;
};

// The one application of the process, of the kind its first user needed.
template <class Application>
Application* ensureApplication(bool withoutDisplay) {
    if (QCoreApplication::instance() != nullptr)
        return qobject_cast<Application*>(QCoreApplication::instance());
    if (withoutDisplay) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!hasDisplay() && std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Made before the application, so it is removed after it.
    static const RuntimeFolder runtimeFolder;
    // Qt keeps references to argc and argv for the application's life.
    static int argc = 1;
    static char name[] = "pixmill32";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<Application> application =
        std::make_unique<Application>(argc, argv);
    return application.get();
}

}  // namespace

QGuiApplication* EnsureGuiApplication() { return ensureApplication<QGuiApplication>(false); }

QApplication* EnsureWidgetApplication(bool withoutDisplay) {
    return ensureApplication<QApplication>(withoutDisplay);
}

}  // namespace pm32::platform
