#include "control/engine_result.h"

namespace pm32::control {

HGLOBAL ImageHandle(ZPm32& control) {
    if (control.Image() == nullptr) Raise(err::NoDib);
    return control.Image()->handle;
}

void RaiseIfFailed(ErrorNumber n) {
    if (n != 0) Raise(n);
}

void InstallResult(ZPm32& control, HGLOBAL result, HPALETTE palette) {
    if (result == 0) Raise(err::BadArea);
    control.InstallImage(result, true, palette);
}

}  // namespace pm32::control
