#pragma once

#include "platform/automation/dispatch.h"
#include "platform/window/window_host.h"
#include "platform/window_registry.h"

namespace pm32::control {

// What a control learns from the container that hosts it.
class ControlSite {
  public:
    virtual ~ControlSite() = default;

    // The ambient UserMode: true at run time, false at design time.
    virtual bool UserMode() const = 0;

    // The control's window, 0 when it has none.
    virtual platform::HWND Window() const = 0;

    // The host of that window, which the control draws in; null when the
    // control has no window to show in. The host outlives the control, though
    // its window may go first.
    virtual platform::WindowHost* Host() = 0;

    // Where events go; may be null.
    virtual automation::EventSink* Events() = 0;

    // A bound property changed (its dispatch identifier).
    virtual void OnPropertyChanged(automation::DispId id) = 0;
};

}  // namespace pm32::control
