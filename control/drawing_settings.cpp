#include "control/drawing_settings.h"

#include "control/dispids.h"
#include "control/zpm32.h"
#include "platform/automation/ole_color.h"

namespace pm32::control {
namespace {

platform::COLORREF colorOf(const ZPm32& c, DispId id) {
    return automation::TranslateOleColor(static_cast<std::uint32_t>(c.I4(id)));
}

}  // namespace

platform::gdi::Pen DrawingSettings::ShapePen() const {
    return {static_cast<platform::gdi::PenStyle>(drawStyle), drawWidth, foreColor};
}

platform::gdi::Brush DrawingSettings::ShapeBrush() const {
    return {static_cast<platform::gdi::BrushStyle>(fillStyle), fillColor};
}

DrawingSettings GatherDrawingSettings(const ZPm32& c) {
    namespace d = dispid;
    return {.left = c.I2(d::SelectLeft),
            .top = c.I2(d::SelectTop),
            .width = c.I2(d::SelectWidth),
            .height = c.I2(d::SelectHeight),
            .drawStyle = c.I2(d::DrawStyle),
            .drawWidth = c.I2(d::DrawWidth),
            .drawArrows = c.I2(d::DrawArrows),
            .fillStyle = c.I2(d::FillStyle),
            .fillTransparent = c.Bool(d::FillTransparent),
            .fillColor = colorOf(c, d::FillColor),
            .foreColor = colorOf(c, d::ForeColor),
            .backColor = colorOf(c, d::BackColor),
            .text = QString::fromStdString(c.String(d::Text)),
            .font = c.FontObject()->Description(),
            .fontTransparent = c.Bool(d::FontTransparent),
            .textAlignment = c.I2(d::TextAlignment),
            .textAutoSize = c.Bool(d::TextAutoSize),
            .textMultiLine = c.Bool(d::TextMultiLine),
            .textExtLeading = c.Bool(d::TextExtLeading)};
}

}  // namespace pm32::control
