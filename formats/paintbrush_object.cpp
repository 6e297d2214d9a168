#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "engine/diagnostics.h"
#include "engine/dib_layout.h"
#include "formats/bmp.h"
#include "formats/diagnostic_locations.h"

namespace pm32 {
namespace {

constexpr std::uint16_t kObjectSignature = 0x1C15;
constexpr std::uint32_t kEmbeddedObject = 2;
constexpr std::uint32_t kOleVersion = 0x0501;
constexpr std::uint32_t kNativeFormat = 2;
constexpr std::size_t kFixedHeaderBytes = 24;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::string_view kPaintbrushClass = "PBrush";

// Bounds-checked little-endian reads over the object. A read past the end
// gives nothing and so does every read after it, so checking the last field
// of a group checks the whole group.
class ObjectCursor {
  public:
    explicit ObjectCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    void seek(std::uint64_t offset) {
        if (offset > bytes_.size()) failed_ = true;
        if (!failed_) at_ = static_cast<std::size_t>(offset);
    }
    std::optional<std::uint16_t> u16() {
        auto field = take(2);
        if (!field) return std::nullopt;
        return readLe16(field->data());
    }
    std::optional<std::uint32_t> u32() {
        auto field = take(4);
        if (!field) return std::nullopt;
        return readLe32(field->data());
    }
    std::optional<std::span<const std::uint8_t>> take(std::uint64_t n) {
        if (n > bytes_.size() - at_) failed_ = true;
        if (failed_) return std::nullopt;
        auto field = bytes_.subspan(at_, static_cast<std::size_t>(n));
        at_ += static_cast<std::size_t>(n);
        return field;
    }
    // A field preceded by its 32-bit length.
    std::optional<std::span<const std::uint8_t>> counted() {
        auto length = u32();
        if (!length) return std::nullopt;
        return take(*length);
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    bool failed_ = false;
};

// The class name is a C string; its stored length counts the terminator.
bool namesPaintbrush(std::span<const std::uint8_t> name) {
    auto end = std::find(name.begin(), name.end(), std::uint8_t{0});
    std::string_view text(reinterpret_cast<const char*>(name.data()),
                          static_cast<std::size_t>(end - name.begin()));
    return text == kPaintbrushClass;
}

// Finds the bitmap file the object carries; 0, or the location code of the
// check that failed.
int findNativeData(std::span<const std::uint8_t> object, std::span<const std::uint8_t>& native) {
    ObjectCursor cursor(object);
    auto signature = cursor.u16();
    auto headerSize = cursor.u16();
    auto type = cursor.u32();
    auto nameLength = cursor.u16();
    auto classLength = cursor.u16();
    if (!classLength || *signature != kObjectSignature || *type != kEmbeddedObject)
        return location::PaintbrushBadObject;
    if (*headerSize != std::size_t{*nameLength} + *classLength + kFixedHeaderBytes)
        return location::PaintbrushHeaderSize;
    cursor.seek(*headerSize);
    auto version = cursor.u32();
    auto format = cursor.u32();
    if (!format || *version != kOleVersion || *format != kNativeFormat)
        return location::PaintbrushBadObject;
    auto className = cursor.counted();
    if (!className || !namesPaintbrush(*className)) return location::PaintbrushBadObject;
    cursor.counted();  // topic
    cursor.counted();  // item
    auto data = cursor.counted();
    if (!data || data->size() < kFileHeaderSize + dib::kHeaderSize || (*data)[0] != 'B' ||
        (*data)[1] != 'M')
        return location::PaintbrushBadObject;
    native = *data;
    return 0;
}

ErrorNumber decode(std::span<const std::uint8_t> object, ZDib& image) {
    std::span<const std::uint8_t> native;
    if (int location = findNativeData(object, native)) return reportFailure(err::BadFile, location);
    auto dibBytes = native.subspan(kFileHeaderSize);
    const std::uint8_t* header = dibBytes.data();
    // Compressed rows copied as they are would show as noise.
    if (header[dib::kSize] != dib::kHeaderSize || readLe32(header + dib::kCompression) != 0)
        return reportFailure(err::BadFile, location::PaintbrushBadObject);
    auto width = static_cast<std::int32_t>(readLe32(header + dib::kWidth));
    auto height = static_cast<std::int32_t>(readLe32(header + dib::kHeight));
    std::uint32_t depth = readLe16(header + dib::kBitCount);

    // The copy is measured against the object before the image is allocated;
    // geometry the image model refuses is left to it and keeps its numbers.
    std::uint64_t copied = 0;
    if (isSupportedDepth(depth) && width > 0 && height > 0) {
        auto area = checkedMultiply(rowBytesFor(static_cast<std::uint32_t>(width), depth),
                                    static_cast<std::uint32_t>(height));
        if (!area) return reportFailure(err::BadFile, location::PaintbrushBadObject);
        // An image size of 0 is the usual mark of uncompressed rows of the full size.
        std::uint32_t sizeImage = readLe32(header + dib::kSizeImage);
        std::uint64_t pixels = sizeImage != 0 ? std::min<std::uint64_t>(*area, sizeImage) : *area;
        copied = dib::kHeaderSize + 4ull * fullTableSize(depth) + pixels;
        if (copied > dibBytes.size())
            return reportFailure(err::BadFile, location::PaintbrushBadObject);
    }
    image.Create(width, height, depth, 0);
    if (image.error != 0) return reportFailure(image.error, location::PaintbrushBadImage);
    {
        platform::Locked block(image.handle);
        if (!block) return reportFailure(err::InvalidPicture, location::PaintbrushNotLocked);
        std::memcpy(block.data(), header, static_cast<std::size_t>(copied));
    }
    // The copied header may carry a short colour count or an image size; the
    // engine's own header keeps the block consistent with its layout.
    image.WriteHeader();
    return image.error;
}

}  // namespace

ZDib DecodePaintbrushObject(std::span<const std::uint8_t> object) {
    ZDib image;
    ErrorNumber result = decode(object, image);
    if (result != 0) {
        image.Reset();
        image.error = result;
    }
    return image;
}

}  // namespace pm32
