#pragma once

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <QString>
#include <span>

#include "platform/gdi/color_table.h"
#include "platform/gdi/pen_brush.h"

namespace pm32::platform::gdi {

enum class FillRule { Alternate, Winding };
enum class TextAlign { Left, Right, Center };

struct TextFormat {
    TextAlign align = TextAlign::Left;
    bool wordBreak = false;
    bool externalLeading = false;
};

// A device context over a paint device: the selected pen, brush, font,
// background mode and colours, and GDI's shape and text calls drawn by
// QPainter without antialiasing. Every colour is matched through the colour
// table first. Boxes are GDI rectangles: the right and bottom edges lie
// outside. Starts with GDI's defaults: black pen, white brush, opaque white
// background, black text, the system font.
class DrawingContext {
  public:
    // The device must outlive the context; Active() is false when painting
    // on it cannot begin.
    DrawingContext(QPaintDevice& device, ColorTable colors);
    DrawingContext(const DrawingContext&) = delete;
    DrawingContext& operator=(const DrawingContext&) = delete;

    bool Active() const { return painter_.isActive(); }

    void SelectPen(const Pen& pen) { pen_ = pen; }
    void SelectBrush(const Brush& brush) { brush_ = brush; }
    void SetBackgroundOpaque(bool opaque) { opaque_ = opaque; }
    void SetBackgroundColor(COLORREF color) { background_ = color; }
    void SetTextColor(COLORREF color) { textColor_ = color; }
    void SelectFont(const QFont& font) { font_ = font; }
    const QFont& Font() const { return font_; }

    // Elliptic arcs inside box, from the radial through start counter-clockwise
    // to the radial through end; the same radial twice is the whole ellipse.
    void Arc(const QRect& box, QPoint start, QPoint end);
    void Chord(const QRect& box, QPoint start, QPoint end);
    void Pie(const QRect& box, QPoint start, QPoint end);
    void Rectangle(const QRect& box);
    void RoundRect(const QRect& box, int cornerWidth, int cornerHeight);
    void Polygon(std::span<const QPoint> points, FillRule rule);
    void Polyline(std::span<const QPoint> points);

    // The text's lines inside box, clipped to it, from its top.
    void DrawText(const QRect& box, const QString& text, const TextFormat& format);

  private:
    enum class ArcKind { Open, Chord, Pie };
    QPainterPath arcPath(const QRect& box, QPoint start, QPoint end, ArcKind kind) const;
    void fill(const QPainterPath& path);
    void stroke(const QPainterPath& path);
    QColor matched(COLORREF color) const { return colors_.Match(color); }

    ColorTable colors_;
    QPainter painter_;
    Pen pen_;
    Brush brush_{BrushStyle::Solid, 0xFFFFFF};
    bool opaque_ = true;
    COLORREF background_ = 0xFFFFFF;
    COLORREF textColor_ = 0;
    QFont font_;
};

}  // namespace pm32::platform::gdi
