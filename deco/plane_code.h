#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "deco/fif_layout.h"

namespace deco {

// One range block of the quadtree and the transform that makes it: the
// domain block twice its size, shrunk, seen through the isometry, scaled by
// the contrast factor about its own mean and moved to the stored mean.
struct Leaf {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t size = 0;
    std::int32_t domainX = 0;
    std::int32_t domainY = 0;
    std::uint8_t isometry = 0;
    std::uint8_t contrastCode = kFlatCode;
    std::uint8_t mean = 0;
};

// A plane's picture size and the grid of whole top blocks that covers it.
struct PlaneGeometry {
    int width = 0;
    int height = 0;
    int paddedWidth = 0;
    int paddedHeight = 0;
};
PlaneGeometry planeGeometry(int width, int height);

// Domain blocks of one range size sit on a lattice of step size << shift.
struct DomainLattice {
    int step = 0;
    std::uint32_t countX = 0;
    std::uint32_t countY = 0;
    std::uint32_t count() const { return countX * countY; }
};
DomainLattice domainLattice(const PlaneGeometry& geometry, int blockSize, int shift);

inline int blockSizeIndex(int blockSize) {
    int index = 0;
    while ((kTopBlock >> index) > blockSize) ++index;
    return index;
}

struct PlaneCode {
    PlaneGeometry geometry;
    std::array<std::uint8_t, kBlockSizes> latticeShift{};
    std::vector<Leaf> leaves;  // in stream order: top blocks in raster order, children TL TR BL BR
};

// The plane stream: a lattice shift per block size, then each top block's quadtree
// (a split bit above the smallest size; a leaf's 5-bit contrast code, 8-bit
// mean, and unless flat its 3-bit isometry and domain index).
std::vector<std::uint8_t> writePlane(const PlaneCode& code);

// Parses a plane stream for a plane of the geometry; nothing when the stream
// is short or names a domain outside the lattice.
std::optional<PlaneCode> readPlane(const PlaneGeometry& geometry, const std::uint8_t* data,
                                   std::size_t size);

}  // namespace deco
