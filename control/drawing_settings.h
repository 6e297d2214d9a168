#pragma once

#include <QRect>
#include <QString>
#include <cstdint>

#include "control/font_description.h"
#include "platform/gdi/pen_brush.h"

namespace pm32::control {

class ZPm32;

// The control's drawing properties, gathered once per drawing call; colours
// are already translated from OLE colours.
struct DrawingSettings {
    // The selection rectangle every shape and text box is placed by.
    std::int16_t left = 0;
    std::int16_t top = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;

    std::int16_t drawStyle = 0;
    std::int16_t drawWidth = 1;
    std::int16_t drawArrows = 0;
    std::int16_t fillStyle = 1;
    bool fillTransparent = false;
    platform::COLORREF fillColor = 0;
    platform::COLORREF foreColor = 0;
    platform::COLORREF backColor = 0;

    QString text;
    FontDescription font;
    bool fontTransparent = false;
    std::int16_t textAlignment = 0;
    bool textAutoSize = false;
    bool textMultiLine = false;
    bool textExtLeading = false;

    bool HasSelection() const { return width > 0 && height > 0; }
    QRect Box() const { return QRect(left, top, width, height); }
    platform::gdi::Pen ShapePen() const;
    platform::gdi::Brush ShapeBrush() const;
};

DrawingSettings GatherDrawingSettings(const ZPm32& control);

}  // namespace pm32::control
