#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "formats/count_images.h"
#include "formats/format_codes.h"
#include "formats/tiff.h"
#include "formats/tiff_lzw.h"
#include "fuzz/fuzz_input_file.h"
#include "fuzz/modern_load.h"

namespace {

// Storing and reloading a large image costs more than decoding it; smaller
// images cover the same writer paths.
constexpr std::size_t kRoundTripBytes = std::size_t{1} << 20;
constexpr std::size_t kStripOutputBytes = 65536;

void loadBackSame(const pm32::ZDib& image, const std::string& path, int imageNumber) {
    pm32::ZDib back;
    pm32::LoadTIFF(back, path, imageNumber);
    if (back.error != 0 || !pm32::fuzz::sameBlocks(image.handle, back.handle)) std::abort();
}

// Whatever loads must be a valid DIB that stores, appends and loads back to
// the same block. An LZW store may be refused by its worst-case estimate.
void checkRoundTrip(pm32::ZDib& image, int compression) {
    if (pm32::VerifyDib(image.handle) != 0) std::abort();
    if (image.height < 3) return;
    pm32::fuzz::FuzzInputFile stored(nullptr, 0, ".out.tif");
    pm32::StoreTIFF(image, stored.path(), compression, false);
    if (image.error == pm32::err::OperationFailure && compression == 1) return;
    if (image.error != 0) std::abort();
    loadBackSame(image, stored.path(), 0);
    pm32::StoreTIFF(image, stored.path(), 0, true);
    int count = 0;
    if (image.error != 0 || pm32::CountFileImages(stored.path(), pm32::kFormatTiff, count) != 0 ||
        count != 2)
        std::abort();
    loadBackSame(image, stored.path(), 2);
}

// The input as the codes of an LZW strip that follow its leading clear code,
// so mutations reach the decoder's table logic: whatever decodes must encode
// and decode back.
void checkLzw(std::span<const std::uint8_t> data) {
    static const auto output = std::make_unique<std::uint8_t[]>(kStripOutputBytes);
    std::vector<std::uint8_t> strip(data.size() + 2);
    strip[0] = 0x80;  // 256 in 9 bits: the first 8, then a 0 bit before the input
    for (std::size_t i = 0; i < data.size(); ++i) {
        strip[i + 1] |= data[i] >> 1;
        strip[i + 2] = static_cast<std::uint8_t>(data[i] << 7);
    }
    std::size_t decoded = pm32::TiffLzwDecode(strip, std::span(output.get(), kStripOutputBytes));
    if (decoded == 0 || pm32::TiffLzwWorstCase(decoded) > pm32::kTiffLzwMostEstimate) return;
    pm32::TiffLzwOutput encoded;
    if (pm32::TiffLzwEncode(std::span(output.get(), decoded), decoded, encoded) != 0) std::abort();
    auto again = std::make_unique<std::uint8_t[]>(decoded);
    if (pm32::TiffLzwDecode(encoded.bytes(), std::span(again.get(), decoded)) != decoded ||
        std::memcmp(again.get(), output.get(), decoded) != 0)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool limited = (pm32::fuzz::limitBlockSizes(), true);
    (void)limited;
    {
        pm32::fuzz::FuzzInputFile input(data, size, ".tif");
        // The length picks the image number (the preview's -1 to 2) and the
        // round trip's compression, so one input always takes the same path.
        const int imageNumber = static_cast<int>(size % 4) - 1;
        pm32::ZDib image;
        pm32::LoadTIFF(image, input.path(), imageNumber);
        if ((image.error == 0) != (image.handle != 0)) std::abort();
        if (image.error == 0 && image.PixelOffset() + image.PixelBytes() <= kRoundTripBytes)
            checkRoundTrip(image, static_cast<int>(size / 4 % 2));
        // Forms the own reader refuses go through libtiff, and so does the count.
        pm32::fuzz::checkModernLoad(
            [&](pm32::ZDib& modern, const pm32::ZLoadParams& params) {
                pm32::LoadTIFF(modern, input.path(), imageNumber, params);
            },
            size);
        int count = 0;
        if (pm32::CountFileImages(input.path(), pm32::kFormatTiff, count, true) != 0 && count != 0)
            std::abort();
    }
    checkLzw(std::span(data, size));
    if (pm32::platform::LiveBlockCount() != 0) std::abort();
    return 0;
}
