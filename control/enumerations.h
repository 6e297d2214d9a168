#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace pm32::control {

// One published value: its name in the type description and, where the
// information texts show it, the text they show.
struct EnumValue {
    std::string_view name;
    std::int32_t value;
    std::string_view infoText = {};
};

struct Enumeration {
    std::string_view name;
    std::span<const EnumValue> values;
};

// The information texts' form of a value, or the undefined mark for a value
// the enumeration does not show.
std::string_view InfoTextOf(const Enumeration& enumeration, std::int32_t value);

// Every enumeration of the type description, in its published order.
std::span<const Enumeration* const> Enumerations();

namespace enums {
extern const Enumeration Appearance;
extern const Enumeration AssignMode;
extern const Enumeration AutoLoad;
extern const Enumeration DrawArrows;
extern const Enumeration DrawStyle;
extern const Enumeration DumpOption;
extern const Enumeration FillStyle;
extern const Enumeration ImageFormat;
extern const Enumeration LoadOptions;
extern const Enumeration LoadScale;
extern const Enumeration MousePointer;
extern const Enumeration RegionType;
extern const Enumeration RasterOp;
extern const Enumeration ResizeMode;
extern const Enumeration ScrollBars;
extern const Enumeration TextAlignment;
extern const Enumeration WriteOption;
}  // namespace enums

}  // namespace pm32::control
