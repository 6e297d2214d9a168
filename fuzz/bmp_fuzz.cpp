#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "formats/bmp.h"
#include "fuzz/fuzz_input_file.h"
#include "fuzz/modern_load.h"

namespace {

// Storing and reloading a large image costs more than decoding it; smaller
// images cover the same writer paths.
constexpr std::size_t kRoundTripBytes = std::size_t{1} << 20;

// Whatever loads must be a valid DIB that stores and loads back to the same block.
void checkRoundTrip(pm32::ZDib& image) {
    if (pm32::VerifyDib(image.handle) != 0) std::abort();
    pm32::fuzz::FuzzInputFile stored(nullptr, 0, ".out.bmp");
    pm32::StoreBMP(image, stored.path());
    if (image.error != 0) std::abort();
    pm32::ZDib back;
    pm32::LoadBMP(back, stored.path());
    if (back.error != 0 || !pm32::fuzz::sameBlocks(image.handle, back.handle)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool limited = (pm32::fuzz::limitBlockSizes(), true);
    (void)limited;
    {
        pm32::fuzz::FuzzInputFile input(data, size, ".bmp");
        pm32::ZDib image;
        pm32::LoadBMP(image, input.path());
        if (image.error == 0 && image.PixelOffset() + image.PixelBytes() <= kRoundTripBytes)
            checkRoundTrip(image);
        pm32::fuzz::checkModernLoad(
            [&](pm32::ZDib& modern, const pm32::ZLoadParams& params) {
                pm32::LoadBMP(modern, input.path(), params);
            },
            size);
    }
    pm32::ZDib object = pm32::DecodePaintbrushObject(std::span(data, size));
    if (object.handle != 0 && pm32::VerifyDib(object.handle) != 0) std::abort();
    return 0;
}
