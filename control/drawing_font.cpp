#include "control/drawing_font.h"

#include <algorithm>

#include "platform/gdi/system_font.h"

namespace pm32::control {

int PixelSizeOf(std::int64_t sizeUnits) {
    // pixels = points x 96 / 72, rounded half up.
    constexpr std::int64_t kUnitsPerPixel = FontDescription::kUnitsPerPoint * 72;
    std::int64_t pixels = (sizeUnits * 96 + kUnitsPerPixel / 2) / kUnitsPerPixel;
    return static_cast<int>(std::max<std::int64_t>(1, pixels));
}

QFont DrawingFont(const FontDescription& description) {
    QFont font = platform::gdi::SystemFont();
    font.setFamily(QString::fromStdString(description.name));
    font.setPixelSize(PixelSizeOf(description.sizeUnits));
    // Weight 0 is GDI's "don't care": the normal weight.
    int weight = description.weight == 0 ? FontDescription::kNormalWeight : description.weight;
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(description.italic);
    font.setUnderline(description.underline);
    font.setStrikeOut(description.strikethrough);
    return font;
}

}  // namespace pm32::control
