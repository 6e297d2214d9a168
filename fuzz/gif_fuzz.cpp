#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/progress.h"
#include "formats/gif.h"
#include "fuzz/fuzz_input_file.h"
#include "fuzz/modern_load.h"
#include "platform/window_registry.h"

namespace {

// Storing and reloading costs more than the first load; 64 KiB of pixels
// reach every writer path, table resets included.
constexpr std::size_t kRoundTripBytes = std::size_t{1} << 16;
constexpr int kCancelAtRow = 3;

bool samePixelsAndColours(const pm32::ZDib& a, const pm32::ZDib& b) {
    pm32::platform::Locked first(a.handle);
    pm32::platform::Locked second(b.handle);
    // The headers differ only in the count of important colours.
    return first && second && first.size() == second.size() &&
           std::memcmp(first.data() + 40, second.data() + 40, first.size() - 40) == 0;
}

// Whatever loads with pixels must be a valid DIB that stores and loads back
// to the same colour table and pixels.
void checkRoundTrip(pm32::ZDib& image) {
    if (pm32::VerifyDib(image.handle) != 0) std::abort();
    if (image.height == 0 || image.PixelOffset() + image.PixelBytes() > kRoundTripBytes) return;
    pm32::fuzz::FuzzInputFile stored(nullptr, 0, ".out.gif");
    pm32::StoreGIF(image, stored.path());
    if (image.error != 0) std::abort();
    pm32::ZDib back;
    pm32::LoadGIF(back, stored.path(), 0);
    if (back.error != 0 || !samePixelsAndColours(image, back)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pm32::fuzz::limitBlockSizes();
    return 0;
}

// The input's length picks the image number (1 to 3), so one file reaches its
// later images and the palette-only result too; every fifth length loads with
// a progress pump that cancels at row 3.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const pm32::platform::HWND window = pm32::platform::RegisterWindow([] {});
    bool cancelling = size % 5 == 0;
    int rows = 0;
    if (cancelling) {
        pm32::FileProgressPump().SetUp(
            [&rows](int count) {
                rows = count;
                return count == kCancelAtRow ? 0 : 1;
            },
            1, window);
    } else {
        pm32::FileProgressPump().SetUp({}, 0, 0);
    }
    pm32::fuzz::FuzzInputFile input(data, size, ".gif");
    pm32::ZDib image;
    pm32::LoadGIF(image, input.path(), 1 + static_cast<int>(size % 3));
    pm32::FileProgressPump().SetUp({}, 0, 0);
    if (cancelling && rows == kCancelAtRow && (image.handle != 0 || image.error != 0)) std::abort();
    if (image.error == 0 && image.handle != 0) checkRoundTrip(image);
    pm32::fuzz::checkModernLoad(
        [&](pm32::ZDib& modern, const pm32::ZLoadParams& params) {
            pm32::LoadGIF(modern, input.path(), 1 + static_cast<int>(size % 3), params);
        },
        size);
    return 0;
}
