#include "formats/bmp.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "engine/dib_layout.h"
#include "platform/global_memory.h"
#include "tests/support/codec_test.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using test::Bytes;
using test::TempDir;

void appendLe16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void appendLe32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

struct Rgb {
    std::uint8_t r, g, b;
};

// A bitmap file assembled field by field, so each test states exactly what
// the reader meets.
struct BmpFile {
    bool coreHeader = false;
    std::uint32_t infoHeaderSize = 40;  // 108 and 124 add zeroed colour-space fields
    std::int32_t width = 4;
    std::int32_t height = 2;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 8;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
    std::vector<Rgb> colors;              // the table as stored
    Bytes gap;                            // bytes between table and pixels
    std::optional<std::uint32_t> offset;  // default: where the pixels really start
    Bytes pixels;                         // as stored, bottom row first

    Bytes bytes() const {
        Bytes header;
        if (coreHeader) {
            appendLe32(header, 12);
            appendLe16(header, static_cast<std::uint32_t>(width));
            appendLe16(header, static_cast<std::uint32_t>(height));
            appendLe16(header, planes);
            appendLe16(header, bitCount);
        } else {
            appendLe32(header, infoHeaderSize);
            appendLe32(header, static_cast<std::uint32_t>(width));
            appendLe32(header, static_cast<std::uint32_t>(height));
            appendLe16(header, planes);
            appendLe16(header, bitCount);
            appendLe32(header, compression);
            appendLe32(header, static_cast<std::uint32_t>(pixels.size()));
            appendLe32(header, 2835);
            appendLe32(header, 2835);
            appendLe32(header, clrUsed);
            appendLe32(header, 0);
            header.resize(infoHeaderSize);
        }
        for (const Rgb& c : colors) {
            header.insert(header.end(), {c.b, c.g, c.r});
            if (!coreHeader) header.push_back(0);
        }
        header.insert(header.end(), gap.begin(), gap.end());
        auto start = static_cast<std::uint32_t>(14 + header.size());
        Bytes out{'B', 'M'};
        appendLe32(out, start + static_cast<std::uint32_t>(pixels.size()));
        appendLe32(out, 0);
        appendLe32(out, offset.value_or(start));
        out.insert(out.end(), header.begin(), header.end());
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }
};

std::vector<Rgb> rampColors(std::size_t n) {
    std::vector<Rgb> colors;
    for (std::size_t i = 0; i < n; ++i)
        colors.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                          static_cast<std::uint8_t>(i * 3)});
    return colors;
}

Bytes patternBytes(std::size_t n, unsigned seed = 1) {
    Bytes out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(i * 7 + seed * 31);
    return out;
}

Bytes pixelsOf(const ZDib& image) {
    platform::Locked block(image.handle);
    if (!block) return {};
    const std::uint8_t* start = block.data() + image.PixelOffset();
    return Bytes(start, start + image.PixelBytes());
}

std::vector<PALETTEENTRY> paletteOf(const ZDib& image) {
    std::vector<PALETTEENTRY> entries(image.colorsUsed);
    entries.resize(image.GetPalette(entries));
    return entries;
}

bool sameColor(const PALETTEENTRY& entry, const Rgb& c) {
    return entry.peRed == c.r && entry.peGreen == c.g && entry.peBlue == c.b;
}

// Lowers the block size limit for one test, so an allocation attempt that
// should never happen shows up as 20102 instead of succeeding.
class BlockLimit {
  public:
    explicit BlockLimit(std::size_t bytes) : saved_(platform::BlockSizeLimit()) {
        platform::SetBlockSizeLimit(bytes);
    }
    ~BlockLimit() { platform::SetBlockSizeLimit(saved_); }

  private:
    std::size_t saved_;
};

class BmpTest : public test::CodecTest {
  protected:
    ZDib load(const Bytes& bytes) { return loadFile("in.bmp", bytes, LoadBMP); }

    void expectRefused(const Bytes& bytes, ErrorNumber expected) {
        expectReadRefused(writeInput("in.bmp", bytes), expected, LoadBMP);
    }
};

using BmpReadTest = BmpTest;

TEST_F(BmpReadTest, UncompressedDepthsKeepHeaderTableAndRows) {
    struct Case {
        std::uint16_t depth;
        std::int32_t width;
    };
    for (Case c : {Case{1, 13}, Case{4, 5}, Case{8, 3}, Case{24, 5}}) {
        SCOPED_TRACE(c.depth);
        BmpFile file;
        file.bitCount = c.depth;
        file.width = c.width;
        file.height = 3;
        file.colors = rampColors(fullTableSize(c.depth));
        std::size_t rowBytes = rowBytesFor(static_cast<std::uint32_t>(c.width), c.depth);
        file.pixels = patternBytes(rowBytes * 3, c.depth);

        ZDib image = load(file.bytes());
        ASSERT_EQ(image.error, 0);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, 3);
        EXPECT_EQ(image.depth, c.depth);
        EXPECT_EQ(image.rowBytes, rowBytes);
        EXPECT_EQ(image.colorsUsed, fullTableSize(c.depth));
        EXPECT_EQ(pixelsOf(image), file.pixels);
        auto palette = paletteOf(image);
        ASSERT_EQ(palette.size(), file.colors.size());
        for (std::size_t i = 0; i < palette.size(); ++i)
            EXPECT_TRUE(sameColor(palette[i], file.colors[i])) << "entry " << i;
        EXPECT_EQ(VerifyDib(image.handle), 0);
    }
}

TEST_F(BmpReadTest, PixelOffsetZeroMeansRightAfterTheColourTable) {
    BmpFile file;
    file.colors = rampColors(256);
    file.pixels = patternBytes(8);
    file.offset = 0;
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(pixelsOf(image), file.pixels);
}

TEST_F(BmpReadTest, NonZeroPixelOffsetIsFollowed) {
    BmpFile file;
    file.colors = rampColors(256);
    file.gap = Bytes(10, 0xEE);
    file.pixels = patternBytes(8);
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(pixelsOf(image), file.pixels);
}

TEST_F(BmpReadTest, ShortColourTableLeavesTheRestOfTheTableZero) {
    BmpFile file;
    file.clrUsed = 16;
    file.colors = rampColors(16);
    file.pixels = {0, 5, 15, 9, 1, 2, 3, 4};
    file.offset = 0;
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.colorsUsed, 256u);
    auto palette = paletteOf(image);
    ASSERT_EQ(palette.size(), 256u);
    for (std::size_t i = 0; i < 16; ++i) EXPECT_TRUE(sameColor(palette[i], file.colors[i]));
    for (std::size_t i = 16; i < 256; ++i) EXPECT_TRUE(sameColor(palette[i], {0, 0, 0})) << i;
    EXPECT_EQ(pixelsOf(image), file.pixels);
}

TEST_F(BmpReadTest, ColourCountBeyondTheTableKeepsTheFullTableAndFindsThePixels) {
    BmpFile file;
    file.bitCount = 4;
    file.clrUsed = 20;
    file.colors = rampColors(20);
    file.pixels = patternBytes(8);
    file.offset = 0;
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    auto palette = paletteOf(image);
    ASSERT_EQ(palette.size(), 16u);
    for (std::size_t i = 0; i < 16; ++i) EXPECT_TRUE(sameColor(palette[i], file.colors[i]));
    EXPECT_EQ(pixelsOf(image), file.pixels);
}

TEST_F(BmpReadTest, TrueColourFileWithATableSkipsIt) {
    BmpFile file;
    file.bitCount = 24;
    file.width = 2;
    file.clrUsed = 3;
    file.colors = rampColors(3);
    file.pixels = patternBytes(16);
    file.offset = 0;
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.colorsUsed, 0u);
    EXPECT_EQ(pixelsOf(image), file.pixels);
}

TEST_F(BmpReadTest, FourPlanesOfOneBitAreAFourBitImage) {
    BmpFile file;
    file.planes = 4;
    file.bitCount = 1;
    file.width = 6;
    file.colors = rampColors(16);
    file.pixels = patternBytes(8);
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.depth, 4u);
    EXPECT_EQ(image.rowBytes, 4u);
    EXPECT_EQ(image.colorsUsed, 16u);
    EXPECT_EQ(pixelsOf(image), file.pixels);
}

TEST_F(BmpReadTest, CoreHeaderGivesTheSameImageAsTheInfoHeader) {
    for (std::uint16_t depth : {1, 4, 8, 24}) {
        SCOPED_TRACE(depth);
        BmpFile info;
        info.bitCount = depth;
        info.width = 7;
        info.height = 3;
        info.colors = rampColors(fullTableSize(depth));
        info.pixels = patternBytes(rowBytesFor(7, depth) * 3, depth);
        BmpFile core = info;
        core.coreHeader = true;

        ZDib fromInfo = load(info.bytes());
        ZDib fromCore = load(core.bytes());
        ASSERT_EQ(fromInfo.error, 0);
        ASSERT_EQ(fromCore.error, 0);
        EXPECT_EQ(test::BlockBytes(fromCore.handle), test::BlockBytes(fromInfo.handle));
    }
}

TEST_F(BmpReadTest, PixelDataMissingUpToThreeBytesLoads) {
    BmpFile file;
    file.width = 5;
    file.colors = rampColors(256);
    file.pixels = patternBytes(16);
    for (std::size_t missing : {1, 2, 3}) {
        SCOPED_TRACE(missing);
        Bytes bytes = file.bytes();
        bytes.resize(bytes.size() - missing);
        ZDib image = load(bytes);
        ASSERT_EQ(image.error, 0);
        Bytes expected = file.pixels;
        std::fill(expected.end() - static_cast<std::ptrdiff_t>(missing), expected.end(), 0);
        EXPECT_EQ(pixelsOf(image), expected);
    }
}

TEST_F(BmpReadTest, PixelDataMissingFourBytesIsRefused) {
    BmpFile file;
    file.colors = rampColors(256);
    file.pixels = patternBytes(8);
    Bytes bytes = file.bytes();
    bytes.resize(bytes.size() - 4);
    expectRefused(bytes, err::BadFile);
}

// 65536 pixel bytes are read as a full piece and a one-byte piece; each may
// fall up to three bytes short.
TEST_F(BmpReadTest, ShortfallIsCountedPerPiece) {
    BmpFile file;
    file.width = 256;
    file.height = 256;
    file.colors = rampColors(256);
    file.pixels = patternBytes(65536);
    Bytes bytes = file.bytes();
    bytes.resize(bytes.size() - 4);
    ZDib image = load(bytes);
    EXPECT_EQ(image.error, 0);

    bytes.resize(bytes.size() - 1);
    expectRefused(bytes, err::BadFile);
}

TEST_F(BmpReadTest, MalformedFilesAreRefused) {
    BmpFile good;
    good.colors = rampColors(256);
    good.pixels = patternBytes(8);

    Bytes wrongType = good.bytes();
    wrongType[0] = 'M';
    expectRefused(wrongType, err::BadFile);
    expectRefused({}, err::BadFile);
    expectRefused({'B', 'M', 0, 0}, err::BadFile);

    Bytes neitherHeader = good.bytes();
    neitherHeader[14] = 64;
    expectRefused(neitherHeader, err::BadFile);

    BmpFile corePlanes = good;
    corePlanes.coreHeader = true;
    corePlanes.planes = 2;
    expectRefused(corePlanes.bytes(), err::BadFile);

    Bytes truncatedInfo = good.bytes();
    truncatedInfo.resize(14 + 30);
    expectRefused(truncatedInfo, err::BadFile);

    Bytes noTable = good.bytes();
    noTable.resize(14 + 40);
    expectRefused(noTable, err::BadFile);

    BmpFile bitFields = good;
    bitFields.compression = 3;
    expectRefused(bitFields.bytes(), err::BadFile);
}

TEST_F(BmpReadTest, VersionFourAndFiveHeadersReadLikeTheInfoHeader) {
    for (std::uint32_t size : {108u, 124u}) {
        SCOPED_TRACE(size);
        for (std::uint32_t compression : {0u, 1u}) {
            BmpFile file;
            file.colors = rampColors(256);
            file.compression = compression;
            file.pixels = compression == 0 ? patternBytes(8) : Bytes{4, 9, 0, 0, 2, 7, 2, 8, 0, 1};
            file.offset = 0;
            BmpFile twin = file;
            file.infoHeaderSize = size;
            ZDib image = load(file.bytes());
            ZDib expected = load(twin.bytes());
            ASSERT_EQ(image.error, 0);
            EXPECT_EQ(test::BlockBytes(image.handle), test::BlockBytes(expected.handle));
        }
        BmpFile refused;
        refused.infoHeaderSize = size;
        refused.pixels = patternBytes(64);
        for (auto [bitCount, compression] : {std::pair{16, 0}, {32, 3}, {8, 3}, {24, 4}}) {
            refused.bitCount = static_cast<std::uint16_t>(bitCount);
            refused.compression = static_cast<std::uint32_t>(compression);
            refused.colors = rampColors(fullTableSize(refused.bitCount));
            expectRefused(refused.bytes(), err::BadFile);
        }
    }
}

TEST_F(BmpReadTest, SidesBeyond32767AreRefusedBeforeAllocation) {
    BmpFile file;
    file.bitCount = 1;
    file.colors = rampColors(2);
    file.pixels = patternBytes(64);
    for (auto [width, height] : {std::pair{32768, 1}, {1, 32768}, {65308, 65386}}) {
        file.width = width;
        file.height = height;
        expectRefused(file.bytes(), err::BadArea);
    }
}

TEST_F(BmpReadTest, GeometryIsCheckedByImageCreation) {
    BmpFile file;
    file.pixels = patternBytes(64);
    file.bitCount = 16;
    expectRefused(file.bytes(), err::BadDepth);
    file.bitCount = 32;
    expectRefused(file.bytes(), err::BadDepth);
    file.compression = 3;
    expectRefused(file.bytes(), err::BadDepth);
    file.compression = 0;
    file.bitCount = 24;
    file.width = 0;
    expectRefused(file.bytes(), err::BadArea);
    file.width = 2;
    file.height = -2;
    expectRefused(file.bytes(), err::BadArea);
}

TEST_F(BmpReadTest, MissingFileGivesFileMissing) {
    ZDib image;
    LoadBMP(image, path("absent.bmp"));
    EXPECT_EQ(image.error, err::FileMissing);
    EXPECT_EQ(image.handle, 0u);
}

TEST_F(BmpReadTest, FailedLoadEmptiesThePreviousImage) {
    ZDib image;
    image.Create(4, 4, 8, 0);
    ASSERT_EQ(image.error, 0);
    std::string bad = path("bad.bmp");
    test::writeFile(bad, {'X', 'Y'});
    LoadBMP(image, bad);
    EXPECT_EQ(image.error, err::BadFile);
    EXPECT_EQ(image.handle, 0u);
}

using BmpHostileTest = BmpTest;

// With a 1 MiB limit an attempted allocation fails with 20102; 20101 shows
// the size was refused against the file length first.
TEST_F(BmpHostileTest, UncompressedSizeBeyondTheFileIsRefusedBeforeAllocation) {
    BlockLimit limit(1 << 20);
    BmpFile file;
    file.bitCount = 24;
    file.width = 2000;
    file.height = 2000;
    file.pixels = patternBytes(64);
    expectRefused(file.bytes(), err::BadFile);

    file.width = 32767;
    file.height = 32767;
    expectRefused(file.bytes(), err::BadFile);

    file.width = 16;
    file.height = 16;
    file.offset = 0xFFFFFFF0u;
    expectRefused(file.bytes(), err::BadFile);
}

TEST_F(BmpHostileTest, HugeColourCountCannotMovePixelsPastTheFile) {
    BmpFile file;
    file.clrUsed = 0xFFFFFFFFu;
    file.colors = rampColors(256);
    file.pixels = patternBytes(8);
    file.offset = 0;
    expectRefused(file.bytes(), err::BadFile);
}

TEST_F(BmpHostileTest, CompressedSizeBeyondTheBlockLimitIsOutOfMemory) {
    BlockLimit limit(1 << 20);
    BmpFile file;
    file.compression = 1;
    file.colors = rampColors(256);
    file.pixels = {0, 1};
    file.width = 32767;
    file.height = 32767;
    expectRefused(file.bytes(), err::OutOfMemory);
    // Beyond the side limit nothing is allocated at all.
    file.width = 0x7FFFFFFF;
    file.height = 0x7FFFFFFF;
    expectRefused(file.bytes(), err::BadArea);
}

using BmpRleTest = BmpTest;

BmpFile rleFile(std::uint32_t compression, std::int32_t width, std::int32_t height, Bytes stream) {
    BmpFile file;
    file.compression = compression;
    file.bitCount = compression == 1 ? 8 : 4;
    file.width = width;
    file.height = height;
    file.colors = rampColors(fullTableSize(file.bitCount));
    file.pixels = std::move(stream);
    return file;
}

Bytes rows(std::initializer_list<Bytes> bottomUp) {
    Bytes out;
    for (const Bytes& row : bottomUp) out.insert(out.end(), row.begin(), row.end());
    return out;
}

// Streams several times longer than the 4096-byte staging buffer, with
// absolute runs that straddle its refills.
TEST_F(BmpRleTest, StreamsLongerThanTheStagingBufferDecodeWhole) {
    for (std::uint32_t compression : {1u, 2u}) {
        SCOPED_TRACE(compression);
        const int width = 300, height = 60;
        const std::size_t rowBytes = compression == 1 ? 300 : 150;
        Bytes stream, expected;
        for (int y = 0; y < height; ++y) {
            Bytes row(rowBytes);
            for (std::size_t i = 0; i < rowBytes; ++i)
                row[i] = static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(y) * 13);
            // Two absolute runs of half a row each: 150 pixels in 150 or 75 bytes.
            for (std::size_t half = 0; half < 2; ++half) {
                stream.insert(stream.end(), {0, 150});
                auto from = row.begin() + static_cast<std::ptrdiff_t>(half * rowBytes / 2);
                stream.insert(stream.end(), from, from + static_cast<std::ptrdiff_t>(rowBytes / 2));
                if ((rowBytes / 2) % 2) stream.push_back(0);
            }
            stream.insert(stream.end(), {0, 0});
            expected.insert(expected.end(), row.begin(), row.end());
            expected.resize(expected.size() + (4 - rowBytes % 4) % 4, 0);
        }
        ASSERT_GT(stream.size(), 2 * 4096u);
        ZDib image = load(rleFile(compression, width, height, stream).bytes());
        ASSERT_EQ(image.error, 0);
        EXPECT_TRUE(pixelsOf(image) == expected);
    }
}

TEST_F(BmpRleTest, Rle8RunsAndAbsoluteRuns) {
    // Row 0: run of 3 x 9, absolute run of 3 (odd, so padded), run of 2 x 1.
    // Row 1: absolute run of 4, run of 4 x 0x55.
    BmpFile file = rleFile(1, 8, 2, {3, 9, 0, 3, 0xA, 0xB, 0xC, 0x00, 2, 1, 0, 0,  //
                                     0, 4, 1, 2, 3,   4,   4,   0x55, 0, 0, 0, 1});
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(pixelsOf(image), rows({{9, 9, 9, 0xA, 0xB, 0xC, 1, 1},  //
                                     {1, 2, 3, 4, 0x55, 0x55, 0x55, 0x55}}));
}

TEST_F(BmpRleTest, Rle4WorksInWholeBytes) {
    // Row 0: run of 5 pixels of 0x12 gives two bytes; absolute run of 5
    // pixels gives two bytes and 0x70 from 0x7F, three data bytes so a pad.
    // Row 1: absolute run of 4 pixels: two bytes, no pad; absolute run of 3
    // pixels: 0x56 and 0x70 from 0x7F, two data bytes so no pad.
    BmpFile file = rleFile(2, 16, 2, {5, 0x12, 0,    5,    0x34, 0x56, 0x7F, 0xEE, 0, 0,  //
                                      0, 4,    0xAB, 0xCD, 0,    3,    0x56, 0x7F, 2, 0x11, 0, 1});
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(pixelsOf(image), rows({{0x12, 0x12, 0x34, 0x56, 0x70, 0, 0, 0},  //
                                     {0xAB, 0xCD, 0x56, 0x70, 0x11, 0, 0, 0}}));
}

TEST_F(BmpRleTest, DeltaCodeIsRefused) {
    expectRefused(rleFile(1, 4, 2, {2, 7, 0, 2, 1, 1, 0, 0, 0, 1}).bytes(), err::BadFile);
    expectRefused(rleFile(2, 8, 2, {0, 2, 1, 0, 0, 1}).bytes(), err::BadFile);
}

TEST_F(BmpRleTest, EndOfBitmapBeforeTheTopRowLeavesTheRestZero) {
    BmpFile file = rleFile(1, 4, 3, {4, 6, 0, 0, 2, 8, 0, 1});
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(pixelsOf(image), rows({{6, 6, 6, 6}, {8, 8, 0, 0}, {0, 0, 0, 0}}));
}

TEST_F(BmpRleTest, DecodingStopsWhenEveryRowIsStored) {
    // No end-of-bitmap marker, and trailing bytes that would be a delta.
    BmpFile file = rleFile(1, 4, 2, {4, 1, 0, 0, 4, 2, 0, 0, 0, 2, 9, 9});
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(pixelsOf(image), rows({{1, 1, 1, 1}, {2, 2, 2, 2}}));
}

TEST_F(BmpRleTest, RunsPastTheRowEndAreCut) {
    // Row 0: a run of 10 and then another run, both cut to the 4-byte row.
    // Row 1: an absolute run of 7 (padded) cut to 4 bytes; the stream stays
    // in step, so row 2 decodes as written.
    BmpFile file = rleFile(1, 4, 3, {10,  7, 3, 8, 0, 0,                    //
                                     0,   7, 1, 2, 3, 4, 5, 6, 7, 0, 0, 0,  //
                                     255, 4, 0, 1});
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(pixelsOf(image), rows({{7, 7, 7, 7}, {1, 2, 3, 4}, {4, 4, 4, 4}}));

    BmpFile four = rleFile(2, 8, 1, {255, 0x9A, 0, 9, 1, 2, 3, 4, 5, 0, 0, 1});
    ZDib image4 = load(four.bytes());
    ASSERT_EQ(image4.error, 0);
    EXPECT_EQ(pixelsOf(image4), rows({{0x9A, 0x9A, 0x9A, 0x9A}}));
}

TEST_F(BmpRleTest, TruncatedStreamIsRefused) {
    const Bytes stream = {4, 6, 0, 0, 0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 3, 3, 0, 1};
    // Cut inside an encoded pair, inside an absolute run, before its pad and
    // before the second row's end of line.
    for (std::size_t keep : {3u, 8u, 11u, 12u, 15u}) {
        SCOPED_TRACE(keep);
        Bytes cut(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(keep));
        expectRefused(rleFile(1, 8, 3, cut).bytes(), err::BadFile);
    }
    expectRefused(rleFile(2, 8, 2, {}).bytes(), err::BadFile);
}

using BmpWriteTest = BmpTest;

ZDib patternImage(std::int32_t width, std::int32_t height, std::uint32_t depth) {
    ZDib image;
    image.Create(width, height, depth, 0);
    platform::Locked block(image.handle);
    if (!block) return image;
    Bytes table = patternBytes(4 * image.colorsUsed, 5);
    for (std::size_t i = 3; i < table.size(); i += 4) table[i] = 0;
    std::copy(table.begin(), table.end(), block.data() + 40);
    Bytes pixels = patternBytes(image.PixelBytes(), depth);
    std::memcpy(block.data() + image.PixelOffset(), pixels.data(), pixels.size());
    return image;
}

TEST_F(BmpWriteTest, FileIsTheFileHeaderFollowedByTheBlock) {
    struct Case {
        std::uint32_t depth;
        std::uint32_t offset;
    };
    for (Case c : {Case{1, 62}, Case{4, 118}, Case{8, 1078}, Case{24, 54}}) {
        SCOPED_TRACE(c.depth);
        ZDib image = patternImage(11, 5, c.depth);
        ASSERT_EQ(image.error, 0);
        std::string out = path("out.bmp");
        StoreBMP(image, out);
        ASSERT_EQ(image.error, 0);

        Bytes file = test::readFile(out);
        Bytes block = test::BlockBytes(image.handle);
        ASSERT_EQ(file.size(), 14 + block.size());
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(readLe32(&file[2]), c.offset + image.rowBytes * 5);
        EXPECT_EQ(readLe32(&file[6]), 0u);
        EXPECT_EQ(readLe32(&file[10]), c.offset);
        EXPECT_TRUE(std::equal(block.begin(), block.end(), file.begin() + 14));
    }
}

TEST_F(BmpWriteTest, StoredFilesLoadBackUnchanged) {
    for (std::uint32_t depth : {1u, 4u, 8u, 24u}) {
        for (std::int32_t width : {1, 3, 17, 33}) {
            SCOPED_TRACE(testing::Message() << depth << " bits, width " << width);
            ZDib image = patternImage(width, 7, depth);
            std::string out = path("round.dib");
            StoreBMP(image, out);
            ASSERT_EQ(image.error, 0);
            ZDib back;
            LoadBMP(back, out);
            ASSERT_EQ(back.error, 0);
            EXPECT_EQ(test::BlockBytes(back.handle), test::BlockBytes(image.handle));
        }
    }
}

// Blocks just below and above one 32 KiB write piece, and one of many pieces.
TEST_F(BmpWriteTest, LargerBlocksAreWrittenWhole) {
    struct Case {
        std::int32_t width, height;
        std::uint32_t depth;
    };
    for (Case c : {Case{8, 1363, 24}, Case{1, 8177, 1}, Case{700, 100, 24}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        ZDib image = patternImage(c.width, c.height, c.depth);
        std::string out = path("large.bmp");
        StoreBMP(image, out);
        ASSERT_EQ(image.error, 0);
        Bytes file = test::readFile(out);
        Bytes block = test::BlockBytes(image.handle);
        ASSERT_EQ(file.size(), 14 + block.size());
        EXPECT_EQ(readLe32(&file[2]), file.size());
        EXPECT_TRUE(std::equal(block.begin(), block.end(), file.begin() + 14));
    }
}

TEST_F(BmpWriteTest, ImageWithoutPixelsIsRefused) {
    ZDib empty;
    StoreBMP(empty, path("empty.bmp"));
    EXPECT_EQ(empty.error, err::NoBitmap);

    ZDib paletteOnly;
    paletteOnly.depth = 8;
    paletteOnly.Allocate(true);
    ASSERT_EQ(paletteOnly.error, 0);
    StoreBMP(paletteOnly, path("palette.bmp"));
    EXPECT_EQ(paletteOnly.error, err::NoBitmap);

    struct stat info {};
    EXPECT_NE(::stat(path("empty.bmp").c_str(), &info), 0);
    EXPECT_NE(::stat(path("palette.bmp").c_str(), &info), 0);
}

TEST_F(BmpWriteTest, BlockShorterThanItsHeaderIsNotWritten) {
    ZDib image = patternImage(8, 8, 8);
    {
        platform::Locked block(image.handle);
        writeLe32(block.data() + dib::kHeight, 9);
    }
    StoreBMP(image, path("short.bmp"));
    EXPECT_EQ(image.error, err::InvalidPicture);
}

TEST_F(BmpWriteTest, UnwritablePathAndFullDeviceFail) {
    ZDib image = patternImage(8, 8, 8);
    StoreBMP(image, path("missing-dir/out.bmp"));
    EXPECT_EQ(image.error, err::WriteFailed);
    StoreBMP(image, path(""));
    EXPECT_EQ(image.error, err::WriteFailed);

    struct stat info {};
    if (::stat("/dev/full", &info) != 0) GTEST_SKIP() << "no /dev/full to fail writes";
    StoreBMP(image, "/dev/full");
    EXPECT_EQ(image.error, err::WriteFailed);
}

// An embedded-object container around a bitmap file, assembled field by field.
struct PaintbrushObject {
    std::uint16_t signature = 0x1C15;
    std::uint32_t type = 2;
    std::string name = "Paintbrush Picture";
    std::string objectClass = "PBrush";
    int headerSizeSkew = 0;
    std::uint32_t version = 0x0501;
    std::uint32_t format = 2;
    std::string className = std::string("PBrush", 7);
    std::string topic = std::string("", 1);
    std::string item = std::string("", 1);
    Bytes native;
    std::optional<std::uint32_t> nativeSize;

    Bytes bytes() const {
        Bytes out;
        auto nameLength = static_cast<std::uint32_t>(name.size());
        auto classLength = static_cast<std::uint32_t>(objectClass.size());
        appendLe16(out, signature);
        appendLe16(out, static_cast<std::uint32_t>(static_cast<int>(nameLength + classLength + 24) +
                                                   headerSizeSkew));
        appendLe32(out, type);
        appendLe16(out, nameLength);
        appendLe16(out, classLength);
        appendLe16(out, 20);
        appendLe16(out, static_cast<std::uint32_t>(20 + nameLength));
        appendLe32(out, 0xFFFFFFFFu);
        appendLe32(out, 0);
        out.insert(out.end(), name.begin(), name.end());
        out.insert(out.end(), objectClass.begin(), objectClass.end());
        out.resize(static_cast<std::size_t>(static_cast<int>(out.size()) + headerSizeSkew));
        appendLe32(out, version);
        appendLe32(out, format);
        for (const std::string* text : {&className, &topic, &item}) {
            appendLe32(out, static_cast<std::uint32_t>(text->size()));
            out.insert(out.end(), text->begin(), text->end());
        }
        appendLe32(out, nativeSize.value_or(static_cast<std::uint32_t>(native.size())));
        out.insert(out.end(), native.begin(), native.end());
        return out;
    }
};

Bytes storedBitmap(ZDib& image, const std::string& path) {
    StoreBMP(image, path);
    return test::readFile(path);
}

using BmpPaintbrushObjectTest = BmpTest;

TEST_F(BmpPaintbrushObjectTest, DecodesTheBitmapItCarries) {
    for (std::uint32_t depth : {1u, 4u, 8u, 24u}) {
        SCOPED_TRACE(depth);
        ZDib source = patternImage(9, 4, depth);
        PaintbrushObject object;
        object.native = storedBitmap(source, path("native.bmp"));
        ZDib image = DecodePaintbrushObject(object.bytes());
        ASSERT_EQ(image.error, 0);
        ASSERT_NE(image.handle, 0u);
        EXPECT_EQ(test::BlockBytes(image.handle), test::BlockBytes(source.handle));
        EXPECT_EQ(VerifyDib(image.handle), 0);
    }
}

TEST_F(BmpPaintbrushObjectTest, ImageSizeFieldLimitsThePixelsCopied) {
    ZDib source = patternImage(4, 3, 8);
    Bytes native = storedBitmap(source, path("native.bmp"));
    Bytes pixels = pixelsOf(source);

    PaintbrushObject partial;
    partial.native = native;
    writeLe32(&partial.native[14 + dib::kSizeImage], 5);
    ZDib image = DecodePaintbrushObject(partial.bytes());
    ASSERT_EQ(image.error, 0);
    Bytes expected(pixels.size(), 0);
    std::copy(pixels.begin(), pixels.begin() + 5, expected.begin());
    EXPECT_EQ(pixelsOf(image), expected);
    platform::Locked block(image.handle);
    EXPECT_EQ(readLe32(block.data() + dib::kSizeImage), 0u);

    PaintbrushObject oversized;
    oversized.native = native;
    writeLe32(&oversized.native[14 + dib::kSizeImage], 1u << 30);
    ZDib whole = DecodePaintbrushObject(oversized.bytes());
    ASSERT_EQ(whole.error, 0);
    EXPECT_EQ(pixelsOf(whole), pixels);
}

// As for files: with a 1 MiB limit an attempted allocation would give 20102.
TEST_F(BmpPaintbrushObjectTest, SizesBeyondTheObjectAreRefusedBeforeAllocation) {
    ZDib source = patternImage(4, 4, 24);
    PaintbrushObject object;
    object.native = storedBitmap(source, path("native.bmp"));
    BlockLimit limit(1 << 20);
    for (std::uint32_t side : {2000u, 0x7FFFFFFFu}) {
        SCOPED_TRACE(side);
        writeLe32(&object.native[14 + dib::kWidth], side);
        writeLe32(&object.native[14 + dib::kHeight], side);
        ZDib image = DecodePaintbrushObject(object.bytes());
        EXPECT_EQ(image.error, err::BadFile);
        EXPECT_EQ(image.handle, 0u);
    }
}

TEST_F(BmpPaintbrushObjectTest, EachFailedCheckGivesNoImage) {
    ZDib source = patternImage(5, 2, 4);
    PaintbrushObject good;
    good.native = storedBitmap(source, path("native.bmp"));
    ASSERT_EQ(DecodePaintbrushObject(good.bytes()).error, 0);

    std::vector<std::pair<std::string, PaintbrushObject>> cases;
    auto add = [&](const std::string& what, auto change) {
        PaintbrushObject object = good;
        change(object);
        cases.emplace_back(what, object);
    };
    add("signature", [](PaintbrushObject& o) { o.signature = 0x1C16; });
    add("object type", [](PaintbrushObject& o) { o.type = 1; });
    add("header size", [](PaintbrushObject& o) { o.headerSizeSkew = 2; });
    add("version", [](PaintbrushObject& o) { o.version = 0x0502; });
    add("format", [](PaintbrushObject& o) { o.format = 3; });
    add("class case", [](PaintbrushObject& o) { o.className = std::string("Pbrush", 7); });
    add("class prefix", [](PaintbrushObject& o) { o.className = std::string("PBrus", 6); });
    add("class suffix", [](PaintbrushObject& o) { o.className = std::string("PBrushX", 8); });
    add("native size", [](PaintbrushObject& o) {
        o.nativeSize = static_cast<std::uint32_t>(o.native.size() + 1);
    });
    add("native type", [](PaintbrushObject& o) { o.native[1] = 'A'; });
    add("info header size", [](PaintbrushObject& o) { o.native[14] = 12; });
    add("compressed", [](PaintbrushObject& o) { o.native[14 + dib::kCompression] = 2; });
    add("depth", [](PaintbrushObject& o) { o.native[14 + dib::kBitCount] = 16; });
    add("width", [](PaintbrushObject& o) { writeLe32(&o.native[14 + dib::kWidth], 0); });
    add("pixels missing", [](PaintbrushObject& o) { o.native.resize(o.native.size() - 1); });
    add("table missing", [](PaintbrushObject& o) { o.native.resize(14 + 40 + 20); });
    add("header missing", [](PaintbrushObject& o) { o.native.resize(14 + 39); });

    for (const auto& [what, object] : cases) {
        SCOPED_TRACE(what);
        std::size_t before = platform::LiveBlockCount();
        ZDib image = DecodePaintbrushObject(object.bytes());
        EXPECT_NE(image.error, 0);
        EXPECT_EQ(image.handle, 0u);
        EXPECT_EQ(platform::LiveBlockCount(), before);
    }

    // Every prefix of a valid object is a truncated one.
    Bytes whole = good.bytes();
    for (std::size_t keep = 0; keep < whole.size(); ++keep) {
        ZDib image = DecodePaintbrushObject(std::span(whole.data(), keep));
        EXPECT_EQ(image.handle, 0u) << keep;
    }
}

}  // namespace
}  // namespace pm32
