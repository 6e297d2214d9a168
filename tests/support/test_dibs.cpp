#include "tests/support/test_dibs.h"

#include <algorithm>
#include <array>
#include <random>
#include <set>
#include <stdexcept>
#include <tuple>

#include "engine/dib_layout.h"

namespace pm32::test {
namespace {

// A view for reading; throws so a broken DIB fails the test loudly.
ZDib viewOf(HGLOBAL dib) {
    ZDib image;
    image.Attach(dib, false, false, DepthRule::Any);
    if (image.error != 0) throw std::runtime_error("not a valid DIB");
    return image;
}

unsigned indexIn(const std::uint8_t* row, int x, std::uint32_t depth) {
    switch (depth) {
        case 1:
            return (row[x / 8] >> (7 - x % 8)) & 1;
        case 4:
            return x % 2 != 0 ? row[x / 2] & 0x0F : row[x / 2] >> 4;
        default:
            return row[x];
    }
}

void setIndexIn(std::uint8_t* row, int x, std::uint32_t depth, unsigned index) {
    switch (depth) {
        case 1:
            row[x / 8] = static_cast<std::uint8_t>(row[x / 8] | (index & 1) << (7 - x % 8));
            break;
        case 4:
            row[x / 2] =
                static_cast<std::uint8_t>(row[x / 2] | (index & 15) << (x % 2 != 0 ? 0 : 4));
            break;
        default:
            row[x] = static_cast<std::uint8_t>(index);
    }
}

}  // namespace

OwnedDib::~OwnedDib() {
    if (handle_ != 0) FreeDib(handle_);
}

OwnedDib& OwnedDib::operator=(OwnedDib&& other) noexcept {
    if (this != &other) {
        if (handle_ != 0) FreeDib(handle_);
        handle_ = other.take();
    }
    return *this;
}

HGLOBAL OwnedDib::take() { return std::exchange(handle_, 0); }

OwnedDib TrueColorDib(int width, int height, const ColorAt& color) {
    ZDib image;
    image.Create(width, height, 24, 0);
    if (image.error != 0) throw std::runtime_error("cannot create a test image");
    auto rows = image.BuildRowTable();
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = rows[static_cast<std::size_t>(height - 1 - y)];
        for (int x = 0; x < width; ++x) {
            Rgb c = color(x, y);
            row[3 * x] = c.blue;
            row[3 * x + 1] = c.green;
            row[3 * x + 2] = c.red;
        }
    }
    image.CommitRowTable();
    return OwnedDib(image.Release());
}

OwnedDib RandomTrueColorDib(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<Rgb> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (Rgb& p : pixels)
        p = {static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
             static_cast<std::uint8_t>(random())};
    return TrueColorDib(width, height, [&](int x, int y) {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    });
}

OwnedDib PaletteDib(int depth, int width, int height, const std::vector<Rgb>& table,
                    const IndexOf& index) {
    ZDib image;
    image.Create(width, height, static_cast<std::uint32_t>(depth), 0);
    if (image.error != 0) throw std::runtime_error("cannot create a test image");
    std::vector<PALETTEENTRY> entries;
    for (const Rgb& c : table) entries.push_back({c.red, c.green, c.blue, 0});
    image.SetPalette(entries, true);
    auto rows = image.BuildRowTable();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setIndexIn(rows[static_cast<std::size_t>(height - 1 - y)], x,
                       static_cast<std::uint32_t>(depth), index(x, y));
    image.CommitRowTable();
    return OwnedDib(image.Release());
}

OwnedDib HandBuiltDib(std::uint32_t width, std::uint32_t height, std::uint32_t depth) {
    const std::uint32_t colors = fullTableSize(depth);
    auto size = dibBlockSize(colors, rowBytesFor(width, depth), height);
    OwnedDib dib(size ? platform::GlobalAlloc(platform::GMEM_MOVEABLE | platform::GMEM_ZEROINIT,
                                              static_cast<std::size_t>(*size))
                      : 0);
    if (dib.get() == 0) throw std::runtime_error("cannot allocate a test image");
    platform::Locked block(dib.get());
    std::uint8_t* header = block.data();
    writeLe32(header + dib::kSize, dib::kHeaderSize);
    writeLe32(header + dib::kWidth, width);
    writeLe32(header + dib::kHeight, height);
    writeLe16(header + dib::kPlanes, 1);
    writeLe16(header + dib::kBitCount, static_cast<std::uint16_t>(depth));
    writeLe32(header + dib::kClrUsed, colors);
    return dib;
}

std::uint32_t DepthOf(HGLOBAL dib) { return viewOf(dib).depth; }

std::uint32_t HeaderField(HGLOBAL dib, std::size_t offset) {
    platform::Locked block(dib);
    return readLe32(block.data() + offset);
}

std::vector<Rgb> ColorTable(HGLOBAL dib) {
    ZDib image = viewOf(dib);
    std::vector<PALETTEENTRY> entries(image.colorsUsed);
    image.GetPalette(entries);
    std::vector<Rgb> table;
    for (const PALETTEENTRY& e : entries) table.push_back({e.peRed, e.peGreen, e.peBlue});
    return table;
}

unsigned IndexAtPixel(HGLOBAL dib, int x, int y) {
    ZDib image = viewOf(dib);
    auto rows = image.BuildRowTable();
    return indexIn(rows[static_cast<std::size_t>(image.height - 1 - y)], x, image.depth);
}

Rgb ColorAtPixel(HGLOBAL dib, int x, int y) {
    ZDib image = viewOf(dib);
    auto rows = image.BuildRowTable();
    const std::uint8_t* row = rows[static_cast<std::size_t>(image.height - 1 - y)];
    if (image.depth == 24) return {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
    return ColorTable(dib).at(indexIn(row, x, image.depth));
}

std::vector<Rgb> ColorsShown(HGLOBAL dib) {
    ZDib image = viewOf(dib);
    std::vector<Rgb> table = image.depth == 24 ? std::vector<Rgb>{} : ColorTable(dib);
    auto rows = image.BuildRowTable();
    std::set<std::tuple<int, int, int>> seen;
    for (const std::uint8_t* row : rows)
        for (int x = 0; x < image.width; ++x) {
            Rgb c = image.depth == 24 ? Rgb{row[3 * x + 2], row[3 * x + 1], row[3 * x]}
                                      : table.at(indexIn(row, x, image.depth));
            seen.insert({c.red, c.green, c.blue});
        }
    std::vector<Rgb> colors;
    for (auto [r, g, b] : seen)
        colors.push_back({static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                          static_cast<std::uint8_t>(b)});
    return colors;
}

}  // namespace pm32::test
