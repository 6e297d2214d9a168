#include "platform/gdi/pen_brush.h"

#include <QImage>

namespace pm32::platform::gdi {
namespace {

constexpr int kHatchSize = 8;

bool hatchCovers(BrushStyle style, int x, int y) {
    bool horizontal = y == 0;
    bool vertical = x == 0;
    bool upward = (x + y) % kHatchSize == kHatchSize - 1;
    bool downward = x == y;
    switch (style) {
        case BrushStyle::Horizontal:
            return horizontal;
        case BrushStyle::Vertical:
            return vertical;
        case BrushStyle::UpwardDiagonal:
            return upward;
        case BrushStyle::DownwardDiagonal:
            return downward;
        case BrushStyle::Cross:
            return horizontal || vertical;
        default:
            return upward || downward;
    }
}

}  // namespace

PenStyle EffectiveStyle(const Pen& pen) { return pen.width == 1 ? pen.style : PenStyle::Solid; }

bool Dashed(const Pen& pen) {
    PenStyle style = EffectiveStyle(pen);
    return style >= PenStyle::Dash && style <= PenStyle::DashDotDot;
}

QPen QtPen(const Pen& pen, const QColor& color) {
    PenStyle style = EffectiveStyle(pen);
    if (style == PenStyle::Null) return QPen(Qt::NoPen);
    QPen qt(color);
    qt.setWidth(pen.width);
    if (pen.width > 1) {
        // Wide GDI pens end and join round.
        qt.setCapStyle(Qt::RoundCap);
        qt.setJoinStyle(Qt::RoundJoin);
        return qt;
    }
    // A one-pixel pen is cosmetic, so Qt draws single-pixel lines along the
    // path as GDI does, and dash lengths count in pixels.
    qt.setCosmetic(true);
    qt.setCapStyle(Qt::FlatCap);
    switch (style) {
        case PenStyle::Dash:
            qt.setDashPattern({18, 6});
            break;
        case PenStyle::Dot:
            qt.setDashPattern({3, 3});
            break;
        case PenStyle::DashDot:
            qt.setDashPattern({9, 6, 3, 6});
            break;
        case PenStyle::DashDotDot:
            qt.setDashPattern({9, 3, 3, 3, 3, 3});
            break;
        default:
            break;
    }
    return qt;
}

QBrush QtBrush(BrushStyle style, const QColor& color, const QColor* background) {
    if (style == BrushStyle::Hollow) return QBrush(Qt::NoBrush);
    if (style == BrushStyle::Solid) return QBrush(color);
    QImage pattern(kHatchSize, kHatchSize, QImage::Format_ARGB32);
    pattern.fill(background != nullptr ? background->rgb() : qRgba(0, 0, 0, 0));
    for (int y = 0; y < kHatchSize; ++y)
        for (int x = 0; x < kHatchSize; ++x)
            if (hatchCovers(style, x, y)) pattern.setPixel(x, y, color.rgb());
    return QBrush(pattern);
}

}  // namespace pm32::platform::gdi
