#include "formats/pcx.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "engine/dib_layout.h"
#include "formats/engine_file.h"
#include "formats/pcx_rle.h"
#include "platform/global_memory.h"
#include "tests/support/codec_test.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using test::Bytes;

struct Rgb {
    std::uint8_t r, g, b;
};

// A PCX file assembled field by field; data is the coded image data as stored.
struct PcxFile {
    std::uint8_t version = 5;
    std::uint8_t bits = 8;
    std::uint8_t planes = 1;
    std::uint16_t xmin = 0, ymin = 0, xmax = 3, ymax = 1;
    std::uint16_t bytesPerLine = 4;
    std::uint16_t paletteInfo = 1;
    std::array<Rgb, 16> headerColors{};
    Bytes data;
    bool trailer = false;
    std::array<Rgb, 256> trailerColors{};

    Bytes bytes() const {
        Bytes out(128, 0);
        out[0] = 10;
        out[1] = version;
        out[2] = 1;
        out[3] = bits;
        writeLe16(&out[4], xmin);
        writeLe16(&out[6], ymin);
        writeLe16(&out[8], xmax);
        writeLe16(&out[10], ymax);
        for (std::size_t i = 0; i < 16; ++i) {
            out[16 + 3 * i] = headerColors[i].r;
            out[17 + 3 * i] = headerColors[i].g;
            out[18 + 3 * i] = headerColors[i].b;
        }
        out[65] = planes;
        writeLe16(&out[66], bytesPerLine);
        writeLe16(&out[68], paletteInfo);
        out.insert(out.end(), data.begin(), data.end());
        if (trailer) {
            out.push_back(12);
            for (const Rgb& c : trailerColors) out.insert(out.end(), {c.r, c.g, c.b});
        }
        return out;
    }
};

std::array<Rgb, 16> headerRamp() {
    std::array<Rgb, 16> colors{};
    for (std::uint8_t i = 0; i < 16; ++i)
        colors[i] = {static_cast<std::uint8_t>(10 + i), static_cast<std::uint8_t>(100 + i),
                     static_cast<std::uint8_t>(200 + i)};
    return colors;
}

PALETTEENTRY entry(const ZDib& image, std::size_t index) {
    PALETTEENTRY table[256] = {};
    image.GetPalette(table);
    return table[index];
}

void expectColor(const PALETTEENTRY& e, Rgb c) {
    EXPECT_EQ(e.peRed, c.r);
    EXPECT_EQ(e.peGreen, c.g);
    EXPECT_EQ(e.peBlue, c.b);
}

Bytes encode(const Bytes& line) {
    Bytes out(2 * line.size());
    out.resize(EncodePcxLine(line, out.data()));
    return out;
}

class PcxTest : public test::CodecTest {
  protected:
    ZDib load(const Bytes& bytes) { return loadFile("in.pcx", bytes, LoadPCX); }

    void expectRefused(const Bytes& bytes, ErrorNumber expected) {
        expectReadRefused(writeInput("in.pcx", bytes), expected, LoadPCX);
    }

    // Stores the image and returns the file's bytes.
    Bytes store(ZDib& image) {
        std::string file = path("out.pcx");
        StorePCX(image, file);
        EXPECT_EQ(image.error, 0);
        return test::readFile(file);
    }
};

using PcxCoderTest = PcxTest;
using PcxReadTest = PcxTest;
using PcxWriteTest = PcxTest;

TEST_F(PcxCoderTest, EncodesRunsAsCountLessOneAndTheLastByteOnItsOwn) {
    EXPECT_EQ(encode({7, 7, 7, 9}), (Bytes{0xC2, 7, 7, 9}));
    EXPECT_EQ(encode({200, 5}), (Bytes{0xC1, 200, 5}));
    EXPECT_EQ(encode({7, 7}), (Bytes{0xC1, 7, 7}));
    EXPECT_EQ(encode({1, 2, 191, 192}), (Bytes{1, 2, 191, 0xC1, 192}));
    EXPECT_EQ(encode({4, 9, 9, 9, 9, 9}), (Bytes{4, 0xC4, 9, 9}));
    EXPECT_EQ(encode({}), Bytes{});
}

TEST_F(PcxCoderTest, LongRunsAreCutAtSixtyThree) {
    EXPECT_EQ(encode(Bytes(100, 0xEE)), (Bytes{0xFF, 0xEE, 0xE4, 0xEE, 0xC1, 0xEE}));
    EXPECT_EQ(encode(Bytes(64, 3)), (Bytes{0xFF, 3, 3}));
}

TEST_F(PcxCoderTest, DecodingCutsRunsAtTheLineEnd) {
    std::string file = path("runs.bin");
    test::writeFile(file, {0xCA, 5, 0xC2, 6, 1, 0xC3, 7});
    EngineFile in;
    ASSERT_TRUE(in.OpenRead(file));
    Bytes first(4), second(4);
    ASSERT_TRUE(DecodePcxLine(in, first));
    ASSERT_TRUE(DecodePcxLine(in, second));
    EXPECT_EQ(first, (Bytes{5, 5, 5, 5}));
    EXPECT_EQ(second, (Bytes{6, 6, 1, 7}));
    Bytes third(1);
    EXPECT_FALSE(DecodePcxLine(in, third));
}

TEST_F(PcxReadTest, EightBitRowsComeFromTheTopWithTheTrailerColours) {
    PcxFile file;
    file.data = {0xC4, 1, 2, 3, 0xC1, 200, 4};
    file.trailer = true;
    for (std::size_t i = 0; i < 256; ++i)
        file.trailerColors[i] = {static_cast<std::uint8_t>(i), 7, static_cast<std::uint8_t>(~i)};
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.depth, 8u);
    EXPECT_EQ(test::RowBytes(image, 0, 4), (Bytes{1, 1, 1, 1}));
    EXPECT_EQ(test::RowBytes(image, 1, 4), (Bytes{2, 3, 200, 4}));
    expectColor(entry(image, 200), {200, 7, 55});
}

TEST_F(PcxReadTest, VersionFiveWithoutTheMarkerKeepsTheHeaderColours) {
    PcxFile file;
    file.headerColors = headerRamp();
    file.data = Bytes(8, 3);
    Bytes bytes = file.bytes();
    bytes.insert(bytes.end(), 769, 0x55);  // a trailer-sized tail without the marker
    ZDib image = load(bytes);
    ASSERT_EQ(image.error, 0);
    expectColor(entry(image, 15), {25, 115, 215});
    expectColor(entry(image, 16), {0, 0, 0});
    expectColor(entry(image, 255), {0, 0, 0});
}

TEST_F(PcxReadTest, OnlyVersionFiveEightBitFilesHaveATrailer) {
    PcxFile file;
    file.headerColors = headerRamp();
    file.data = Bytes(8, 3);
    file.trailer = true;
    file.trailerColors.fill({9, 9, 9});
    file.version = 3;
    expectColor(entry(load(file.bytes()), 3), {13, 103, 203});

    file.version = 5;
    file.bits = 4;
    file.bytesPerLine = 2;
    file.data = Bytes(4, 0x33);
    expectColor(entry(load(file.bytes()), 3), {13, 103, 203});
}

TEST_F(PcxReadTest, OneBitPaletteInfoZeroMeansBlackAndWhite) {
    PcxFile file;
    file.bits = 1;
    file.xmax = 9;
    file.bytesPerLine = 2;
    file.headerColors = headerRamp();
    file.data = {0xAA, 0x80, 0x55, 0x3F};
    file.paletteInfo = 0;
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.width, 10);
    EXPECT_EQ(test::RowBytes(image, 0, 2), (Bytes{0xAA, 0x80}));
    EXPECT_EQ(test::RowBytes(image, 1, 2), (Bytes{0x55, 0x3F}));
    expectColor(entry(image, 0), {0, 0, 0});
    expectColor(entry(image, 1), {255, 255, 255});

    file.paletteInfo = 1;
    ZDib colored = load(file.bytes());
    expectColor(entry(colored, 0), {10, 100, 200});
    expectColor(entry(colored, 1), {11, 101, 201});
}

TEST_F(PcxReadTest, ThreePlanesAreRedGreenBlueAndRunsStayInTheirPlane) {
    PcxFile file;
    file.planes = 3;
    file.xmax = 2;
    file.ymax = 1;
    file.data = {10,   11, 12,   0, 20, 21, 22,   0, 30, 31, 32, 0,  // literal planes
                 0xC9, 1,  0xC2, 2, 2,  2,  0xC4, 3};                // runs cut at each plane's end
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.depth, 24u);
    EXPECT_EQ(test::RowBytes(image, 0, 9), (Bytes{30, 20, 10, 31, 21, 11, 32, 22, 12}));
    EXPECT_EQ(test::RowBytes(image, 1, 9), (Bytes{3, 2, 1, 3, 2, 1, 3, 2, 1}));
}

TEST_F(PcxReadTest, HeaderOriginAndLineLengthAreUsed) {
    PcxFile file;
    file.xmin = 100;
    file.xmax = 102;
    file.ymin = 7;
    file.ymax = 7;
    file.bytesPerLine = 6;
    file.data = {1, 2, 3, 4, 5, 6};
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(test::RowBytes(image, 0, 4), (Bytes{1, 2, 3, 0}));
}

TEST_F(PcxReadTest, UnacceptedHeadersAreRefused) {
    PcxFile good;
    good.data = Bytes(8, 1);
    ASSERT_EQ(load(good.bytes()).error, 0);

    PcxFile file = good;
    file.version = 6;
    expectRefused(file.bytes(), err::BadFile);
    for (std::uint8_t bits : {2, 16}) {
        file = good;
        file.bits = bits;
        expectRefused(file.bytes(), err::BadFile);
    }
    file = good;
    file.bits = 1;
    file.planes = 4;  // 16-colour planar
    expectRefused(file.bytes(), err::BadFile);
    file.planes = 3;
    expectRefused(file.bytes(), err::BadFile);
    file = good;
    file.planes = 2;
    expectRefused(file.bytes(), err::BadFile);
    file = good;
    file.xmin = 5;
    file.xmax = 3;
    expectRefused(file.bytes(), err::BadArea);
    file = good;
    file.bytesPerLine = 3;  // shorter than a row of four pixels
    file.data = Bytes(6, 1);
    expectRefused(file.bytes(), err::BadFile);

    Bytes shortHeader = good.bytes();
    shortHeader.resize(100);
    expectRefused(shortHeader, err::BadFile);
}

TEST_F(PcxReadTest, DataEndingEarlyIsRefused) {
    PcxFile file;
    file.data = {0xC8, 1};  // a run that stops one byte short
    expectRefused(file.bytes(), err::BadFile);
    file.data = {0xC4, 1, 0xC3};  // the data ends inside a run
    expectRefused(file.bytes(), err::BadFile);
    file.data = {1, 2, 3, 4, 5, 6, 7};
    expectRefused(file.bytes(), err::BadFile);
}

TEST_F(PcxReadTest, TinyFileClaimingAHugeImageIsRefusedBeforeAllocating) {
    PcxFile file;
    file.planes = 3;
    file.xmax = 0xFFFF;
    file.ymax = 0xFFFF;
    file.bytesPerLine = 0xFFFF;
    file.data = Bytes(64, 0xFF);
    expectReadRefused(writeInput("in.pcx", file.bytes()), err::BadArea, LoadPCX);
    file.xmax = 32766;
    file.ymax = 32766;
    expectRefused(file.bytes(), err::BadFile);  // within the limit, but short of data
}

TEST_F(PcxReadTest, MissingFileGivesFileMissing) {
    ZDib image;
    LoadPCX(image, path("absent.pcx"));
    EXPECT_EQ(image.error, err::FileMissing);
}

// A 5 x 3 image of the depth whose pixel bytes and colours all differ.
ZDib patternImage(std::uint32_t depth, std::int32_t width = 5) {
    ZDib image;
    image.Create(width, 3, depth, 0);
    std::vector<PALETTEENTRY> table;
    for (std::uint32_t i = 0; i < image.colorsUsed; ++i)
        table.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 3 + 1),
                         static_cast<std::uint8_t>(255 - i), 0});
    image.SetPalette(table, true);
    platform::Locked block(image.handle);
    std::uint8_t* pixels = block.data() + image.PixelOffset();
    std::size_t used = depth == 24 ? 3 * static_cast<std::size_t>(width)
                                   : (static_cast<std::size_t>(width) * depth + 7) / 8;
    for (std::size_t y = 0; y < 3; ++y)
        for (std::size_t x = 0; x < used; ++x)
            pixels[y * image.rowBytes + x] = static_cast<std::uint8_t>(y * 40 + x * 13 + 1);
    return image;
}

TEST_F(PcxWriteTest, HeaderDescribesEachDepth) {
    struct Case {
        std::uint32_t depth;
        std::uint8_t version, bits, planes;
        std::uint16_t bytesPerLine;
    };
    for (Case c :
         {Case{1, 0, 1, 1, 2}, Case{4, 2, 4, 1, 4}, Case{8, 5, 8, 1, 6}, Case{24, 5, 8, 3, 6}}) {
        SCOPED_TRACE(c.depth);
        ZDib image = patternImage(c.depth);
        Bytes file = store(image);
        ASSERT_GE(file.size(), 128u);
        EXPECT_EQ(file[0], 10);
        EXPECT_EQ(file[1], c.version);
        EXPECT_EQ(file[2], 1);
        EXPECT_EQ(file[3], c.bits);
        EXPECT_EQ(readLe16(&file[4]), 0);
        EXPECT_EQ(readLe16(&file[8]), 4);
        EXPECT_EQ(readLe16(&file[10]), 2);
        EXPECT_EQ(readLe16(&file[12]), 100);
        EXPECT_EQ(file[65], c.planes);
        EXPECT_EQ(readLe16(&file[66]), c.bytesPerLine);
        EXPECT_EQ(readLe16(&file[68]), 1);
        std::size_t mapped = c.depth == 1 ? 2 : c.depth == 4 ? 16 : 0;
        for (std::size_t i = 0; i < 16; ++i) {
            Bytes expected = i < mapped ? Bytes{static_cast<std::uint8_t>(i),
                                                static_cast<std::uint8_t>(i * 3 + 1),
                                                static_cast<std::uint8_t>(255 - i)}
                                        : Bytes{0, 0, 0};
            EXPECT_EQ(Bytes(&file[16 + 3 * i], &file[19 + 3 * i]), expected) << i;
        }
        bool trailer = file.size() > 769 && file[file.size() - 769] == 12;
        EXPECT_EQ(trailer, c.depth == 8);
    }
}

TEST_F(PcxWriteTest, OddWidthTrueColourPadsEachPlaneWithZero) {
    ZDib image;
    image.Create(3, 1, 24, 0x00808080);
    Bytes file = store(image);
    Bytes data(file.begin() + 128, file.end());
    EXPECT_EQ(readLe16(&file[66]), 4);
    EXPECT_EQ(data, (Bytes{0xC2, 0x80, 0x80, 0, 0xC2, 0x80, 0x80, 0, 0xC2, 0x80, 0x80, 0}));
}

TEST_F(PcxWriteTest, StoredImagesLoadBackUnchanged) {
    for (std::uint32_t depth : {1u, 4u, 8u, 24u}) {
        for (std::int32_t width : {1, 5, 8, 33}) {
            SCOPED_TRACE(testing::Message() << depth << " bits, width " << width);
            ZDib image = patternImage(depth, width);
            store(image);
            ZDib back;
            LoadPCX(back, path("out.pcx"));
            ASSERT_EQ(back.error, 0);
            EXPECT_EQ(test::BlockBytes(back.handle), test::BlockBytes(image.handle));
        }
    }
}

TEST_F(PcxWriteTest, FailuresAreReported) {
    ZDib image = patternImage(8);
    StorePCX(image, path("missing/dir/out.pcx"));
    EXPECT_EQ(image.error, err::WriteFailed);
    StorePCX(image, "/dev/full");
    EXPECT_EQ(image.error, err::WriteFailed);

    image.depth = 16;
    StorePCX(image, path("depth.pcx"));
    EXPECT_EQ(image.error, err::InvalidPicture);

    ZDib empty;
    StorePCX(empty, path("empty.pcx"));
    EXPECT_EQ(empty.error, err::InvalidPicture);
}

}  // namespace
}  // namespace pm32
