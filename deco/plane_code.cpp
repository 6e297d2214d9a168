#include "deco/plane_code.h"

#include "deco/bit_stream.h"

namespace deco {
namespace {

constexpr int kMaxLatticeShift = 8;

void writeNode(BitWriter& bits, const std::vector<Leaf>& leaves, std::size_t& next, int size,
               const std::array<DomainLattice, kBlockSizes>& lattices) {
    const Leaf& leaf = leaves[next];
    if (size > kMinBlock) {
        bool split = leaf.size < size;
        bits.put(split ? 1 : 0, 1);
        if (split) {
            for (int child = 0; child < 4; ++child)
                writeNode(bits, leaves, next, size / 2, lattices);
            return;
        }
    }
    bits.put(leaf.contrastCode, 5);
    bits.put(leaf.mean, 8);
    if (leaf.contrastCode != kFlatCode) {
        const DomainLattice& lattice = lattices[blockSizeIndex(size)];
        auto index = static_cast<std::uint32_t>(leaf.domainY / lattice.step) * lattice.countX +
                     static_cast<std::uint32_t>(leaf.domainX / lattice.step);
        bits.put(leaf.isometry, 3);
        bits.put(index, bitsFor(lattice.count()));
    }
    ++next;
}

bool readNode(BitReader& bits, std::vector<Leaf>& leaves, int x, int y, int size,
              const std::array<DomainLattice, kBlockSizes>& lattices) {
    std::uint32_t value = 0;
    if (size > kMinBlock) {
        if (!bits.get(1, value)) return false;
        if (value == 1) {
            int half = size / 2;
            return readNode(bits, leaves, x, y, half, lattices) &&
                   readNode(bits, leaves, x + half, y, half, lattices) &&
                   readNode(bits, leaves, x, y + half, half, lattices) &&
                   readNode(bits, leaves, x + half, y + half, half, lattices);
        }
    }
    Leaf leaf;
    leaf.x = x;
    leaf.y = y;
    leaf.size = size;
    if (!bits.get(5, value)) return false;
    leaf.contrastCode = static_cast<std::uint8_t>(value);
    if (!bits.get(8, value)) return false;
    leaf.mean = static_cast<std::uint8_t>(value);
    if (leaf.contrastCode != kFlatCode) {
        const DomainLattice& lattice = lattices[blockSizeIndex(size)];
        if (lattice.count() == 0 || !bits.get(3, value)) return false;
        leaf.isometry = static_cast<std::uint8_t>(value);
        if (!bits.get(bitsFor(lattice.count()), value) || value >= lattice.count()) return false;
        leaf.domainX = static_cast<std::int32_t>(value % lattice.countX) * lattice.step;
        leaf.domainY = static_cast<std::int32_t>(value / lattice.countX) * lattice.step;
    }
    leaves.push_back(leaf);
    return true;
}

std::array<DomainLattice, kBlockSizes> lattices(const PlaneCode& code) {
    std::array<DomainLattice, kBlockSizes> result{};
    for (int i = 0; i < kBlockSizes; ++i)
        result[i] = domainLattice(code.geometry, kTopBlock >> i, code.latticeShift[i]);
    return result;
}

}  // namespace

PlaneGeometry planeGeometry(int width, int height) {
    auto pad = [](int n) { return (n + kTopBlock - 1) / kTopBlock * kTopBlock; };
    return {width, height, pad(width), pad(height)};
}

DomainLattice domainLattice(const PlaneGeometry& geometry, int blockSize, int shift) {
    DomainLattice lattice;
    lattice.step = blockSize << shift;
    int span = 2 * blockSize;
    if (geometry.paddedWidth < span || geometry.paddedHeight < span) return lattice;
    lattice.countX = static_cast<std::uint32_t>((geometry.paddedWidth - span) / lattice.step + 1);
    lattice.countY = static_cast<std::uint32_t>((geometry.paddedHeight - span) / lattice.step + 1);
    return lattice;
}

std::vector<std::uint8_t> writePlane(const PlaneCode& code) {
    BitWriter bits;
    for (std::uint8_t shift : code.latticeShift) bits.put(shift, 8);
    auto domainLattices = lattices(code);
    std::size_t next = 0;
    while (next < code.leaves.size()) writeNode(bits, code.leaves, next, kTopBlock, domainLattices);
    return bits.bytes();
}

std::optional<PlaneCode> readPlane(const PlaneGeometry& geometry, const std::uint8_t* data,
                                   std::size_t size) {
    PlaneCode code;
    code.geometry = geometry;
    BitReader bits(data, size);
    for (std::uint8_t& shift : code.latticeShift) {
        std::uint32_t value = 0;
        if (!bits.get(8, value) || value > kMaxLatticeShift) return std::nullopt;
        shift = static_cast<std::uint8_t>(value);
    }
    auto domainLattices = lattices(code);
    auto topBlocks = static_cast<std::uint64_t>(geometry.paddedWidth / kTopBlock) *
                     static_cast<std::uint64_t>(geometry.paddedHeight / kTopBlock);
    // Every top block takes at least 14 bits, so a short stream fails before
    // any room is reserved for it.
    if (bits.bitsLeft() / 14 < topBlocks) return std::nullopt;
    for (int y = 0; y < geometry.paddedHeight; y += kTopBlock)
        for (int x = 0; x < geometry.paddedWidth; x += kTopBlock)
            if (!readNode(bits, code.leaves, x, y, kTopBlock, domainLattices)) return std::nullopt;
    return code;
}

}  // namespace deco
