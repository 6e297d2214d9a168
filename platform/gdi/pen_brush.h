#pragma once

#include <QBrush>
#include <QPen>

#include "platform/gdi/color_table.h"

namespace pm32::platform::gdi {

// The pen styles in GDI's order.
enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null, InsideFrame };

// Solid, hollow and the six GDI hatches, in the order FillStyle numbers them.
enum class BrushStyle {
    Solid,
    Hollow,
    Horizontal,
    Vertical,
    UpwardDiagonal,    // rising left to right
    DownwardDiagonal,  // falling left to right
    Cross,
    DiagonalCross,
};

struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 1;
    COLORREF color = 0;
};

struct Brush {
    BrushStyle style = BrushStyle::Hollow;
    COLORREF color = 0;
};

// A pen style shows only on a pen one pixel wide; a wider pen is solid.
PenStyle EffectiveStyle(const Pen& pen);
bool Dashed(const Pen& pen);

// The Qt pen for a GDI pen, its colour already matched; Qt::NoPen for the
// null style.
QPen QtPen(const Pen& pen, const QColor& color);

// The Qt brush for a GDI brush. A hatch is an 8 by 8 pattern aligned to the
// surface's origin; its gaps show background (opaque) or nothing.
QBrush QtBrush(BrushStyle style, const QColor& color, const QColor* background);

}  // namespace pm32::platform::gdi
