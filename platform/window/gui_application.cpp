#include "platform/window/gui_application.h"

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace pm32::platform {
namespace {

bool hasDisplay() {
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

}  // namespace

QGuiApplication* EnsureGuiApplication() {
    if (QCoreApplication::instance() != nullptr)
        return qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!hasDisplay() && std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Qt keeps references to argc and argv for the application's life.
    static int argc = 1;
    static char name[] = "pixmill32";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QGuiApplication> application =
        std::make_unique<QGuiApplication>(argc, argv);
    return application.get();
}

}  // namespace pm32::platform
