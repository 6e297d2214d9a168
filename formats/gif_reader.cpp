#include <cstring>
#include <memory>
#include <new>

#include "engine/diagnostics.h"
#include "engine/dib_layout.h"
#include "engine/progress.h"
#include "formats/diagnostic_locations.h"
#include "formats/engine_file.h"
#include "formats/gif.h"
#include "formats/gif_image.h"
#include "formats/load_through.h"

namespace pm32 {
namespace {

constexpr std::size_t kStagingBytes = 2048;
constexpr int kExtensionIntroducer = '!';
constexpr int kImageSeparator = ',';
constexpr int kTrailer = ';';

// Labels a reader meets without remark: plain text, comment, application.
bool isExpectedLabel(int label) { return label == 1 || label == 254 || label == 255; }

// Moves forward without reading; inside the staging buffer this costs no system call.
bool skip(EngineFile& file, std::int64_t bytes) { return file.SeekSet(file.Tell() + bytes); }

bool readExactly(EngineFile& file, std::uint8_t* into, std::size_t n) {
    return file.ReadBlock(into, n) == n;
}

// Data sub-blocks: a length byte and that many bytes, until a length of 0.
// The end of the file is no length; taking it for one would walk on forever.
ErrorNumber skipSubBlocks(EngineFile& file) {
    for (;;) {
        int length = file.ReadByte();
        if (length < 0) return reportFailure(err::BadFile, location::GifNoByte);
        if (length == 0) return 0;
        if (!skip(file, length)) return reportFailure(err::BadFile, location::GifNoByte);
    }
}

ErrorNumber skipExtension(EngineFile& file) {
    int label = file.ReadByte();
    if (label < 0) return reportFailure(err::BadFile, location::GifNoByte);
    // Graphic control data (transparency, delays) has no use in a still image.
    if (!isExpectedLabel(label))
        ReportDiagnostic(location::GifUnexpectedLabel, DiagnosticKind::Hand);
    return skipSubBlocks(file);
}

ErrorNumber skipImage(EngineFile& file) {
    std::uint8_t descriptor[gif::kDescriptorBytes];
    if (!readExactly(file, descriptor, sizeof descriptor))
        return reportFailure(err::BadFile, location::GifNoByte);
    std::uint8_t flags = descriptor[8];
    if ((flags & gif::kColorTableFlag) != 0 &&
        !skip(file, static_cast<std::int64_t>(gif::tableBytes(flags))))
        return reportFailure(err::BadFile, location::GifNoByte);
    if (file.ReadByte() < 0) return reportFailure(err::BadFile, location::GifNoByte);
    return skipSubBlocks(file);
}

// What the header and the global colour table say.
struct Screen {
    std::uint32_t depth = 0;
    std::uint32_t entries = 0;  // entries of the global table, present or not
    gif::ColorBuffer colors{};
};

ErrorNumber readScreen(EngineFile& file, Screen& screen, bool modern) {
    std::uint8_t header[gif::kHeaderBytes] = {};
    std::size_t got = file.ReadBlock(header, sizeof header);
    if (!gif::hasSignature(std::span(header, got)))
        return reportFailure(err::BadFile, location::GifNotGif);
    if (!gif::hasKnownVersion(std::span(header, got)))
        return reportFailure(err::BadFile, location::GifBadVersion);
    if (got < sizeof header) return reportFailure(err::BadFile, location::GifNoByte);
    std::uint8_t flags = header[gif::kScreenFlags];
    screen.depth = gif::screenDepth(flags);
    // Four colours fit a 4-bit image, whose two high bits of each index stay 0.
    if (screen.depth == 2) {
        if (!modern) return err::BadDepth;
        screen.depth = 4;
    }
    screen.entries = gif::tableEntries(flags);
    if ((flags & gif::kColorTableFlag) != 0) {
        std::uint8_t table[3 * 256];
        std::size_t bytes = gif::tableBytes(flags);
        if (!readExactly(file, table, bytes))
            return reportFailure(err::BadFile, location::GifNoByte);
        gif::readColorTable(std::span(table, bytes), screen.colors);
    }
    return 0;
}

// The image the walk chose: its descriptor, its local colour table over the
// global one, then the rest of the file as the decoder's data.
ErrorNumber readChosenImage(EngineFile& file, Screen& screen, ZDib& image) {
    std::uint8_t descriptorBytes[gif::kDescriptorBytes];
    if (!readExactly(file, descriptorBytes, sizeof descriptorBytes))
        return reportFailure(err::BadFile, location::GifNoByte);
    gif::ImageDescriptor descriptor = gif::parseDescriptor(descriptorBytes);
    std::uint32_t entries = screen.entries;
    if ((descriptor.flags & gif::kColorTableFlag) != 0) {
        std::uint8_t table[3 * 256];
        std::size_t bytes = gif::tableBytes(descriptor.flags);
        if (!readExactly(file, table, bytes))
            return reportFailure(err::BadFile, location::GifNoByte);
        gif::readColorTable(std::span(table, bytes), screen.colors);
        entries = gif::tableEntries(descriptor.flags);
    }

    image.Create(descriptor.width, descriptor.height,
                 gif::depthForImage(screen.depth, descriptor.flags), 0);
    if (image.error != 0) return image.error;
    {
        platform::Locked block(image.handle);
        writeLe32(block.data() + dib::kClrImportant, entries);
    }
    image.SetPalette(screen.colors, true);

    // The data is read whole so the decoder never waits on the file.
    std::int64_t remaining = file.Remaining();
    auto size = static_cast<std::size_t>(remaining);
    std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[size == 0 ? 1 : size]);
    if (!data)
        return reportFailure(err::OutOfMemory, location::GifNoMemory, DiagnosticKind::Memory);
    size = file.ReadHuge(data.get(), size);
    file.Close();

    int result =
        gif::decodeImageData(std::span(data.get(), size), image,
                             (descriptor.flags & gif::kInterlaceFlag) != 0, &FileProgressPump());
    return gif::settleDecoding(result, image);
}

ErrorNumber load(EngineFile& file, ZDib& image, int imageNumber, bool modern) {
    if (!file.SetBuffer(kStagingBytes))
        return reportFailure(err::OutOfMemory, location::GifNoMemory, DiagnosticKind::Memory);
    Screen screen;
    if (ErrorNumber e = readScreen(file, screen, modern)) return e;
    for (;;) {
        switch (file.ReadByte()) {
            case kExtensionIntroducer:
                if (ErrorNumber e = skipExtension(file)) return e;
                break;
            case kImageSeparator:
                if (imageNumber < 2) return readChosenImage(file, screen, image);
                if (ErrorNumber e = skipImage(file)) return e;
                --imageNumber;
                break;
            case kTrailer:
                // Fewer images than asked for: the palette alone.
                image.depth = screen.depth;
                image.Allocate(true);
                if (image.error == 0) image.SetPalette(screen.colors, true);
                return image.error;
            case -1:
                return reportFailure(err::BadFile, location::GifNoByte);
            default:
                return reportFailure(err::UnknownSymbol, location::GifUnknownBlock);
        }
    }
}

}  // namespace

void LoadGIF(ZDib& image, const std::string& path, int imageNumber, const ZLoadParams& params) {
    FileProgressPump().Begin();
    LoadThrough(image, path,
                [&](EngineFile& file) { return load(file, image, imageNumber, params.modern); });
}

void LoadGIF(ZDib& image, const std::string& path, int imageNumber) {
    LoadGIF(image, path, imageNumber, ZLoadParams{});
}

}  // namespace pm32
