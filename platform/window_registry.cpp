#include "platform/window_registry.h"

namespace pm32::platform {
namespace {

HandleRegistry<PumpWaitingMessages>& windows() {
    static HandleRegistry<PumpWaitingMessages> registry;
    return registry;
}

}  // namespace

HWND RegisterWindow(PumpWaitingMessages pump) { return windows().add(std::move(pump)); }

bool UnregisterWindow(HWND window) { return windows().remove(window); }

bool IsWindow(HWND window) { return windows().find(window) != nullptr; }

void PumpWindowMessages(HWND window) {
    // Copied out so a pump that unregisters its own window stays safe.
    PumpWaitingMessages* pump = windows().find(window);
    if (pump == nullptr || !*pump) return;
    PumpWaitingMessages call = *pump;
    call();
}

}  // namespace pm32::platform
