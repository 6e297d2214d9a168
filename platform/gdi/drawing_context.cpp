#include "platform/gdi/drawing_context.h"

#include <QFontMetrics>
#include <cmath>
#include <numbers>

#include "platform/gdi/system_font.h"
#include "platform/gdi/text_layout.h"
#include "platform/window/gui_application.h"

namespace pm32::platform::gdi {
namespace {

// The outline of a GDI box: its pixels run from left to right - 1 and from
// top to bottom - 1, which is where a one-pixel Qt outline of this rectangle
// lands.
QRectF outlineOf(const QRect& box) {
    return QRectF(box.left(), box.top(), box.width() - 1, box.height() - 1);
}

}  // namespace

DrawingContext::DrawingContext(QPaintDevice& device, ColorTable colors)
    : colors_(std::move(colors)) {
    EnsureGuiApplication();
    font_ = SystemFont();
    if (!painter_.begin(&device)) return;
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
}

QPainterPath DrawingContext::arcPath(const QRect& box, QPoint start, QPoint end,
                                     ArcKind kind) const {
    QRectF ellipse = outlineOf(box);
    QPointF center = ellipse.center();
    double a = std::max(ellipse.width() / 2, 0.5);
    double b = std::max(ellipse.height() / 2, 0.5);
    // Qt places arc ends by the ellipse's parametric angle; this is the
    // parametric angle of the point where the radial through p meets it.
    auto angleOf = [&](QPoint p) {
        return std::atan2(-(p.y() - center.y()) / b, (p.x() - center.x()) / a) * 180 /
               std::numbers::pi;
    };
    double from = angleOf(start);
    double span = angleOf(end) - from;
    while (span <= 0) span += 360;
    QPainterPath path;
    if (kind == ArcKind::Pie) {
        path.moveTo(center);
        path.arcTo(ellipse, from, span);
    } else {
        path.arcMoveTo(ellipse, from);
        path.arcTo(ellipse, from, span);
    }
    if (kind != ArcKind::Open) path.closeSubpath();
    return path;
}

void DrawingContext::fill(const QPainterPath& path) {
    QColor background = matched(background_);
    QBrush brush = QtBrush(brush_.style, matched(brush_.color), opaque_ ? &background : nullptr);
    if (brush.style() != Qt::NoBrush) painter_.fillPath(path, brush);
}

void DrawingContext::stroke(const QPainterPath& path) {
    QPen pen = QtPen(pen_, matched(pen_.color));
    if (pen.style() == Qt::NoPen) return;
    // Opaque gaps of a dashed pen show the background colour.
    if (opaque_ && Dashed(pen_)) {
        QPen gaps = QtPen({PenStyle::Solid, 1, background_}, matched(background_));
        painter_.strokePath(path, gaps);
    }
    painter_.strokePath(path, pen);
}

void DrawingContext::Arc(const QRect& box, QPoint start, QPoint end) {
    stroke(arcPath(box, start, end, ArcKind::Open));
}

void DrawingContext::Chord(const QRect& box, QPoint start, QPoint end) {
    QPainterPath path = arcPath(box, start, end, ArcKind::Chord);
    fill(path);
    stroke(path);
}

void DrawingContext::Pie(const QRect& box, QPoint start, QPoint end) {
    QPainterPath path = arcPath(box, start, end, ArcKind::Pie);
    fill(path);
    stroke(path);
}

void DrawingContext::Rectangle(const QRect& box) {
    QPainterPath path;
    path.addRect(outlineOf(box));
    fill(path);
    stroke(path);
}

void DrawingContext::RoundRect(const QRect& box, int cornerWidth, int cornerHeight) {
    QPainterPath path;
    path.addRoundedRect(outlineOf(box), cornerWidth / 2.0, cornerHeight / 2.0, Qt::AbsoluteSize);
    fill(path);
    stroke(path);
}

void DrawingContext::Polygon(std::span<const QPoint> points, FillRule rule) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QPolygon(QList<QPoint>(points.begin(), points.end()))));
    path.closeSubpath();
    path.setFillRule(rule == FillRule::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    fill(path);
    QPen pen = QtPen(pen_, matched(pen_.color));
    if (!pen.isCosmetic() || pen.style() != Qt::SolidLine) {
        stroke(path);
        return;
    }
    // A one-pixel line leaves out one end, and Qt may draw a segment from
    // either end, so a closed path can lose a corner; an outline takes every
    // corner, so each side is drawn with both its ends.
    pen.setCapStyle(Qt::SquareCap);
    painter_.save();
    painter_.setPen(pen);
    for (std::size_t i = 0; i < points.size(); ++i)
        painter_.drawLine(points[i], points[(i + 1) % points.size()]);
    painter_.restore();
}

void DrawingContext::Polyline(std::span<const QPoint> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QPolygon(QList<QPoint>(points.begin(), points.end()))));
    stroke(path);
}

void DrawingContext::DrawText(const QRect& box, const QString& text, const TextFormat& format) {
    QFontMetrics metrics(font_);
    std::vector<QString> lines = SplitLines(text);
    if (format.wordBreak) lines = WrapLines(lines, metrics, box.width());
    int lineHeight = LineHeight(metrics, format.externalLeading);

    painter_.save();
    painter_.setClipRect(box);
    painter_.setFont(font_);
    painter_.setPen(matched(textColor_));
    painter_.setBackgroundMode(opaque_ ? Qt::OpaqueMode : Qt::TransparentMode);
    painter_.setBackground(QBrush(matched(background_)));
    int top = box.top();
    for (const QString& line : lines) {
        if (top >= box.top() + box.height()) break;
        int advance = metrics.horizontalAdvance(line);
        int x = box.left();
        if (format.align == TextAlign::Right) x = box.left() + box.width() - advance;
        if (format.align == TextAlign::Center) x = box.left() + (box.width() - advance) / 2;
        painter_.drawText(QPoint(x, top + metrics.ascent()), line);
        top += lineHeight;
    }
    painter_.restore();
}

}  // namespace pm32::platform::gdi
