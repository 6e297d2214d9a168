#include "tests/control/color_test_controls.h"

namespace pm32::test {

void GiveImage(PlacedControl& p, OwnedDib image) {
    p.call("ImportDib",
           {Variant::I4(static_cast<std::int32_t>(image.take())), Variant::Bool(true)});
    p.site->events.clear();
}

HGLOBAL ImageOf(PlacedControl& p) { return p.control->Image()->handle; }

automation::ArrayPtr IntegerArray(VarType type, std::vector<std::int32_t> values) {
    auto array = std::make_shared<automation::SafeArray>();
    array->elementType = type;
    for (std::int32_t v : values)
        array->elements.push_back(type == VarType::I2 ? Variant::I2(static_cast<std::int16_t>(v))
                                                      : Variant::I4(v));
    return array;
}

}  // namespace pm32::test
