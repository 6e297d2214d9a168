#pragma once

#include "control/control_site.h"

namespace pm32::tools {

// A site without a screen: run or design mode, a registered window with no
// messages (so the control's hWnd names a live window other controls can
// peek at), and an optional event sink.
class HeadlessSite : public control::ControlSite {
  public:
    HeadlessSite(bool userMode, automation::EventSink* events);
    ~HeadlessSite() override;
    HeadlessSite(const HeadlessSite&) = delete;
    HeadlessSite& operator=(const HeadlessSite&) = delete;

    bool UserMode() const override { return userMode_; }
    platform::HWND Window() const override { return window_; }
    automation::EventSink* Events() override { return events_; }
    // Nothing is bound to the control's properties here.
    void OnPropertyChanged(automation::DispId) override {}

  private:
    bool userMode_;
    automation::EventSink* events_;
    platform::HWND window_;
};

}  // namespace pm32::tools
