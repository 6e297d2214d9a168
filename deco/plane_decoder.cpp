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
    // The isometry walks the domain along straight lines: find where a row
    // starts and how one step right and one step down move in it.
    int u0 = 0, v0 = 0, u1 = 0, v1 = 0, u2 = 0, v2 = 0;
    sourceOf(leaf.isometry, size, 0, 0, u0, v0);
    sourceOf(leaf.isometry, size, size > 1 ? 1 : 0, 0, u1, v1);
    sourceOf(leaf.isometry, size, 0, size > 1 ? 1 : 0, u2, v2);
    int origin = v0 * size + u0;
    int stepRight = (v1 - v0) * size + (u1 - u0);
    int stepDown = (v2 - v0) * size + (u2 - u0);
    int change = 0;
    for (int y = 0; y < size; ++y) {
        std::uint16_t* row = &out.samples[static_cast<std::size_t>(ry + y) * out.width + rx];
        int at = origin + y * stepDown;
        for (int x = 0; x < size; ++x, at += stepRight) {
            int value =
                mean +
                ((contrast * (domain[static_cast<std::size_t>(at)] - domainMean) + 128) >> 8);
            value = std::clamp(value, 0, kSampleMax);
            change = std::max(change, std::abs(value - row[x]));
            row[x] = static_cast<std::uint16_t>(value);
        }
    }
    return change;
}

void fillMean(DecodedPlane& plane, const Leaf& leaf, int x, int y, int size) {
    for (int row = 0; row < size; ++row)
        std::fill_n(&plane.samples[static_cast<std::size_t>(y + row) * plane.width + x], size,
                    static_cast<std::uint16_t>(leaf.mean << kSampleShift));
}

// One pass at the base zoom: each domain is shrunk from the same plane.
int iterateBase(DecodedPlane& plane, const PlaneCode& code, const ContrastTable& contrast,
                std::vector<int>& domain) {
    int change = 0;
    for (const Leaf& leaf : code.leaves) {
        // A flat block names no domain and never changes.
        if (leaf.contrastCode == kFlatCode) continue;
        int size = scaled(leaf.size, plane.shift);
        domain.resize(static_cast<std::size_t>(size) * size);
        int dx = scaled(leaf.domainX, plane.shift), dy = scaled(leaf.domainY, plane.shift);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                int sx = dx + 2 * x, sy = dy + 2 * y;
                domain[y * size + x] = (plane.at(sx, sy) + plane.at(sx + 1, sy) +
                                        plane.at(sx, sy + 1) + plane.at(sx + 1, sy + 1) + 2) >>
                                       2;
            }
        change =
            std::max(change, writeRange(plane, leaf, contrast[leaf.contrastCode], domain, size));
    }
    return change;
}

// One octave up: a domain at the finer zoom, shrunk, is the same block of the
// coarser plane, so it is read from there in place.
DecodedPlane climb(const DecodedPlane& below, const PlaneCode& code, const ContrastTable& contrast,
                   const PixelRect* wanted) {
    DecodedPlane out = emptyPlane(code.geometry, below.shift + 1);
    for (const Leaf& leaf : code.leaves) {
        int size = scaled(leaf.size, out.shift);
        int rx = scaled(leaf.x, out.shift), ry = scaled(leaf.y, out.shift);
        if (wanted != nullptr && !wanted->meets(rx, ry, size, size)) continue;
        if (leaf.contrastCode == kFlatCode) {
            fillMean(out, leaf, rx, ry, size);
            continue;
        }
        int dx = scaled(leaf.domainX, below.shift), dy = scaled(leaf.domainY, below.shift);
        const std::uint16_t* domain =
            &below.samples[static_cast<std::size_t>(dy) * below.width + dx];
        long long sum = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                sum += domain[static_cast<std::size_t>(y) * below.width + x];
        int domainMean = static_cast<int>(sum / (static_cast<long long>(size) * size));
        int mean = leaf.mean << kSampleShift;
        int factor = contrast[leaf.contrastCode];
        int u0 = 0, v0 = 0, u1 = 0, v1 = 0, u2 = 0, v2 = 0;
        sourceOf(leaf.isometry, size, 0, 0, u0, v0);
        sourceOf(leaf.isometry, size, size > 1 ? 1 : 0, 0, u1, v1);
        sourceOf(leaf.isometry, size, 0, size > 1 ? 1 : 0, u2, v2);
        long origin = static_cast<long>(v0) * below.width + u0;
        long stepRight = static_cast<long>(v1 - v0) * below.width + (u1 - u0);
        long stepDown = static_cast<long>(v2 - v0) * below.width + (u2 - u0);
        for (int y = 0; y < size; ++y) {
            std::uint16_t* row = &out.samples[static_cast<std::size_t>(ry + y) * out.width + rx];
            long at = origin + y * stepDown;
            for (int x = 0; x < size; ++x, at += stepRight) {
                int value = mean + ((factor * (domain[at] - domainMean) + 128) >> 8);
                row[x] = static_cast<std::uint16_t>(std::clamp(value, 0, kSampleMax));
            }
        }
    }
    return out;
}

}  // namespace

DecodedPlane decodePlane(const PlaneCode& code, const ContrastTable& contrast, int shift,
                         const PixelRect& wanted) {
    DecodedPlane plane = emptyPlane(code.geometry, kBaseShift);
    // Starting from each block's mean, the iteration has least to do.
    for (const Leaf& leaf : code.leaves)
        fillMean(plane, leaf, scaled(leaf.x, plane.shift), scaled(leaf.y, plane.shift),
                 scaled(leaf.size, plane.shift));
    std::vector<int> domain;
    for (int pass = 0; pass < kMaxIterations; ++pass)
        if (iterateBase(plane, code, contrast, domain) <= kConverged) break;
    while (plane.shift < shift)
        plane = climb(plane, code, contrast, plane.shift + 1 == shift ? &wanted : nullptr);
    return plane;
}

}  // namespace deco
