#include "platform/gdi/window_dc.h"

namespace pm32::platform::gdi {
namespace {

HandleRegistry<HWND>& contexts() {
    static HandleRegistry<HWND> registry;
    return registry;
}

}  // namespace

HDC GetDC(HWND window) {
    if (!IsWindow(window)) return 0;
    return contexts().add(window);
}

bool ReleaseDC(HWND window, HDC dc) {
    const HWND* owner = contexts().find(dc);
    if (owner == nullptr || *owner != window) return false;
    return contexts().remove(dc);
}

HWND WindowOfDC(HDC dc) {
    const HWND* owner = contexts().find(dc);
    return owner == nullptr ? 0 : *owner;
}

std::size_t LiveWindowDCCount() { return contexts().size(); }

}  // namespace pm32::platform::gdi
