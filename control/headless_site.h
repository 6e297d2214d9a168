#pragma once

#include <memory>
#include <optional>

#include "control/control_site.h"
#include "platform/toolkit_export.h"
#include "platform/window/headless_window_host.h"

namespace pm32::control {

// A site without a screen: run or design mode, an optional event sink, and a
// window other controls can peek at by its hWnd. That window is a bare
// registered one, or, given a size, a headless window the control shows in.
class PM32_TOOLKIT_API HeadlessSite : public ControlSite {
  public:
    HeadlessSite(bool userMode, automation::EventSink* events,
                 std::optional<QSize> windowSize = std::nullopt);
    ~HeadlessSite() override;
    HeadlessSite(const HeadlessSite&) = delete;
    HeadlessSite& operator=(const HeadlessSite&) = delete;

    bool UserMode() const override { return userMode_; }
    platform::HWND Window() const override { return host_ ? host_->Handle() : window_; }
    platform::WindowHost* Host() override { return host_.get(); }
    automation::EventSink* Events() override { return events_; }
    // Nothing is bound to the control's properties here.
    void OnPropertyChanged(automation::DispId) override {}

    // The headless window, null without one.
    platform::HeadlessWindowHost* window() { return host_.get(); }

  private:
    bool userMode_;
    automation::EventSink* events_;
    platform::HWND window_ = 0;
    std::unique_ptr<platform::HeadlessWindowHost> host_;
};

}  // namespace pm32::control
