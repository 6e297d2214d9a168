#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/grey_level.h"
#include "engine/zdib.h"

namespace pm32 {

// The colour that shows through transparent pixels, from a 0x00BBGGRR value;
// grey images show its grey.
struct Backdrop {
    explicit Backdrop(std::uint32_t colorref)
        : red(static_cast<std::uint8_t>(colorref)),
          green(static_cast<std::uint8_t>(colorref >> 8)),
          blue(static_cast<std::uint8_t>(colorref >> 16)),
          grey(greyLevelOf(red, green, blue)) {}

    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    std::uint8_t grey;
};

// value laid over back with alpha/255 coverage, rounded to the nearest level,
// as the peers flatten an image.
inline std::uint8_t compositeOver(std::uint8_t value, std::uint8_t alpha, std::uint8_t back) {
    return static_cast<std::uint8_t>((value * alpha + back * (255 - alpha) + 127) / 255);
}

// The same for a value already multiplied by its alpha.
inline std::uint8_t compositePremultipliedOver(std::uint8_t value, std::uint8_t alpha,
                                               std::uint8_t back) {
    const int level = value + (back * (255 - alpha) + 127) / 255;
    return static_cast<std::uint8_t>(level > 255 ? 255 : level);
}

// pixels blue, green, red, alpha quadruples onto a row of blue, green, red triples.
void compositeBgraRow(const std::uint8_t* bgra, std::size_t pixels, const Backdrop& back,
                      std::uint8_t* bgr);

// pixels grey, alpha pairs onto a row of grey levels.
void compositeGreyAlphaRow(const std::uint8_t* greyAlpha, std::size_t pixels, std::uint8_t back,
                           std::uint8_t* grey);

// Colour-table entries laid over the backdrop by their own alpha; entries
// beyond alpha are opaque.
void compositeEntries(std::span<PALETTEENTRY> entries, std::span<const std::uint8_t> alpha,
                      const Backdrop& back);

// A 256-entry grey ramp (index i is (i, i, i)) as the colour table of an 8-bit grey image.
void setGreyRamp(ZDib& image);

}  // namespace pm32
