#pragma once

#include <cstdint>

namespace pm32 {

// One working-palette entry: a colour and the index it takes in the output
// colour table, so the working palette can be re-sorted freely.
struct PaletteColor {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t tag = 0;
};

// Colours are counted and cached on a cube of 5 bits per channel.
inline constexpr std::uint32_t kKeyCells = 32768;

// Clears the lowest bit of each 5-bit field: four bits per channel.
inline constexpr std::uint16_t kFourBitKeyMask = 0x7BDE;

// Blue in bits 14-10, green in 9-5, red in 4-0, each the top five bits.
inline std::uint16_t ColorKey(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    return static_cast<std::uint16_t>((blue >> 3) << 10 | (green >> 3) << 5 | (red >> 3));
}

inline unsigned KeyBlue(std::uint16_t key) { return (key >> 10) & 0x1F; }
inline unsigned KeyGreen(std::uint16_t key) { return (key >> 5) & 0x1F; }
inline unsigned KeyRed(std::uint16_t key) { return key & 0x1F; }

// A 5-bit field back to 8 bits, so 0 stays 0 and 31 becomes 255.
inline std::uint8_t ExpandField(unsigned field) {
    return static_cast<std::uint8_t>((field << 3) | (field >> 2));
}

inline PaletteColor ColorOfKey(std::uint16_t key) {
    return {ExpandField(KeyBlue(key)), ExpandField(KeyGreen(key)), ExpandField(KeyRed(key)), 0};
}

}  // namespace pm32
