#include "formats/png.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/dib_layout.h"
#include "platform/global_memory.h"
#include "tests/formats/picture_fixtures.h"
#include "tests/support/codec_test.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using test::blockOf;
using test::Bytes;
using test::paletteOf;
using test::patternImage;
using test::pictureRow;
using test::TempDir;

void appendBe32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::uint32_t readBe32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

std::uint32_t crcOf(const std::uint8_t* bytes, std::size_t n) {
    return static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(n)));
}

void appendChunk(Bytes& out, const char* type, const Bytes& data) {
    appendBe32(out, static_cast<std::uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    appendBe32(out, crcOf(typed.data(), typed.size()));
}

// Recomputes the CRC of the chunk whose data starts at offset.
void fixCrc(Bytes& png, std::size_t offset) {
    std::uint32_t length = readBe32(&png[offset - 8]);
    std::uint32_t crc = crcOf(&png[offset - 4], length + 4);
    for (int i = 0; i < 4; ++i)
        png[offset + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
}

// Samples packed most significant first at the bit depth, 16-bit ones big-endian.
Bytes packSamples(const std::vector<unsigned>& samples, int bitDepth) {
    Bytes out;
    if (bitDepth == 16) {
        for (unsigned s : samples) out.insert(out.end(), {std::uint8_t(s >> 8), std::uint8_t(s)});
        return out;
    }
    int used = 8;
    for (unsigned s : samples) {
        if (used == 8) {
            out.push_back(0);
            used = 0;
        }
        used += bitDepth;
        out.back() |= static_cast<std::uint8_t>(s << (8 - used));
    }
    return out;
}

struct Rgb {
    std::uint8_t r, g, b;
};

// A non-interlaced PNG assembled chunk by chunk, so each test states exactly
// what the reader meets.
struct PngFile {
    std::uint32_t width = 4;
    int bitDepth = 8;
    int colorType = 0;
    std::vector<Rgb> palette{};                 // a PLTE chunk when not empty
    Bytes transparency{};                       // a tRNS chunk when not empty
    std::vector<std::vector<unsigned>> rows{};  // samples of each row, top first

    Bytes compressedRows() const {
        Bytes raw;
        for (const auto& row : rows) {
            raw.push_back(0);  // filter type None
            Bytes packed = packSamples(row, bitDepth);
            raw.insert(raw.end(), packed.begin(), packed.end());
        }
        uLongf size = compressBound(static_cast<uLong>(raw.size()));
        Bytes out(size);
        compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
        out.resize(size);
        return out;
    }

    Bytes bytes() const {
        Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        Bytes header;
        appendBe32(header, width);
        appendBe32(header, static_cast<std::uint32_t>(rows.size()));
        header.insert(header.end(), {std::uint8_t(bitDepth), std::uint8_t(colorType), 0, 0, 0});
        appendChunk(out, "IHDR", header);
        if (!palette.empty()) {
            Bytes entries;
            for (const Rgb& c : palette) entries.insert(entries.end(), {c.r, c.g, c.b});
            appendChunk(out, "PLTE", entries);
        }
        if (!transparency.empty()) appendChunk(out, "tRNS", transparency);
        appendChunk(out, "IDAT", compressedRows());
        appendChunk(out, "IEND", {});
        return out;
    }
};

// Offset of the first byte of the named chunk's data, or 0.
std::size_t chunkData(const Bytes& png, const char* type) {
    for (std::size_t at = 8; at + 8 <= png.size(); at += 12 + readBe32(&png[at])) {
        if (std::memcmp(&png[at + 4], type, 4) == 0) return at + 8;
    }
    return 0;
}

// The chunk types in file order, repeats of one type counted once.
std::vector<std::string> chunkTypes(const Bytes& png) {
    std::vector<std::string> types;
    for (std::size_t at = 8; at + 8 <= png.size(); at += 12 + readBe32(&png[at])) {
        std::string type(png.begin() + static_cast<long>(at) + 4,
                         png.begin() + static_cast<long>(at) + 8);
        if (types.empty() || types.back() != type) types.push_back(type);
    }
    return types;
}

bool isGreyRamp(const std::vector<PALETTEENTRY>& table) {
    if (table.size() != 256) return false;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].peRed != i || table[i].peGreen != i || table[i].peBlue != i ||
            table[i].peFlags != 0)
            return false;
    }
    return true;
}

class PngTest : public test::CodecTest {
  protected:
    std::string write(const Bytes& bytes, const std::string& name = "in.png") {
        return writeInput(name, bytes);
    }

    void expectRefused(const std::string& file, ErrorNumber number) {
        expectReadRefused(file, number, LoadPNG);
    }
};

TEST_F(PngTest, GreyFilesOfEveryDepthLoadAsEightBitsWithAGreyRamp) {
    struct Case {
        int bitDepth;
        std::vector<unsigned> top, bottom;
        Bytes topLevels, bottomLevels;
    };
    const Case cases[] = {
        {1, {0, 1, 1, 0}, {1, 0, 0, 1}, {0, 255, 255, 0}, {255, 0, 0, 255}},
        {2, {0, 1, 2, 3}, {3, 3, 0, 1}, {0, 85, 170, 255}, {255, 255, 0, 85}},
        {4, {0, 5, 10, 15}, {1, 2, 3, 4}, {0, 85, 170, 255}, {17, 34, 51, 68}},
        {8, {0, 7, 200, 255}, {1, 2, 3, 4}, {0, 7, 200, 255}, {1, 2, 3, 4}},
        // Stripping to 8 bits keeps the high byte.
        {16,
         {0x0000, 0x12FF, 0xAB01, 0xFFFF},
         {0x0180, 0, 0, 0},
         {0, 0x12, 0xAB, 0xFF},
         {1, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bitDepth);
        PngFile png{.bitDepth = c.bitDepth, .colorType = 0, .rows = {c.top, c.bottom}};
        ZDib image;
        LoadPNG(image, write(png.bytes()));
        ASSERT_EQ(image.error, 0);
        EXPECT_EQ(image.depth, 8u);
        EXPECT_EQ(image.width, 4);
        EXPECT_EQ(image.height, 2);
        EXPECT_TRUE(isGreyRamp(paletteOf(image)));
        EXPECT_EQ(pictureRow(image, 0, 4), c.topLevels);
        EXPECT_EQ(pictureRow(image, 1, 4), c.bottomLevels);
    }
}

TEST_F(PngTest, ColourFilesLoadAs24BitsStoredBlueGreenRed) {
    PngFile eight{.width = 2,
                  .bitDepth = 8,
                  .colorType = 2,
                  .rows = {{10, 20, 30, 40, 50, 60}, {70, 80, 90, 100, 110, 120}}};
    PngFile sixteen{.width = 2,
                    .bitDepth = 16,
                    .colorType = 2,
                    .rows = {{0x0AFF, 0x1400, 0x1E80, 0x2801, 0x3200, 0x3CFF},
                             {0x4600, 0x5000, 0x5A00, 0x6400, 0x6E00, 0x7800}}};
    for (const PngFile* png : {&eight, &sixteen}) {
        SCOPED_TRACE(png->bitDepth);
        ZDib image;
        LoadPNG(image, write(png->bytes()));
        ASSERT_EQ(image.error, 0);
        EXPECT_EQ(image.depth, 24u);
        EXPECT_EQ(image.colorsUsed, 0u);
        EXPECT_EQ(pictureRow(image, 0, 6), (Bytes{30, 20, 10, 60, 50, 40}));
        EXPECT_EQ(pictureRow(image, 1, 6), (Bytes{90, 80, 70, 120, 110, 100}));
    }
}

TEST_F(PngTest, PaletteFilesKeepTheirDepthIndicesAndColours) {
    std::vector<Rgb> full(256);
    for (std::size_t i = 0; i < full.size(); ++i)
        full[i] = {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7)};
    struct Case {
        int bitDepth;
        std::size_t entries;
        std::vector<unsigned> top, bottom;
    };
    const Case cases[] = {
        {1, 2, {1, 0, 1, 1, 0, 0, 1, 0, 1}, {0, 1, 0, 0, 1, 1, 0, 1, 0}},
        {4, 16, {15, 0, 7, 8, 1, 2, 3, 4, 5}, {9, 10, 11, 12, 13, 14, 15, 0, 1}},
        {8, 256, {255, 0, 128, 7, 1, 2, 3, 4, 5}, {9, 200, 11, 12, 13, 14, 15, 0, 1}},
        // A palette shorter than the depth allows: the rest of the table is black.
        {4, 5, {4, 0, 1, 2, 3, 4, 0, 1, 2}, {0, 0, 0, 0, 0, 0, 0, 0, 4}},
        {8, 3, {2, 1, 0, 2, 1, 0, 2, 1, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bitDepth << " bits, " << c.entries << " entries");
        PngFile png{.width = 9,
                    .bitDepth = c.bitDepth,
                    .colorType = 3,
                    .palette = std::vector<Rgb>(full.begin(), full.begin() + c.entries),
                    .rows = {c.top, c.bottom}};
        ZDib image;
        LoadPNG(image, write(png.bytes()));
        ASSERT_EQ(image.error, 0);
        EXPECT_EQ(image.depth, static_cast<std::uint32_t>(c.bitDepth));
        std::vector<PALETTEENTRY> table = paletteOf(image);
        ASSERT_EQ(table.size(), fullTableSize(image.depth));
        for (std::size_t i = 0; i < table.size(); ++i) {
            Rgb expected = i < c.entries ? full[i] : Rgb{0, 0, 0};
            EXPECT_TRUE(table[i].peRed == expected.r && table[i].peGreen == expected.g &&
                        table[i].peBlue == expected.b && table[i].peFlags == 0)
                << "entry " << i;
        }
        Bytes top = packSamples(c.top, c.bitDepth);
        EXPECT_EQ(pictureRow(image, 0, top.size()), top);
        Bytes bottom = packSamples(c.bottom, c.bitDepth);
        EXPECT_EQ(pictureRow(image, 1, bottom.size()), bottom);
    }
}

TEST_F(PngTest, TransparencyIsIgnoredWhereTheDepthStaysUsable) {
    const PngFile files[] = {
        {.bitDepth = 8, .colorType = 0, .transparency = {0, 7}, .rows = {{7, 8, 9, 10}}},
        {.bitDepth = 16, .colorType = 0, .transparency = {0, 7}, .rows = {{7, 8, 9, 10}}},
        {.width = 1,
         .bitDepth = 8,
         .colorType = 2,
         .transparency = {0, 1, 0, 2, 0, 3},
         .rows = {{1, 2, 3}}},
        {.width = 2,
         .bitDepth = 4,
         .colorType = 3,
         .palette = {{9, 8, 7}, {6, 5, 4}},
         .transparency = {0},
         .rows = {{1, 0}}},
    };
    for (const PngFile& png : files) {
        SCOPED_TRACE(testing::Message() << "colour type " << png.colorType << ", " << png.bitDepth);
        ZDib image;
        LoadPNG(image, write(png.bytes()));
        EXPECT_EQ(image.error, 0);
        EXPECT_NE(image.handle, 0u);
    }
}

TEST_F(PngTest, PixelDepthsTheImageModelLacksAreRefusedWith20109) {
    const std::vector<unsigned> row = {0, 1, 1, 0};
    const PngFile files[] = {
        {.bitDepth = 2, .colorType = 3, .palette = {{1, 2, 3}, {4, 5, 6}}, .rows = {row}},
        {.width = 2, .bitDepth = 8, .colorType = 4, .rows = {row}},
        {.width = 2, .bitDepth = 16, .colorType = 4, .rows = {row}},
        {.width = 1, .bitDepth = 8, .colorType = 6, .rows = {row}},
        {.width = 1, .bitDepth = 16, .colorType = 6, .rows = {row}},
        // Expanding low-depth grey turns its transparency into an alpha channel.
        {.bitDepth = 1, .colorType = 0, .transparency = {0, 1}, .rows = {row}},
        {.bitDepth = 2, .colorType = 0, .transparency = {0, 1}, .rows = {row}},
        {.bitDepth = 4, .colorType = 0, .transparency = {0, 1}, .rows = {row}},
    };
    for (const PngFile& png : files) {
        SCOPED_TRACE(testing::Message() << "colour type " << png.colorType << ", " << png.bitDepth);
        expectRefused(write(png.bytes()), 20109);
    }
}

TEST_F(PngTest, LibraryFaultsAre20181AndLeaveNothing) {
    PngFile png{.width = 64, .bitDepth = 8, .colorType = 2};
    for (unsigned y = 0; y < 64; ++y) {
        std::vector<unsigned> row;
        for (unsigned x = 0; x < 64 * 3; ++x) row.push_back((x * 37 + y * 11 + x * x * y) % 251);
        png.rows.push_back(row);
    }
    const Bytes good = png.bytes();
    const std::size_t idat = chunkData(good, "IDAT");
    ASSERT_NE(idat, 0u);
    ASSERT_GT(readBe32(&good[idat - 8]), 1000u);

    Bytes badSignature = good;
    badSignature[1] = 'Q';
    expectRefused(write(badSignature), 20181);

    Bytes badHeaderCrc = good;
    badHeaderCrc[8 + 8 + 13] ^= 0x01;
    expectRefused(write(badHeaderCrc), 20181);

    // These two fail part-way through the rows, after the image exists.
    expectRefused(write(Bytes(good.begin(), good.begin() + static_cast<long>(idat) + 300)), 20181);
    Bytes corruptData = good;
    for (std::size_t i = idat + 400; i < idat + 420; ++i) corruptData[i] ^= 0x5A;
    fixCrc(corruptData, idat);
    expectRefused(write(corruptData), 20181);

    // Checked only after every row has been read.
    Bytes badEnd = good;
    badEnd[badEnd.size() - 1] ^= 0x01;
    expectRefused(write(badEnd), 20181);

    PngFile noPalette{.bitDepth = 8, .colorType = 3, .rows = {{0, 0, 0, 0}}};
    expectRefused(write(noPalette.bytes()), 20181);
    expectRefused(write(Bytes{}), 20181);
    expectRefused(path("missing.png"), 20100);
}

TEST_F(PngTest, AFaultAfterARefusedDepthOutranksTheRefusal) {
    PngFile twoBit{.bitDepth = 2, .colorType = 3, .palette = {{1, 2, 3}}, .rows = {{0, 0, 0, 0}}};
    Bytes bytes = twoBit.bytes();
    bytes[bytes.size() - 1] ^= 0x01;  // IEND's CRC
    expectRefused(write(bytes), 20181);
}

TEST_F(PngTest, SidesBeyond32767AreRefusedWith20129) {
    PngFile huge{.width = 1000000, .bitDepth = 8, .colorType = 2, .rows = {{1, 2, 3}}};
    Bytes bytes = huge.bytes();
    const Bytes height = {0x00, 0x0F, 0x42, 0x40};  // 1000000 rows as well
    std::copy(height.begin(), height.end(), bytes.begin() + 8 + 8 + 4);
    fixCrc(bytes, 16);
    expectRefused(write(bytes), 20129);
}

TEST_F(PngTest, StoredImagesLoadBackUnchanged) {
    for (std::uint32_t depth : {1u, 4u, 8u, 24u}) {
        for (int option : {0, 1}) {
            SCOPED_TRACE(testing::Message() << depth << " bits, option " << option);
            ZDib image = patternImage(13, 11, depth);
            std::string file = path("out.png");
            StorePNG(image, file, option);
            ASSERT_EQ(image.error, 0);
            ZDib back;
            LoadPNG(back, file);
            ASSERT_EQ(back.error, 0);
            EXPECT_EQ(blockOf(back), blockOf(image));
        }
    }
}

TEST_F(PngTest, AnInterlacedFileLoadsLikeThePlainOne) {
    for (std::uint32_t depth : {1u, 4u, 8u, 24u}) {
        for (auto [width, height] : {std::pair{1, 1}, {3, 9}, {17, 5}, {40, 33}}) {
            SCOPED_TRACE(testing::Message() << depth << " bits, " << width << "x" << height);
            ZDib image = patternImage(width, height, depth);
            StorePNG(image, path("plain.png"), 0);
            StorePNG(image, path("interlaced.png"), 1);
            Bytes interlaced = test::readFile(path("interlaced.png"));
            ASSERT_EQ(interlaced[8 + 8 + 12], 1) << "the file must be interlaced";
            ZDib plain, adam7;
            LoadPNG(plain, path("plain.png"));
            LoadPNG(adam7, path("interlaced.png"));
            ASSERT_EQ(adam7.error, 0);
            EXPECT_EQ(blockOf(adam7), blockOf(plain));
        }
    }
}

TEST_F(PngTest, WriteOptionsChooseColourTypeAndInterlace) {
    struct Case {
        std::uint32_t depth;
        int option;
        int bitDepth, colorType, interlace;
    };
    const Case cases[] = {
        {24, 0, 8, 2, 0}, {24, 1, 8, 2, 1}, {8, 0, 8, 3, 0}, {8, 1, 8, 3, 1}, {8, 2, 8, 0, 0},
        {8, 3, 8, 0, 1},  {4, 0, 4, 3, 0},  {4, 2, 4, 0, 0}, {1, 0, 1, 3, 0}, {1, 3, 1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.depth << " bits, option " << c.option);
        ZDib image = patternImage(6, 3, c.depth);
        StorePNG(image, path("out.png"), c.option);
        ASSERT_EQ(image.error, 0);
        Bytes file = test::readFile(path("out.png"));
        EXPECT_EQ(file[24], c.bitDepth);
        EXPECT_EQ(file[25], c.colorType);
        EXPECT_EQ(file[28], c.interlace);
        // Nothing beyond the critical chunks: IHDR, PLTE for palettes, IDAT and IEND.
        std::vector<std::string> expected = {"IHDR", "IDAT", "IEND"};
        if (c.colorType == 3) expected.insert(expected.begin() + 1, "PLTE");
        EXPECT_EQ(chunkTypes(file), expected);
        if (c.colorType == 3) {
            std::size_t plte = chunkData(file, "PLTE");
            EXPECT_EQ(readBe32(&file[plte - 8]), 3 * fullTableSize(c.depth));
        }
    }
}

TEST_F(PngTest, GreyOptionsWriteIndicesAsGreyLevels) {
    for (std::uint32_t depth : {1u, 4u, 8u}) {
        SCOPED_TRACE(depth);
        ZDib image = patternImage(9, 4, depth);
        StorePNG(image, path("grey.png"), 2);
        ASSERT_EQ(image.error, 0);
        ZDib back;
        LoadPNG(back, path("grey.png"));
        ASSERT_EQ(back.error, 0);
        ASSERT_EQ(back.depth, 8u);
        unsigned scale = depth == 1 ? 255 : depth == 4 ? 17 : 1;
        for (int y = 0; y < 4; ++y) {
            Bytes levels = pictureRow(back, y, 9);
            for (int x = 0; x < 9; ++x)
                EXPECT_EQ(levels[x], test::indexAt(image, x, y) * scale)
                    << "pixel " << x << ", " << y;
        }
    }
}

TEST_F(PngTest, Grey24BitIsRefusedWithoutTouchingTheFile) {
    ZDib image = patternImage(4, 4, 24);
    test::writeText(path("keep.png"), "previous contents");
    for (int option : {2, 3}) {
        StorePNG(image, path("keep.png"), option);
        EXPECT_EQ(image.error, 20106);
        StorePNG(image, path("absent.png"), option);
        EXPECT_EQ(image.error, 20106);
    }
    EXPECT_EQ(test::readText(path("keep.png")), "previous contents");
    EXPECT_FALSE(std::ifstream(path("absent.png")).good());
}

TEST_F(PngTest, StoreFailuresAreNumbered) {
    ZDib image = patternImage(4, 4, 8);
    StorePNG(image, path("no-such-folder/out.png"), 0);
    EXPECT_EQ(image.error, 20182);
    ZDib empty;
    StorePNG(empty, path("out.png"), 0);
    EXPECT_EQ(empty.error, 20104);
}

TEST_F(PngTest, TicksOncePerRowOfEveryPass) {
    ZDib image = patternImage(10, 9, 8);
    StorePNG(image, path("plain.png"), 0);
    StorePNG(image, path("interlaced.png"), 1);
    std::vector<int> counts;
    test::ArmedPump pump(1, [&](int rows) {
        counts.push_back(rows);
        return 1;
    });
    for (auto [name, ticks] : {std::pair{"plain.png", 9}, {"interlaced.png", 9 * 7}}) {
        SCOPED_TRACE(name);
        counts.clear();
        ZDib loaded;
        LoadPNG(loaded, path(name));
        ASSERT_EQ(loaded.error, 0);
        ASSERT_EQ(counts.size(), static_cast<std::size_t>(ticks));
        EXPECT_EQ(counts.back(), ticks);
    }
}

TEST_F(PngTest, ACancelledLoadLeavesNoImageAndNoError) {
    ZDib image = patternImage(10, 30, 24);
    StorePNG(image, path("plain.png"), 0);
    StorePNG(image, path("interlaced.png"), 1);
    int calls = 0;
    test::ArmedPump pump(4, [&](int) {
        ++calls;
        return calls % 2;  // cancels at the second callback
    });
    for (const char* name : {"plain.png", "interlaced.png"}) {
        SCOPED_TRACE(name);
        calls = 0;
        std::size_t blocks = platform::LiveBlockCount();
        ZDib loaded;
        loaded.error = 20101;
        LoadPNG(loaded, path(name));
        EXPECT_EQ(calls, 2);
        EXPECT_EQ(loaded.handle, 0u);
        EXPECT_EQ(loaded.error, 0);
        EXPECT_EQ(platform::LiveBlockCount(), blocks);
    }
}

}  // namespace
}  // namespace pm32
