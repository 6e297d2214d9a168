#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/zdib.h"

namespace pm32::test {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Rgb&) const = default;
};

// A DIB block a test owns; freed when the guard goes unless taken.
class OwnedDib {
  public:
    explicit OwnedDib(HGLOBAL handle = 0) : handle_(handle) {}
    ~OwnedDib();
    OwnedDib(OwnedDib&& other) noexcept : handle_(other.take()) {}
    OwnedDib& operator=(OwnedDib&& other) noexcept;
    OwnedDib(const OwnedDib&) = delete;
    OwnedDib& operator=(const OwnedDib&) = delete;

    HGLOBAL get() const { return handle_; }
    HGLOBAL take();

  private:
    HGLOBAL handle_;
};

// Coordinates count from the top-left pixel of the picture.
using ColorAt = std::function<Rgb(int x, int y)>;
using IndexOf = std::function<unsigned(int x, int y)>;

OwnedDib TrueColorDib(int width, int height, const ColorAt& color);
// Every channel of every pixel drawn from a generator seeded with seed.
OwnedDib RandomTrueColorDib(int width, int height, unsigned seed);
OwnedDib PaletteDib(int depth, int width, int height, const std::vector<Rgb>& table,
                    const IndexOf& index);
// A zeroed DIB with a full black table, built by hand as a caller may build
// one, so it may have sizes the engine refuses to create.
OwnedDib HandBuiltDib(std::uint32_t width, std::uint32_t height, std::uint32_t depth);

// What a DIB holds, read back through the engine's record.
std::uint32_t DepthOf(HGLOBAL dib);
std::uint32_t HeaderField(HGLOBAL dib, std::size_t offset);
std::vector<Rgb> ColorTable(HGLOBAL dib);
unsigned IndexAtPixel(HGLOBAL dib, int x, int y);
Rgb ColorAtPixel(HGLOBAL dib, int x, int y);
// The distinct colours the pixels show.
std::vector<Rgb> ColorsShown(HGLOBAL dib);

}  // namespace pm32::test
