#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/progress.h"
#include "formats/jpeg.h"
#include "fuzz/fuzz_input_file.h"
#include "fuzz/modern_load.h"
#include "platform/global_memory.h"
#include "platform/window_registry.h"

namespace {

// The library decodes whatever a damaged scan still gives, so a few bytes can
// cost a whole large image; smaller blocks keep each input quick.
constexpr std::size_t kBlockLimit = std::size_t{16} << 20;

// Storing, reloading and cancelling a large image costs several decodes;
// smaller images cover the same paths.
constexpr std::size_t kRecheckBytes = std::size_t{256} << 10;

// Whatever loads must be a valid DIB that stores, in every form its depth
// allows, to a file that loads back at its size.
void checkRoundTrip(pm32::ZDib& image, std::size_t size) {
    if (pm32::VerifyDib(image.handle) != 0) std::abort();
    int quality = 5 + static_cast<int>(size % 96);
    for (int option : {0, 1, 2, 3}) {
        bool grey = option >= 2;
        if (grey && image.depth > 8) continue;
        pm32::fuzz::FuzzInputFile stored(nullptr, 0, ".out.jpg");
        pm32::StoreJPEG(image, stored.path(), quality, option);
        if (image.error != 0) std::abort();
        pm32::ZDib back;
        pm32::LoadJPEG(back, stored.path());
        if (back.error != 0 || back.width != image.width || back.height != image.height ||
            back.depth != (grey ? 8u : 24u))
            std::abort();
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
        pm32::LoadJPEG(image, path);
        pm32::FileProgressPump().SetUp({}, 0, 0);
        if (image.handle != 0 || image.error != 0) std::abort();
    }
    if (pm32::platform::LiveBlockCount() != blocks) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool limited = (pm32::platform::SetBlockSizeLimit(kBlockLimit), true);
    (void)limited;
    pm32::fuzz::FuzzInputFile input(data, size, ".jpg");
    std::size_t blocks = pm32::platform::LiveBlockCount();
    std::int32_t rows = 0;  // of a small file that loads
    {
        pm32::ZDib image;
        pm32::LoadJPEG(image, input.path());
        if ((image.error == 0) != (image.handle != 0)) std::abort();
        if (image.error == 0 && image.PixelOffset() + image.PixelBytes() <= kRecheckBytes) {
            rows = image.height;
            checkRoundTrip(image, size);
        }
    }
    if (pm32::platform::LiveBlockCount() != blocks) std::abort();
    if (rows > 0 && rows <= 0x7FFF) checkCancel(input.path(), size, rows);
    pm32::fuzz::checkModernLoad(
        [&](pm32::ZDib& image, const pm32::ZLoadParams& params) {
            pm32::LoadJPEG(image, input.path(), params);
        },
        size);
    return 0;
}
