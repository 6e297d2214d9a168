#include <vector>

#include "control/array_argument.h"
#include "control/arrowhead.h"
#include "control/drawing_settings.h"
#include "control/drawing_surface.h"
#include "control/entries.h"
#include "control/zpm32.h"
#include "platform/gdi/window_dc.h"

namespace pm32::control::entries {
namespace {

using platform::gdi::Brush;
using platform::gdi::BrushStyle;
using platform::gdi::DrawingContext;
using platform::gdi::FillRule;

// The checks every drawing method starts with, in their order.
DrawDestination checkImageAndDestination(ZPm32& c, const Variant& destination) {
    if (c.Image() == nullptr) Raise(err::NoDib);
    return DestinationOf(destination);
}

void requireSelection(const DrawingSettings& s) {
    if (!s.HasSelection()) Raise(err::EmptySelectArea);
}

// The pen and background of every shape; filled shapes also take the brush,
// whose hatches and hollow style have BackColor behind them. Lines keep the
// context's own background colour for the gaps of an opaque dashed pen.
void selectShapeTools(DrawingContext& dc, const DrawingSettings& s, bool filled) {
    dc.SelectPen(s.ShapePen());
    dc.SetBackgroundOpaque(!s.fillTransparent);
    if (!filled) return;
    Brush brush = s.ShapeBrush();
    dc.SelectBrush(brush);
    if (brush.style != BrushStyle::Solid) dc.SetBackgroundColor(s.backColor);
}

// The points x0, y0, x1, y1, ... of an array that must hold count of them.
std::vector<QPoint> pointsOf(const Variant& argument, std::int16_t count) {
    ArrayArgument array(argument, VarType::I4);
    array.RequireElements(2 * static_cast<std::int64_t>(count));
    std::vector<QPoint> points;
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
        points.emplace_back(array.Integer(2 * i), array.Integer(2 * i + 1));
    return points;
}

enum class ArcShape { Arc, Chord, Pie };

Variant drawArc(ZPm32& c, std::span<Variant> args, ArcShape shape) {
    DrawDestination destination = checkImageAndDestination(c, args[4]);
    DrawingSettings s = GatherDrawingSettings(c);
    requireSelection(s);
    QPoint start(args[0].toI2(), args[1].toI2());
    QPoint end(args[2].toI2(), args[3].toI2());
    DrawOn(c, destination, [&](DrawingContext& dc) {
        selectShapeTools(dc, s, shape != ArcShape::Arc);
        if (shape == ArcShape::Arc)
            dc.Arc(s.Box(), start, end);
        else if (shape == ArcShape::Chord)
            dc.Chord(s.Box(), start, end);
        else
            dc.Pie(s.Box(), start, end);
    });
    return {};
}

}  // namespace

Variant Arc(ZPm32& c, std::span<Variant> args) { return drawArc(c, args, ArcShape::Arc); }
Variant Chord(ZPm32& c, std::span<Variant> args) { return drawArc(c, args, ArcShape::Chord); }
Variant Pie(ZPm32& c, std::span<Variant> args) { return drawArc(c, args, ArcShape::Pie); }

Variant Rect(ZPm32& c, std::span<Variant> args) {
    DrawDestination destination = checkImageAndDestination(c, args[0]);
    DrawingSettings s = GatherDrawingSettings(c);
    requireSelection(s);
    DrawOn(c, destination, [&](DrawingContext& dc) {
        selectShapeTools(dc, s, true);
        dc.Rectangle(s.Box());
    });
    return {};
}

Variant RoundRect(ZPm32& c, std::span<Variant> args) {
    DrawDestination destination = checkImageAndDestination(c, args[2]);
    DrawingSettings s = GatherDrawingSettings(c);
    requireSelection(s);
    int cornerWidth = args[0].toI2();
    int cornerHeight = args[1].toI2();
    DrawOn(c, destination, [&](DrawingContext& dc) {
        selectShapeTools(dc, s, true);
        dc.RoundRect(s.Box(), cornerWidth, cornerHeight);
    });
    return {};
}

Variant Polygon(ZPm32& c, std::span<Variant> args) {
    DrawDestination destination = checkImageAndDestination(c, args[3]);
    DrawingSettings s = GatherDrawingSettings(c);
    std::int16_t count = args[1].toI2();
    if (count < 3) Raise(err::TooFewPolygonPoints);
    std::vector<QPoint> points = pointsOf(args[0], count);
    FillRule rule = args[2].toI2() != 0 ? FillRule::Winding : FillRule::Alternate;
    DrawOn(c, destination, [&](DrawingContext& dc) {
        selectShapeTools(dc, s, true);
        dc.Polygon(points, rule);
    });
    return {};
}

Variant PolyLine(ZPm32& c, std::span<Variant> args) {
    DrawDestination destination = checkImageAndDestination(c, args[2]);
    DrawingSettings s = GatherDrawingSettings(c);
    std::int16_t count = args[1].toI2();
    if (count < 2) Raise(err::TooFewPolyLinePoints);
    std::vector<QPoint> points = pointsOf(args[0], count);
    DrawOn(c, destination, [&](DrawingContext& dc) {
        selectShapeTools(dc, s, false);
        dc.Polyline(points);
    });
    std::vector<Arrowhead> heads = Arrowheads(points, s.drawArrows, s.drawWidth);
    if (heads.empty()) return {};
    // The heads go on a fresh surface with a solid pen, a solid brush and an
    // opaque background, whatever the shape styles say.
    DrawingSettings solid = s;
    solid.drawStyle = 0;
    solid.fillStyle = 0;
    solid.fillTransparent = false;
    DrawOn(c, destination, [&](DrawingContext& dc) {
        selectShapeTools(dc, solid, true);
        for (const Arrowhead& head : heads) {
            const QPoint triangle[] = {head.tip, head.corner1, head.corner2};
            dc.Polygon(triangle, FillRule::Alternate);
        }
    });
    return {};
}

Variant GetHDC(ZPm32& c, std::span<Variant>) {
    platform::WindowHost* host = c.Host();
    platform::gdi::HDC dc = host != nullptr ? platform::gdi::GetDC(host->Handle()) : 0;
    if (dc == 0) Raise(err::NoDeviceContext);
    return Variant::I4(static_cast<std::int32_t>(dc));
}

}  // namespace pm32::control::entries
