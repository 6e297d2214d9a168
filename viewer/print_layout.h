#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace pm32::viewer {

// The Scale box: a percentage of the size the image has on a screen at 1:1,
// where 96 image pixels make an inch. 100 % of a 960-pixel-wide image prints
// ten inches wide whatever the printer's resolution.
inline constexpr int kScreenPixelsPerInch = 96;
inline constexpr int kLowestScale = 1;
inline constexpr int kHighestScale = 10000;

// How the print dialog places the image on the page.
struct PrintPlacement {
    bool fitToPage = false;
    bool centerHorizontally = false;
    bool centerVertically = false;
    int scalePercent = 100;
    // Where the user dragged the rectangle's top-left corner, in device
    // pixels from the printable area's top-left corner.
    QPoint dragged;
};

// The largest size of the image's aspect ratio that fits the area, never
// smaller than one pixel either way.
QSize FitInside(QSize image, QSize area);

// The image's size on a device of that resolution at the percentage.
QSize ScaledSize(QSize image, int scalePercent, int dotsPerInch);

// The percentage (rounded) at which ScaledSize gives that width.
int ScaleOfWidth(QSize image, int width, int dotsPerInch);

// The image rectangle in device pixels of a page whose printable area is
// given in the same pixels. Sizes stay within the control's 16-bit print
// properties. An offset is kept inside the printable area as far as the
// rectangle fits there; a rectangle larger than the area may only be moved
// to show another part of it.
QRect PlaceOnPage(QRect printable, QSize image, int dotsPerInch, const PrintPlacement& placement);

// The dragged offset that keeps a rectangle of that size where the dialog
// can show it: the clamping PlaceOnPage applies.
QPoint ClampedOffset(QPoint offset, QSize size, QSize printable);

}  // namespace pm32::viewer
