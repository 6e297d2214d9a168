#include "tests/window/offscreen_application.h"

#include <gtest/gtest.h>

#include <memory>

namespace pm32::test {
namespace {

// Owns the application for the whole run and ends it while the test program
// still runs: Qt cannot be taken down by the exit handlers.
class ApplicationEnvironment : public ::testing::Environment {
  public:
    QApplication& application() {
        if (!application_) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            application_ = std::make_unique<QApplication>(argc_, argv_);
        }
        return *application_;
    }
    void TearDown() override { application_.reset(); }

  private:
    int argc_ = 1;
    char name_[18] = "pm32_window_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

// gtest owns the environment once it is added.
ApplicationEnvironment* const environment = static_cast<ApplicationEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment));

}  // namespace

QApplication& OffscreenApplication() { return environment->application(); }

}  // namespace pm32::test
