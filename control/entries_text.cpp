#include <algorithm>

#include "control/drawing_font.h"
#include "control/drawing_settings.h"
#include "control/drawing_surface.h"
#include "control/entries.h"
#include "control/zpm32.h"
#include "platform/gdi/text_fit.h"
#include "platform/gdi/text_layout.h"

namespace pm32::control::entries {
namespace {

using platform::gdi::BrushStyle;
using platform::gdi::DrawingContext;
using platform::gdi::MeasureRules;
using platform::gdi::PenStyle;
using platform::gdi::TextAlign;
using platform::gdi::TextFormat;
using platform::gdi::TextMeasure;

MeasureRules measureRules(const DrawingSettings& s) {
    return {.dropSpaceAfterLineFeed = s.textAlignment == 0,
            .wrap = s.textMultiLine && !s.textAutoSize,
            .wrapWidth = s.width,
            .externalLeading = s.textExtLeading};
}

TextAlign alignOf(const DrawingSettings& s) {
    if (s.textAlignment == 1) return TextAlign::Right;
    if (s.textAlignment == 2) return TextAlign::Center;
    return TextAlign::Left;
}

// What Text needs with the control's font, after auto-sizing when that is on.
TextMeasure measureText(const DrawingSettings& s) {
    if (s.text.isEmpty()) return {};
    if (s.textAutoSize && !s.HasSelection()) return {};
    MeasureRules rules = measureRules(s);
    QFont font = DrawingFont(s.font);
    if (s.textAutoSize) font = platform::gdi::FitFontToBox(s.text, font, s.Box().size(), rules);
    return platform::gdi::MeasureText(s.text, font, rules);
}

Variant asI2(int value) { return Variant::I2(static_cast<std::int16_t>(std::min(value, 32767))); }

}  // namespace

Variant TextDraw(ZPm32& c, std::span<Variant> args) {
    if (c.Image() == nullptr) Raise(err::NoDib);
    DrawDestination destination = DestinationOf(args[0]);
    DrawingSettings s = GatherDrawingSettings(c);
    if (s.text.isEmpty() || !s.HasSelection()) return {};
    DrawOn(c, destination, [&](DrawingContext& dc) {
        // The window keeps its context's own colours.
        if (destination == DrawDestination::Image) {
            dc.SetTextColor(s.foreColor);
            dc.SetBackgroundOpaque(false);
            if (!s.fontTransparent) {
                dc.SelectPen({PenStyle::Solid, 1, s.backColor});
                dc.SelectBrush({BrushStyle::Solid, s.backColor});
            }
        }
        dc.SelectFont(DrawingFont(s.font));
        TextFormat format{.align = alignOf(s)};
        if (s.textAutoSize) {
            dc.SelectFont(
                platform::gdi::FitFontToBox(s.text, dc.Font(), s.Box().size(), measureRules(s)));
        } else {
            format.wordBreak = s.textMultiLine;
            format.externalLeading = s.textExtLeading;
        }
        if (!s.fontTransparent) dc.Rectangle(s.Box());
        dc.DrawText(s.Box(), s.text, format);
    });
    return {};
}

Variant TextHigh(ZPm32& c, std::span<Variant>) {
    return asI2(measureText(GatherDrawingSettings(c)).height);
}

Variant TextWide(ZPm32& c, std::span<Variant>) {
    return asI2(measureText(GatherDrawingSettings(c)).width);
}

}  // namespace pm32::control::entries
