#include "control/headless_site.h"

namespace pm32::control {

HeadlessSite::HeadlessSite(bool userMode, automation::EventSink* events,
                           std::optional<QSize> windowSize)
    : userMode_(userMode), events_(events) {
    if (windowSize)
        host_ = std::make_unique<platform::HeadlessWindowHost>(*windowSize);
    else
        window_ = platform::RegisterWindow([] {});
}

HeadlessSite::~HeadlessSite() {
    if (window_ != 0) platform::UnregisterWindow(window_);
}

}  // namespace pm32::control
