#pragma once

#include <QRegion>
#include <ostream>

// Lets GoogleTest show regions as their rectangles when a comparison fails.
inline void PrintTo(const QRegion& region, std::ostream* out) {
    *out << "{";
    for (const QRect& rect : region)
        *out << " " << rect.width() << "x" << rect.height() << "+" << rect.x() << "+" << rect.y();
    *out << " }";
}
