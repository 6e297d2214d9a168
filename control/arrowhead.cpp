#include "control/arrowhead.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace pm32::control {
namespace {

int roundHalfTowardZero(double value) {
    double whole = std::trunc(value);
    if (std::abs(value - whole) == 0.5) return static_cast<int>(whole);
    return static_cast<int>(std::round(value));
}

}  // namespace

Arrowhead ArrowheadAt(QPoint tip, QPoint other, int drawWidth) {
    // The segment's direction is taken from 16-bit differences, which wrap;
    // they are formed wide so that far-apart 32-bit points cannot overflow.
    auto dx = static_cast<std::int16_t>(std::int64_t{other.x()} - tip.x());
    auto dy = static_cast<std::int16_t>(std::int64_t{other.y()} - tip.y());
    double theta = dx == 0 ? std::numbers::pi / 2 : std::atan(std::abs(dy) / std::abs(double(dx)));
    double half = std::asin(7.0 / 24.0);
    double r = 3.0 * (drawWidth + 4);
    double sx = dx < 0 ? -1 : 1;
    double sy = dy < 0 ? -1 : 1;
    // A corner beyond the 32-bit range stays at its edge.
    auto offset = [](int from, double by) {
        std::int64_t to = std::int64_t{from} + roundHalfTowardZero(by);
        return static_cast<int>(std::clamp<std::int64_t>(to, std::numeric_limits<int>::min(),
                                                         std::numeric_limits<int>::max()));
    };
    auto corner = [&](double angle) {
        return QPoint(offset(tip.x(), sx * r * std::cos(angle)),
                      offset(tip.y(), sy * r * std::sin(angle)));
    };
    return {tip, corner(theta + half), corner(theta - half)};
}

std::vector<Arrowhead> Arrowheads(std::span<const QPoint> points, int drawArrows, int drawWidth) {
    std::vector<Arrowhead> heads;
    if (points.size() < 2) return heads;
    if (drawArrows == 1 || drawArrows == 3)
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            heads.push_back(ArrowheadAt(points[i], points[i + 1], drawWidth));
    if (drawArrows == 2 || drawArrows == 3)
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            heads.push_back(ArrowheadAt(points[i + 1], points[i], drawWidth));
    return heads;
}

}  // namespace pm32::control
