#include "control/font_description.h"

#include <algorithm>
#include <charconv>
#include <set>

#include "platform/gdi/system_font.h"
#include "platform/text_compare.h"

namespace pm32::control {
namespace {

constexpr std::string_view kNameKey = "Name=";
constexpr int kSizeDecimals = 4;

std::optional<std::int64_t> wholeNumber(std::string_view text, std::int64_t max) {
    std::int64_t value = 0;
    const char* last = text.data() + text.size();
    auto [end, error] = std::from_chars(text.data(), last, value);
    if (text.empty() || text.front() == '-' || end != last || error != std::errc() || value > max)
        return std::nullopt;
    return value;
}

// Points with at most four decimals, exactly as units of 1/10000 point.
std::optional<std::int64_t> sizeUnits(std::string_view text) {
    std::size_t dot = text.find('.');
    std::string_view whole = text.substr(0, dot);
    std::string_view decimals = dot == std::string_view::npos ? "" : text.substr(dot + 1);
    if (decimals.size() > kSizeDecimals || (dot != std::string_view::npos && decimals.empty()))
        return std::nullopt;
    auto points = wholeNumber(whole, FontDescription::kMaxSizeUnits);
    auto fraction = decimals.empty() ? std::optional<std::int64_t>(0) : wholeNumber(decimals, 9999);
    if (!points || !fraction) return std::nullopt;
    for (std::size_t i = decimals.size(); i < kSizeDecimals; ++i) *fraction *= 10;
    std::int64_t units = *points * FontDescription::kUnitsPerPoint + *fraction;
    if (units <= 0 || units > FontDescription::kMaxSizeUnits) return std::nullopt;
    return units;
}

std::optional<bool> flag(std::string_view text) {
    if (platform::EqualsIgnoringCase(text, "True")) return true;
    if (platform::EqualsIgnoringCase(text, "False")) return false;
    return std::nullopt;
}

const char* flagText(bool value) { return value ? "True" : "False"; }

template <typename Value, typename Target>
bool assign(std::optional<Value> value, Target& target) {
    if (value) target = static_cast<Target>(*value);
    return value.has_value();
}

// Applies one Key=value field; false when the key is unknown or repeated, or
// the value out of range.
bool applyField(FontDescription& font, std::string_view field, std::set<std::string>& seen) {
    std::size_t equals = field.find('=');
    if (equals == std::string_view::npos) return false;
    std::string key(field.substr(0, equals));
    std::string_view value = field.substr(equals + 1);
    if (!seen.insert(key).second) return false;
    if (key == "Size") return assign(sizeUnits(value), font.sizeUnits);
    if (key == "Weight")
        return assign(wholeNumber(value, FontDescription::kMaxWeight), font.weight);
    if (key == "Charset")
        return assign(wholeNumber(value, FontDescription::kMaxCharset), font.charset);
    if (key == "Italic") return assign(flag(value), font.italic);
    if (key == "Underline") return assign(flag(value), font.underline);
    if (key == "Strikethrough") return assign(flag(value), font.strikethrough);
    return false;
}

}  // namespace

FontDescription SystemFontDescription() {
    // The system font's pixels as points at 96 dpi.
    constexpr std::int64_t units =
        platform::gdi::kSystemFontHeight * 72 * FontDescription::kUnitsPerPoint / 96;
    return {.name = platform::gdi::kSystemFontFamily, .sizeUnits = units};
}

std::string FontText(const FontDescription& font) {
    // Sizes come checked from the font object; a negative one would not read back anyway.
    std::int64_t units = std::max<std::int64_t>(font.sizeUnits, 0);
    std::string size = std::to_string(units / FontDescription::kUnitsPerPoint);
    std::string decimals = std::to_string(units % FontDescription::kUnitsPerPoint);
    decimals.insert(0, kSizeDecimals - decimals.size(), '0');
    while (!decimals.empty() && decimals.back() == '0') decimals.pop_back();
    if (!decimals.empty()) size += "." + decimals;
    return "Size=" + size + ";Weight=" + std::to_string(font.weight) +
           ";Charset=" + std::to_string(font.charset) + ";Italic=" + flagText(font.italic) +
           ";Underline=" + flagText(font.underline) +
           ";Strikethrough=" + flagText(font.strikethrough) + ";" + std::string(kNameKey) +
           font.name;
}

std::optional<FontDescription> ParseFontText(std::string_view text) {
    FontDescription font = SystemFontDescription();
    std::set<std::string> seen;
    while (!text.empty()) {
        if (text.starts_with(kNameKey)) {
            font.name = std::string(text.substr(kNameKey.size()));
            return font;
        }
        std::size_t end = text.find(';');
        if (!applyField(font, text.substr(0, end), seen)) return std::nullopt;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
        if (text.empty()) return std::nullopt;  // a trailing ';' promises a field
    }
    return font;
}

}  // namespace pm32::control
