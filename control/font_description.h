#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/toolkit_export.h"

namespace pm32::control {

// What the standard font object describes, as plain data: nothing here needs
// the GUI application, so properties and persistence work without one.
struct FontDescription {
    std::string name;
    std::int64_t sizeUnits = 0;  // points in units of 1/10000, as a currency value
    std::int16_t weight = 400;
    std::int16_t charset = 0;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;

    bool Bold() const { return weight >= kBoldWeight; }
    double Points() const { return static_cast<double>(sizeUnits) / kUnitsPerPoint; }

    static constexpr std::int16_t kNormalWeight = 400;
    static constexpr std::int16_t kBoldWeight = 700;
    static constexpr std::int16_t kMaxWeight = 1000;
    static constexpr std::int16_t kMaxCharset = 255;
    static constexpr std::int64_t kUnitsPerPoint = 10000;
    // 16384 pixels at 96 dpi, the tallest font text auto-sizing makes.
    static constexpr std::int64_t kMaxSizeUnits = 12288 * kUnitsPerPoint;

    bool operator==(const FontDescription&) const = default;
};

// The system font text falls back to: DejaVu Sans of 13 pixels, 9.75 points.
FontDescription SystemFontDescription();

// The persisted text form, fields in this order with Name last so that it
// may hold any character:
//   Size=9.75;Weight=400;Charset=0;Italic=False;Underline=False;Strikethrough=False;Name=DejaVu
//   Sans
// Size is in points with at most four decimals. Parsing takes the fields in
// any order, each at most once, Name always last; a field left out keeps the
// system font's value. Anything else (an unknown field, a value out of
// range) gives nullopt.
PM32_TOOLKIT_API std::string FontText(const FontDescription& font);
PM32_TOOLKIT_API std::optional<FontDescription> ParseFontText(std::string_view text);

}  // namespace pm32::control
