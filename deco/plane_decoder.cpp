#include "deco/plane_decoder.h"

#include <algorithm>
#include <cstdlib>

#include "deco/isometry.h"

namespace deco {
namespace {

// Below this largest change in a pass (in 1/16 grey levels) the base zoom has converged.
constexpr int kConverged = 2;

int scaled(int value, int shift) { return shift >= 0 ? value << shift : value >> -shift; }

DecodedPlane emptyPlane(const PlaneGeometry& geometry, int shift) {
    DecodedPlane plane;
    plane.shift = shift;
    plane.width = scaled(geometry.paddedWidth, shift);
    plane.height = scaled(geometry.paddedHeight, shift);
    plane.samples.assign(static_cast<std::size_t>(plane.width) * plane.height, 0);
    return plane;
}

// Writes one range block of `out` from the domain samples gathered in
// `domain` (size x size, row-major); returns the largest change made.
int writeRange(DecodedPlane& out, const Leaf& leaf, int contrast, const std::vector<int>& domain,
               int size) {
    int rx = scaled(leaf.x, out.shift), ry = scaled(leaf.y, out.shift);
    int mean = leaf.mean << kSampleShift;
    long long sum = 0;
    for (int value : domain) sum += value;
    int domainMean = static_cast<int>(sum / static_cast<long long>(domain.size()));
    int change = 0;
    for (int y = 0; y < size; ++y) {
        std::uint16_t* row = &out.samples[static_cast<std::size_t>(ry + y) * out.width + rx];
        for (int x = 0; x < size; ++x) {
            int value = mean;
            if (contrast != 0) {
                int u = 0, v = 0;
                sourceOf(leaf.isometry, size, x, y, u, v);
                value += (contrast * (domain[v * size + u] - domainMean) + 128) >> 8;
            }
            value = std::clamp(value, 0, kSampleMax);
            change = std::max(change, std::abs(value - row[x]));
            row[x] = static_cast<std::uint16_t>(value);
        }
    }
    return change;
}

// One pass at the base zoom: each domain is shrunk from the same plane.
int iterateBase(DecodedPlane& plane, const PlaneCode& code, const ContrastTable& contrast,
                std::vector<int>& domain) {
    int change = 0;
    for (const Leaf& leaf : code.leaves) {
        int size = scaled(leaf.size, plane.shift);
        domain.resize(static_cast<std::size_t>(size) * size);
        int dx = scaled(leaf.domainX, plane.shift), dy = scaled(leaf.domainY, plane.shift);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                int sx = dx + 2 * x, sy = dy + 2 * y;
                domain[y * size + x] = (plane.at(sx, sy) + plane.at(sx + 1, sy) +
                                        plane.at(sx, sy + 1) + plane.at(sx + 1, sy + 1) + 2) >> 2;
            }
        change = std::max(change, writeRange(plane, leaf, contrast[leaf.contrastCode], domain, size));
    }
    return change;
}

// One octave up: a domain at the finer zoom, shrunk, is the same block of the coarser plane.
DecodedPlane climb(const DecodedPlane& below, const PlaneCode& code, const ContrastTable& contrast,
                   const PixelRect* wanted, std::vector<int>& domain) {
    DecodedPlane out = emptyPlane(code.geometry, below.shift + 1);
    for (const Leaf& leaf : code.leaves) {
        int size = scaled(leaf.size, out.shift);
        if (wanted != nullptr && !wanted->meets(scaled(leaf.x, out.shift),
                                                scaled(leaf.y, out.shift), size, size))
            continue;
        domain.resize(static_cast<std::size_t>(size) * size);
        int dx = scaled(leaf.domainX, below.shift), dy = scaled(leaf.domainY, below.shift);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) domain[y * size + x] = below.at(dx + x, dy + y);
        writeRange(out, leaf, contrast[leaf.contrastCode], domain, size);
    }
    return out;
}

}  // namespace

DecodedPlane decodePlane(const PlaneCode& code, const ContrastTable& contrast, int shift,
                         const PixelRect& wanted) {
    DecodedPlane plane = emptyPlane(code.geometry, kBaseShift);
    // Starting from each block's mean, the iteration has least to do.
    for (const Leaf& leaf : code.leaves) {
        int size = scaled(leaf.size, plane.shift);
        int rx = scaled(leaf.x, plane.shift), ry = scaled(leaf.y, plane.shift);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                plane.samples[static_cast<std::size_t>(ry + y) * plane.width + rx + x] =
                    static_cast<std::uint16_t>(leaf.mean << kSampleShift);
    }
    std::vector<int> domain;
    for (int pass = 0; pass < kMaxIterations; ++pass)
        if (iterateBase(plane, code, contrast, domain) <= kConverged) break;
    while (plane.shift < shift)
        plane = climb(plane, code, contrast, plane.shift + 1 == shift ? &wanted : nullptr, domain);
    return plane;
}

}  // namespace deco
