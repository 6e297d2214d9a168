#include "tests/control/exchange_support.h"

namespace pm32::test {

void GiveFlat(PlacedControl& p, int width, int height, Rgb colour) {
    GiveImage(p, TrueColorDib(width, height, [=](int, int) { return colour; }));
}

Variant OleColor(Rgb colour) {
    return Variant::I4(colour.red | colour.green << 8 | colour.blue << 16);
}

Variant ObjectOf(PlacedControl& p) { return Variant::Object(p.control); }

void Select(PlacedControl& p, int left, int top, int width, int height) {
    p.put("SelectLeft", Variant::I2(static_cast<std::int16_t>(left)));
    p.put("SelectTop", Variant::I2(static_cast<std::int16_t>(top)));
    p.put("SelectWidth", Variant::I2(static_cast<std::int16_t>(width)));
    p.put("SelectHeight", Variant::I2(static_cast<std::int16_t>(height)));
}

}  // namespace pm32::test
