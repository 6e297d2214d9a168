#include "control/memory_image.h"

#include <algorithm>
#include <span>

#include "formats/bmp.h"
#include "formats/format_codes.h"
#include "formats/gif.h"

namespace pm32::control {
namespace {

bool beginsWith(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

constexpr std::uint8_t kGifSignature[] = {'G', 'I', 'F'};
// The header of an OLE object stored in a database field.
constexpr std::uint8_t kOleObjectSignature[] = {0x15, 0x1C};

}  // namespace

ErrorNumber DibFromMemory(HGLOBAL memory, std::uint32_t length, HGLOBAL& out,
                          std::uint16_t& format) {
    out = 0;
    if (platform::GlobalSize(memory) < length) return err::FormatNotSupported;
    platform::Locked block(memory);
    if (!block) return err::FormatNotSupported;
    const std::span<const std::uint8_t> bytes(block.data(), length);
    ZDib image;
    if (beginsWith(bytes, kGifSignature)) {
        image = DecodeGifMemory(bytes);
        format = kFormatGif;
    } else if (beginsWith(bytes, kOleObjectSignature)) {
        image = DecodePaintbrushObject(bytes);
        format = kFormatPaintbrush;
    } else {
        return err::OperationFailure;
    }
    if (image.handle == 0) return image.error != 0 ? image.error : err::OutOfMemory;
    out = image.Release();
    return 0;
}

}  // namespace pm32::control
