#include "platform/gdi/text_fit.h"

#include <QFontMetrics>
#include <algorithm>

#include "platform/gdi/system_font.h"

namespace pm32::platform::gdi {
namespace {

constexpr int kLargestHeight = 16384;

}  // namespace

QFont FitFontToBox(const QString& text, const QFont& font, QSize box, const MeasureRules& rules) {
    MeasureRules unwrapped = rules;
    unwrapped.wrap = false;
    TextMeasure measure = MeasureText(text, font, unwrapped);
    if (measure.lineCount == 0 || measure.longestLineLength == 0) return font;

    QFontMetrics metrics(font);
    int averageWidth = std::max(1, metrics.averageCharWidth());
    double byWidth = static_cast<double>(box.width() / measure.longestLineLength) *
                     (static_cast<double>(metrics.height()) / averageWidth);
    double byHeight = box.height() / measure.lineCount + 1;
    // A box too small for even one pixel per character still gets the
    // smallest font rather than none.
    int height = std::clamp(static_cast<int>(std::min(byWidth, byHeight)), 1, kLargestHeight);

    QFont fitted = FontOfHeight(font, height);
    measure = MeasureText(text, fitted, unwrapped);
    while (measure.height < box.height() && measure.width < box.width() &&
           height < kLargestHeight) {
        fitted = FontOfHeight(font, ++height);
        measure = MeasureText(text, fitted, unwrapped);
    }
    while ((measure.height > box.height() || measure.width > box.width()) && height > 1) {
        fitted = FontOfHeight(font, --height);
        measure = MeasureText(text, fitted, unwrapped);
    }
    return fitted;
}

}  // namespace pm32::platform::gdi
