#pragma once

#include <QPoint>
#include <span>
#include <vector>

namespace pm32::control {

// A filled triangle at the end of a poly-line segment.
struct Arrowhead {
    QPoint tip;
    QPoint corner1;
    QPoint corner2;
};

// The head whose tip is at tip and which opens towards other: base corners
// 3 x (drawWidth + 4) pixels from the tip, arcsin(7/24) either side of the
// segment, each offset rounded to the nearest integer with an exact half
// rounding towards zero.
Arrowhead ArrowheadAt(QPoint tip, QPoint other, int drawWidth);

// The heads DrawArrows asks for along the points: with 1 or 3 one at the
// start of every segment, then with 2 or 3 one at the end of every segment.
std::vector<Arrowhead> Arrowheads(std::span<const QPoint> points, int drawArrows, int drawWidth);

}  // namespace pm32::control
