#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/zdib.h"

namespace pm32::test {

// Pixels as red, green, blue bytes, top row first: the common ground on which
// our images and a peer's decoding are compared.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    bool operator==(const RgbImage&) const = default;
};

// The image's pixels through its colour table.
RgbImage toRgb(const ZDib& image);

// What ImageMagick decodes the file to (first frame), or nothing when it fails.
std::optional<RgbImage> decodeWithConvert(const std::string& path);

// Reads a binary PPM (P6, maxval 255).
std::optional<RgbImage> readPpm(const std::string& path);

// Index of the first differing byte, or -1; with the sizes printed on mismatch.
std::string describeDifference(const RgbImage& ours, const RgbImage& theirs);

}  // namespace pm32::test
