#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "formats/targa.h"
#include "fuzz/fuzz_input_file.h"

namespace {

// Storing and reloading a large image costs more than decoding it; smaller
// images cover the same writer paths.
constexpr std::size_t kRoundTripBytes = std::size_t{1} << 20;

// Whatever loads must be a valid DIB that stores, plainly and run-length
// coded, and loads back to the same block.
void checkRoundTrip(pm32::ZDib& image) {
    if (pm32::VerifyDib(image.handle) != 0) std::abort();
    for (int compression : {0, 2}) {
        pm32::fuzz::FuzzInputFile stored(nullptr, 0, ".out.tga");
        pm32::StoreTGA(image, stored.path(), compression);
        if (image.error != 0) std::abort();
        pm32::ZDib back;
        pm32::LoadTGA(back, stored.path());
        if (back.error != 0 || !pm32::fuzz::sameBlocks(image.handle, back.handle)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool limited = (pm32::fuzz::limitBlockSizes(), true);
    (void)limited;
    std::size_t blocksBefore = pm32::platform::LiveBlockCount();
    {
        pm32::fuzz::FuzzInputFile input(data, size, ".tga");
        pm32::ZDib image;
        pm32::LoadTGA(image, input.path());
        if (image.error == 0 && image.PixelOffset() + image.PixelBytes() <= kRoundTripBytes)
            checkRoundTrip(image);
        if (image.error != 0 && image.handle != 0) std::abort();
    }
    if (pm32::platform::LiveBlockCount() != blocksBefore) std::abort();
    return 0;
}
