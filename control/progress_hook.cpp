#include "control/progress_hook.h"

namespace pm32::control {

platform::HWND PeekWindow(automation::Dispatch& peek) {
    Variant window;
    try {
        window = automation::GetProperty(peek, "hWnd");
    } catch (const automation::AutomationError&) {
        Raise(err::NoCallbackWindow);
    }
    if (window.type() != VarType::I4) Raise(err::NoCallbackWindow);
    auto handle = static_cast<platform::HWND>(window.toI4());
    if (!platform::IsWindow(handle)) Raise(err::NoCallbackWindow);
    return handle;
}

ProgressPump::Callback CallbackOf(ZPm32& control) {
    std::weak_ptr<ZPm32> target = control.weak_from_this();
    return [target](int rows) {
        auto live = target.lock();
        return live ? (live->FireCallback(rows) ? 1 : 0) : 1;
    };
}

}  // namespace pm32::control
