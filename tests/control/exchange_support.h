#pragma once

#include "tests/control/color_test_controls.h"
#include "tests/control/test_site.h"
#include "tests/support/test_dibs.h"

namespace pm32::test {

// A control holding a true-colour image of one colour.
void GiveFlat(PlacedControl& p, int width, int height, Rgb colour);

// An OLE colour for a plain RGB value (0x00BBGGRR).
Variant OleColor(Rgb colour);

// The control as an automation argument.
Variant ObjectOf(PlacedControl& p);

// Sets the control's selection rectangle.
void Select(PlacedControl& p, int left, int top, int width, int height);

// A copy of a DIB handle the caller got; freed with the guard.
inline OwnedDib Returned(const Variant& handle) {
    return OwnedDib(static_cast<HGLOBAL>(handle.toI4()));
}

}  // namespace pm32::test
