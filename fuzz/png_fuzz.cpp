#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/progress.h"
#include "formats/png.h"
#include "fuzz/fuzz_input_file.h"
#include "fuzz/modern_load.h"
#include "platform/global_memory.h"
#include "platform/window_registry.h"

namespace {

// Storing and reloading a large image costs more than decoding it; smaller
// images cover the same writer paths.
constexpr std::size_t kRoundTripBytes = std::size_t{1} << 20;

// Whatever loads must be a valid DIB that stores, plain and interlaced, and
// loads back to the same block.
void checkRoundTrip(pm32::ZDib& image) {
    if (pm32::VerifyDib(image.handle) != 0) std::abort();
    for (int option : {0, 1}) {
        pm32::fuzz::FuzzInputFile stored(nullptr, 0, ".out.png");
        pm32::StorePNG(image, stored.path(), option);
        if (image.error != 0) std::abort();
        pm32::ZDib back;
        pm32::LoadPNG(back, stored.path());
        if (back.error != 0 || !pm32::fuzz::sameBlocks(image.handle, back.handle)) std::abort();
    }
}

// Loads a file that loaded whole once more and cancels at a row picked from
// the input: the load must give no image and no error, and keep no block.
void checkCancel(const std::string& path, std::size_t size, std::int32_t rows) {
    static const pm32::platform::HWND window = pm32::platform::RegisterWindow([] {});
    auto interval = static_cast<std::int16_t>(1 + size % static_cast<std::size_t>(rows));
    std::size_t blocks = pm32::platform::LiveBlockCount();
    {
        pm32::FileProgressPump().SetUp([](int) { return 0; }, interval, window);
        pm32::ZDib image;
        pm32::LoadPNG(image, path);
        pm32::FileProgressPump().SetUp({}, 0, 0);
        if (image.handle != 0 || image.error != 0) std::abort();
    }
    if (pm32::platform::LiveBlockCount() != blocks) std::abort();
}

// libpng stops at a chunk whose CRC is wrong before it looks at the data, so
// most mutations would end there; this copy has every CRC recomputed.
std::vector<std::uint8_t> withRepairedCrcs(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> png(data, data + size);
    for (std::size_t at = 8; at + 12 <= png.size();) {
        std::uint32_t length =
            (std::uint32_t{png[at]} << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        if (length > png.size() - at - 12) break;
        auto crc = static_cast<std::uint32_t>(crc32(0, &png[at + 4], length + 4));
        for (int i = 0; i < 4; ++i)
            png[at + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
    return png;
}

void loadAndCheck(const std::uint8_t* data, std::size_t size) {
    pm32::fuzz::FuzzInputFile input(data, size, ".png");
    std::size_t blocks = pm32::platform::LiveBlockCount();
    std::int32_t rows = 0;  // of a file that loads
    {
        pm32::ZDib image;
        pm32::LoadPNG(image, input.path());
        if ((image.error == 0) != (image.handle != 0)) std::abort();
        rows = image.height;
        if (image.error == 0 && image.PixelOffset() + image.PixelBytes() <= kRoundTripBytes)
            checkRoundTrip(image);
    }
    if (pm32::platform::LiveBlockCount() != blocks) std::abort();
    if (rows > 0 && rows <= 0x7FFF) checkCancel(input.path(), size, rows);
    pm32::fuzz::checkModernLoad(
        [&](pm32::ZDib& image, const pm32::ZLoadParams& params) {
            pm32::LoadPNG(image, input.path(), params);
        },
        size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool limited = (pm32::fuzz::limitBlockSizes(), true);
    (void)limited;
    loadAndCheck(data, size);
    std::vector<std::uint8_t> repaired = withRepairedCrcs(data, size);
    if (size != 0 && std::memcmp(repaired.data(), data, size) != 0)
        loadAndCheck(repaired.data(), repaired.size());
    return 0;
}
