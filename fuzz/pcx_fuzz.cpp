#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "formats/pcx.h"
#include "fuzz/fuzz_input_file.h"

namespace {

// Storing and reloading a large image costs more than decoding it; smaller
// images cover the same writer paths.
constexpr std::size_t kRoundTripBytes = std::size_t{1} << 20;

// A line's byte count is a 16-bit field and must be even, so wider 8- and
// 24-bit images load but cannot be written.
constexpr std::int32_t kWidestWritten = 0xFFFE;

// Whatever loads must be a valid DIB that stores and loads back to the same
// block: the writer keeps every pixel byte and colour the reader produced.
void checkRoundTrip(pm32::ZDib& image) {
    if (pm32::VerifyDib(image.handle) != 0) std::abort();
    pm32::fuzz::FuzzInputFile stored(nullptr, 0, ".out.pcx");
    pm32::StorePCX(image, stored.path());
    if (image.error != 0) std::abort();
    pm32::ZDib back;
    pm32::LoadPCX(back, stored.path());
    if (back.error != 0 || !pm32::fuzz::sameBlocks(image.handle, back.handle)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool limited = (pm32::fuzz::limitBlockSizes(), true);
    (void)limited;
    std::size_t blocksBefore = pm32::platform::LiveBlockCount();
    {
        pm32::fuzz::FuzzInputFile input(data, size, ".pcx");
        pm32::ZDib image;
        pm32::LoadPCX(image, input.path());
        if (image.error == 0 && image.PixelOffset() + image.PixelBytes() <= kRoundTripBytes &&
            image.width <= kWidestWritten)
            checkRoundTrip(image);
        if (image.error != 0 && image.handle != 0) std::abort();
    }
    if (pm32::platform::LiveBlockCount() != blocksBefore) std::abort();
    return 0;
}
