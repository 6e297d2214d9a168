#include "process/axis_weights.h"

#include <cmath>

namespace pm32 {
namespace {

// Source positions are kept as exact fractions with the destination length as
// denominator, so pixel boundaries never drift.
void add(AxisWeights& w, std::int32_t destination, std::int32_t source, std::uint32_t weight) {
    while (w.offsets.size() <= static_cast<std::size_t>(destination) + 1)
        w.offsets.push_back(static_cast<std::uint32_t>(w.sources.size()));
    w.sources.push_back(source);
    w.weights.push_back(weight);
    w.offsets.back() = static_cast<std::uint32_t>(w.sources.size());
}

// A split part never vanishes, so every touched source pixel counts.
std::uint32_t roundedPart(double part) {
    auto rounded = static_cast<std::uint32_t>(std::lround(part));
    return rounded == 0 ? 1 : rounded;
}

// Each source pixel carries 255.9 / k, k = source / destination, split where
// a destination boundary falls inside it.
AxisWeights areaAverage(std::int64_t s, std::int64_t d) {
    AxisWeights w;
    w.offsets.push_back(0);
    const double whole = 255.9 * static_cast<double>(d) / static_cast<double>(s);
    for (std::int64_t i = 0; i < s; ++i) {
        const std::int64_t j = i * d / s;
        const std::int64_t boundary = (j + 1) * s;  // in units of 1/d source pixel
        if (boundary < (i + 1) * d) {
            const double before = 255.9 * static_cast<double>(boundary - i * d) / s;
            const double after = 255.9 * static_cast<double>((i + 1) * d - boundary) / s;
            add(w, static_cast<std::int32_t>(j), static_cast<std::int32_t>(i), roundedPart(before));
            add(w, static_cast<std::int32_t>(j + 1), static_cast<std::int32_t>(i),
                roundedPart(after));
        } else {
            add(w, static_cast<std::int32_t>(j), static_cast<std::int32_t>(i), roundedPart(whole));
        }
    }
    return w;
}

// Destination pixel j spans [j q, (j + 1) q), q = source / destination < 1.
AxisWeights blend(std::int64_t s, std::int64_t d, Axis axis) {
    AxisWeights w;
    w.offsets.push_back(0);
    w.bias = 128;
    for (std::int64_t j = 0; j < d; ++j) {
        const std::int64_t i = j * s / d;
        const std::int64_t boundary = (i + 1) * d;  // in units of 1/d source pixel
        const auto jj = static_cast<std::int32_t>(j);
        const auto ii = static_cast<std::int32_t>(i);
        if ((j + 1) * s <= boundary) {
            add(w, jj, ii, 255);
            continue;
        }
        const auto before = static_cast<double>(boundary - j * s) / static_cast<double>(s);
        const auto after = static_cast<double>((j + 1) * s - boundary) / static_cast<double>(s);
        if (axis == Axis::Horizontal) {
            auto g = static_cast<std::uint32_t>(before * 255.0);
            if (g == 0) g = 1;
            add(w, jj, ii, g);
            add(w, jj, ii + 1, 255 - g);
        } else {
            add(w, jj, ii, static_cast<std::uint32_t>(before * 255.9));
            add(w, jj, ii + 1, static_cast<std::uint32_t>(after * 255.9));
        }
    }
    return w;
}

}  // namespace

AxisWeights MakeAxisWeights(std::int32_t sourceLength, std::int32_t destinationLength, Axis axis) {
    if (sourceLength >= destinationLength) return areaAverage(sourceLength, destinationLength);
    return blend(sourceLength, destinationLength, axis);
}

}  // namespace pm32
