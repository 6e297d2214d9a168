#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "formats/content_format.h"
#include "formats/dispatch.h"
#include "fuzz/fuzz_input_file.h"

// Bytes from a database column: their format is told by their first bytes
// and the reader of that format takes them, as a bound control does. Whatever
// loads is a valid DIB; anything else is an error number.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool limited = (pm32::fuzz::limitBlockSizes(), true);
    (void)limited;
    const pm32::FormatCode format = pm32::IdentifyFormatByContent(std::span(data, size));
    if (format == pm32::kFormatUnrecognised) return 0;
    pm32::fuzz::FuzzInputFile input(data, size, ".column");
    pm32::ZDib image;
    pm32::LoadFile(image, input.path(), format, 1, pm32::ZLoadParams{});
    if (image.error == 0 && image.handle != 0 && pm32::VerifyDib(image.handle) != 0) std::abort();
    return 0;
}
