#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "formats/gif.h"
#include "fuzz/fuzz_input_file.h"

namespace {

// Storing and decoding again costs more than the first decoding; 64 KiB of
// pixels reach every writer path, table resets included.
constexpr std::size_t kRoundTripBytes = std::size_t{1} << 16;

std::vector<std::uint8_t> readAll(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) std::abort();
    std::uint8_t buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(in);
    return bytes;
}

bool samePixelsAndColours(const pm32::ZDib& a, const pm32::ZDib& b) {
    pm32::platform::Locked first(a.handle);
    pm32::platform::Locked second(b.handle);
    return first && second && first.size() == second.size() &&
           std::memcmp(first.data() + 40, second.data() + 40, first.size() - 40) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pm32::fuzz::limitBlockSizes();
    return 0;
}

// Whatever decodes must be a valid DIB; our writer makes plain GIF87a files,
// so the stored image must decode from memory to the same pixels.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pm32::ZDib image = pm32::DecodeGifMemory(std::span(data, size));
    if (image.handle == 0) {
        if (image.error == 0) std::abort();
        return 0;
    }
    if (image.error != 0 || pm32::VerifyDib(image.handle) != 0) std::abort();
    if (image.PixelOffset() + image.PixelBytes() > kRoundTripBytes) return 0;
    pm32::fuzz::FuzzInputFile stored(nullptr, 0, ".out.gif");
    pm32::StoreGIF(image, stored.path());
    if (image.error != 0) std::abort();
    pm32::ZDib back = pm32::DecodeGifMemory(readAll(stored.path()));
    if (back.error != 0 || !samePixelsAndColours(image, back)) std::abort();
    return 0;
}
