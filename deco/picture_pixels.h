#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace deco {

// A picture as red, green, blue bytes, rows top-down.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// Reads any image file the toolkit reads; on failure the engine's error
// number and an empty picture.
std::uint16_t readPicture(const std::string& path, RgbPicture& picture);

}  // namespace deco
