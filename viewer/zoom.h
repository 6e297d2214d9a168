#pragma once

#include <QSize>
#include <QString>

namespace pm32::viewer {

// A zoom as the control carries it: screen pixels for image pixels, in lowest
// terms and within the control's 1..32767 range.
struct ZoomRatio {
    int screen = 1;
    int image = 1;
    friend bool operator==(const ZoomRatio&, const ZoomRatio&) = default;
};

ZoomRatio Reduced(long long screen, long long image);

// "screen:image", as the zoom label shows it.
QString RatioText(ZoomRatio ratio);

// The largest zoom at which the whole image shows inside the area.
ZoomRatio FitRatio(QSize image, QSize area);

// A zoom close to FitRatio with few image units (four at most when it
// enlarges), never larger than the fit: the view's origin moves in whole
// image units, so a dragged area can then be shown from its corner.
ZoomRatio AreaRatio(QSize image, QSize area);

// The zoom a newly opened image gets: fitted to the area when it is smaller
// and small images are zoomed up, or larger and large images are zoomed
// down; 1:1 otherwise.
ZoomRatio InitialRatio(QSize image, QSize area, bool smallZoom, bool largeZoom);

// The next zoom step above or below the ratio (the ratio itself at the ends).
ZoomRatio StepIn(ZoomRatio ratio);
ZoomRatio StepOut(ZoomRatio ratio);

}  // namespace pm32::viewer
