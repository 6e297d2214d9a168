#pragma once

#include <QPainter>
#include <QRect>

#include "engine/zdib.h"

namespace pm32::control {

// Where the design-time image goes in a window of the bounds' size and which
// part of it is drawn there (rows counted from the image's top).
struct DesignPlacement {
    QRect destination;
    QRect source;
};

// AutoSize fits the image to the window's nearer side, AutoScale to the other
// one, both keeping its proportions; otherwise it is drawn unscaled from the
// top-left corner and cut at the window's edges.
DesignPlacement PlaceDesignImage(QSize bounds, QSize image, bool autoSize, bool autoScale);

// Draws the DIB at the bounds' top-left corner as PlaceDesignImage says; an
// unreadable block draws nothing.
void PaintDesignImage(QPainter& painter, const QRect& bounds, HGLOBAL dib, bool autoSize,
                      bool autoScale);

}  // namespace pm32::control
