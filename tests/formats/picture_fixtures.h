#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/progress.h"
#include "engine/zdib.h"
#include "platform/global_memory.h"
#include "platform/window_registry.h"
#include "tests/support/rgb_image.h"

// Pictures and probes shared by the PNG and JPEG codec tests.
namespace pm32::test {

using Bytes = std::vector<std::uint8_t>;

// The stored bytes of picture row y (0 is the top), from its start.
inline Bytes pictureRow(const ZDib& image, int y, std::size_t bytes) {
    platform::Locked block(image.handle);
    if (!block) return {};
    const std::uint8_t* row = block.data() + image.PixelOffset() +
                              static_cast<std::size_t>(image.height - 1 - y) * image.rowBytes;
    return Bytes(row, row + bytes);
}

// The palette index of pixel (x, y), y counted from the top.
inline unsigned indexAt(const ZDib& image, int x, int y) {
    Bytes row = pictureRow(image, y, image.rowBytes);
    if (image.depth == 4) return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15u;
    if (image.depth == 1) return (row[x / 8] >> (7 - x % 8)) & 1u;
    return row[x];
}

inline std::vector<PALETTEENTRY> paletteOf(const ZDib& image) {
    std::vector<PALETTEENTRY> entries(image.colorsUsed);
    entries.resize(image.GetPalette(entries));
    return entries;
}

inline Bytes blockOf(const ZDib& image) {
    platform::Locked block(image.handle);
    return block ? Bytes(block.data(), block.data() + block.size()) : Bytes{};
}

// An image of the depth whose pixels differ from their neighbours and whose
// colour table differs in every channel; row padding stays zero.
inline ZDib patternImage(std::int32_t width, std::int32_t height, std::uint32_t depth) {
    ZDib image;
    image.Create(width, height, depth, 0);
    std::vector<PALETTEENTRY> table;
    for (std::uint32_t i = 0; i < image.colorsUsed; ++i)
        table.push_back({std::uint8_t(i * 37 + 11), std::uint8_t(250 - i), std::uint8_t(i * 5), 0});
    image.SetPalette(table, true);
    platform::Locked block(image.handle);
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* row =
            block.data() + image.PixelOffset() + static_cast<std::size_t>(y) * image.rowBytes;
        for (std::int32_t x = 0; x < width; ++x) {
            auto v = static_cast<unsigned>(x * 7 + y * 13 + x * y);
            if (depth == 24) {
                for (int c = 0; c < 3; ++c) row[3 * x + c] = static_cast<std::uint8_t>(v * (c + 3));
            } else if (depth == 8) {
                row[x] = static_cast<std::uint8_t>(v);
            } else if (depth == 4) {
                row[x / 2] |= static_cast<std::uint8_t>((v & 15) << (x % 2 ? 0 : 4));
            } else {
                row[x / 8] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8));
            }
        }
    }
    return image;
}

// What the grey write options stand for: each pixel's index as a grey level
// of the image's depth (1 bit: 0 and 255; 4 bits: steps of 17).
inline RgbImage greyPicture(const ZDib& image) {
    RgbImage out{image.width, image.height, {}};
    unsigned step = image.depth == 1 ? 255 : image.depth == 4 ? 17 : 1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x)
            out.rgb.insert(out.rgb.end(), 3,
                           static_cast<std::uint8_t>(indexAt(image, x, y) * step));
    }
    return out;
}

// The file readers' pump armed with a live window and the callback for the
// guard's lifetime, then switched off.
class ArmedPump {
  public:
    ArmedPump(std::int16_t interval, std::function<int(int)> callback)
        : window_(platform::RegisterWindow([] {})) {
        FileProgressPump().SetUp(std::move(callback), interval, window_);
    }
    ~ArmedPump() {
        FileProgressPump().SetUp({}, 0, 0);
        platform::UnregisterWindow(window_);
    }
    ArmedPump(const ArmedPump&) = delete;
    ArmedPump& operator=(const ArmedPump&) = delete;

  private:
    platform::HWND window_;
};

}  // namespace pm32::test
