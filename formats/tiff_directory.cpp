#include "formats/tiff_directory.h"

#include <algorithm>
#include <new>
#include <optional>

#include "engine/diagnostics.h"
#include "engine/dib_layout.h"
#include "formats/diagnostic_locations.h"

namespace pm32 {
namespace {

constexpr std::size_t kMostBlockRead = 65535;
// More samples than any layout the reader takes; their values are not needed.
constexpr std::uint32_t kMostSampleValues = 16;

TiffField fieldAt(const std::uint8_t* entry, bool bigEndian) {
    TiffField field;
    field.type = orderedU16(entry + 2, bigEndian);
    field.count = orderedU32(entry + 4, bigEndian);
    field.first = orderedU16(entry + 8, bigEndian);
    field.second = orderedU16(entry + 10, bigEndian);
    field.word = orderedU32(entry + 8, bigEndian);
    return field;
}

// Per-sample entries (BitsPerSample, SampleFormat) whose values are kept for
// the second look once every entry is read.
struct SampleFields {
    TiffField bitsPerSample;
    TiffField sampleFormat;
};

void takeEntry(const std::uint8_t* entry, bool bigEndian, TiffDirectory& d, SampleFields& samples) {
    const TiffField field = fieldAt(entry, bigEndian);
    switch (orderedU16(entry, bigEndian)) {
        case tiff::kImageWidth:
            d.width = field.value();
            break;
        case tiff::kImageLength:
            d.height = field.value();
            break;
        case tiff::kBitsPerSample:
            samples.bitsPerSample = field;
            break;
        case tiff::kSampleFormat:
            samples.sampleFormat = field;
            break;
        case tiff::kCompression:
            d.compression = field.value();
            break;
        case tiff::kPhotometric:
            d.photometric = field.value();
            break;
        case tiff::kFillOrder:
            d.fillOrder = field.value();
            break;
        case tiff::kPlanarConfiguration:
            d.planarConfiguration = field.value();
            break;
        case tiff::kStripOffsets:
            d.stripOffsets = field;
            break;
        case tiff::kSamplesPerPixel:
            d.samplesPerPixel = field.value();
            break;
        case tiff::kRowsPerStrip:
            d.rowsPerStrip = field.value();
            break;
        case tiff::kStripByteCounts:
            d.stripByteCounts = field;
            break;
        case tiff::kMinSampleValue:
            d.minSampleValue = field.value();
            break;
        case tiff::kMaxSampleValue:
            d.hasMaxSampleValue = true;
            d.maxSampleValue = field.value();
            break;
        case tiff::kPredictor:
            d.predictor = field.value();
            break;
        case tiff::kColorMap:
            if (field.type != tiff::kShort) break;
            d.hasColorMap = true;
            d.colorMapOffset = field.word;
            d.colorMapEntries = field.count / 3;
            break;
        default:
            break;
    }
}

// The one value every sample shares, or 0 when samples differ. A SHORT entry
// of up to two values holds them inline; more lie at the entry's offset.
std::optional<std::uint32_t> commonSampleValue(EngineFile& file, std::int64_t fileSize,
                                               const TiffField& field, bool bigEndian) {
    if (field.type != tiff::kShort || field.count <= 1) return field.value();
    if (field.count == 2) return field.first == field.second ? field.first : 0u;
    const std::uint32_t count = std::min(field.count, kMostSampleValues);
    std::uint8_t values[2 * kMostSampleValues];
    if (std::uint64_t{field.word} + 2 * count > static_cast<std::uint64_t>(fileSize) ||
        !file.SeekSet(field.word) || file.ReadBlock(values, 2 * count) != 2 * count)
        return std::nullopt;
    const std::uint16_t first = orderedU16(values, bigEndian);
    for (std::uint32_t i = 1; i < count; ++i)
        if (orderedU16(values + 2 * i, bigEndian) != first) return 0u;
    return first;
}

}  // namespace

std::size_t ReadTiffBytes(EngineFile& file, std::uint8_t* into, std::size_t n) {
    // Blocks below 64 KiB come through the staging buffer.
    return n <= kMostBlockRead ? file.ReadBlock(into, n) : file.ReadHuge(into, n);
}

ErrorNumber ReadTiffDirectory(EngineFile& file, std::int64_t fileSize, int imageNumber,
                              TiffDirectory& directory) {
    const bool bigEndian = file.ByteOrder() == EngineFile::kBigEndian;
    const int wanted = std::max(imageNumber, 1);
    // Directories never overlap the header or each other, so a chain that
    // claims more room than the file has loops; this ends its walk.
    std::int64_t claimed = tiff::kHeaderBytes;
    for (int index = 1;; ++index) {
        const std::uint32_t offset = file.ReadU32();
        if (file.ShortRead() || offset == 0 || offset >= fileSize || !file.SeekSet(offset))
            return reportFailure(err::BadFile, location::TiffBadChain);
        const unsigned entries = file.ReadU16();
        if (file.ShortRead() || entries < tiff::kFewestEntries || entries > tiff::kMostEntries)
            return reportFailure(err::BadFile, location::TiffBadChain);
        const std::int64_t entryBytes = static_cast<std::int64_t>(tiff::kEntryBytes * entries);
        claimed += 2 + entryBytes;
        if (claimed > fileSize) return reportFailure(err::BadFile, location::TiffBadChain);
        if (index < wanted) {
            claimed += 4;
            if (!file.SeekSet(file.Tell() + entryBytes))
                return reportFailure(err::BadFile, location::TiffBadChain);
            continue;
        }
        std::uint8_t table[tiff::kEntryBytes * tiff::kMostEntries];
        if (file.ReadBlock(table, static_cast<std::size_t>(entryBytes)) !=
            static_cast<std::size_t>(entryBytes))
            return reportFailure(err::BadFile, location::TiffBadChain);
        directory = TiffDirectory{};
        SampleFields samples;
        samples.sampleFormat = {tiff::kShort, 1, tiff::kUnsignedSamples, 0, tiff::kUnsignedSamples};
        for (unsigned e = 0; e < entries; ++e)
            takeEntry(table + tiff::kEntryBytes * e, bigEndian, directory, samples);
        const auto bits = commonSampleValue(file, fileSize, samples.bitsPerSample, bigEndian);
        const auto format = commonSampleValue(file, fileSize, samples.sampleFormat, bigEndian);
        if (!bits || !format) return reportFailure(err::BadFile, location::TiffBadChain);
        directory.bitsPerSample = *bits;
        directory.sampleFormat = *format;
        return 0;
    }
}

bool TiffStripTable::inlineValues() const {
    return field_.type == tiff::kShort ? field_.count <= 2 : field_.count <= 1;
}

ErrorNumber TiffStripTable::Load(EngineFile& file, const TiffField& field, std::int64_t fileSize) {
    field_ = field;
    bigEndian_ = file.ByteOrder() == EngineFile::kBigEndian;
    array_.reset();
    if (inlineValues()) return 0;
    const auto bytes = checkedMultiply(field.count, field.type == tiff::kShort ? 2 : 4);
    const auto end = bytes ? checkedAdd(field.word, *bytes) : std::nullopt;
    if (!end || *end > static_cast<std::uint64_t>(fileSize))
        return reportFailure(err::BadFile, location::TiffBadStripTable);
    const auto size = static_cast<std::size_t>(*bytes);
    array_.reset(new (std::nothrow) std::uint8_t[size]);
    if (!array_ || !file.SeekSet(field.word) || ReadTiffBytes(file, array_.get(), size) != size)
        return reportFailure(err::BadFile, location::TiffBadStripTable);
    return 0;
}

std::uint32_t TiffStripTable::operator[](std::uint32_t i) const {
    if (!array_) {
        if (field_.type != tiff::kShort) return field_.word;
        return i == 0 ? field_.first : field_.second;
    }
    if (field_.type == tiff::kShort)
        return orderedU16(array_.get() + 2 * std::size_t{i}, bigEndian_);
    return orderedU32(array_.get() + 4 * std::size_t{i}, bigEndian_);
}

}  // namespace pm32
