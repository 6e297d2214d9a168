#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace deco {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

// The fixed colour sets: for 256 entries a 6 x 6 x 6 cube and 40 greys, for
// 16 the sixteen classic display colours, for 2 black and white.
std::vector<Rgb> standardPalette(int count);

// At most `colors` colours that fit the pixels (red, green, blue bytes), by
// median cut over a histogram of the given bits per channel.
std::vector<Rgb> adaptivePalette(const std::uint8_t* rgb, std::size_t pixels, int colors,
                                 const std::array<int, 3>& histogramBits);

// Turns rows of colours into indices of a palette whose entries start at
// `first`, nearest by a weighted distance, with optional Floyd-Steinberg diffusion.
class IndexMapper {
  public:
    IndexMapper(std::vector<Rgb> palette, int first, bool dither, const std::array<int, 3>& weights,
                int width);
    void mapRow(const std::uint8_t* rgb, std::uint8_t* indices);

  private:
    int nearest(int r, int g, int b);

    std::vector<Rgb> palette_;
    int first_;
    bool dither_;
    std::array<int, 3> weights_;
    std::vector<std::int16_t> cache_;  // nearest entry per 5-bit colour cell, -1 when unknown
    std::vector<int> errors_, nextErrors_;
    int width_;
};

// Packs 8-bit indices into rows of 1, 4 or 8 bits per pixel, leftmost pixel in the high bits.
void packIndices(const std::uint8_t* indices, int width, int bitsPerPixel, std::uint8_t* out);

}  // namespace deco
