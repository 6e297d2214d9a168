#include "formats/jpeg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "engine/dib_layout.h"
#include "platform/global_memory.h"
#include "tests/formats/picture_fixtures.h"
#include "tests/support/codec_test.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using test::Bytes;
using test::paletteOf;
using test::pictureRow;
using test::TempDir;

// One marker segment of a JPEG file: the marker's second byte and its payload
// after the length field.
struct Segment {
    std::uint8_t marker;
    std::size_t offset;  // of the payload in the file
    Bytes payload;
};

// The segments before the first scan's data.
std::vector<Segment> headerSegments(const Bytes& file) {
    std::vector<Segment> segments;
    for (std::size_t at = 2; at + 4 <= file.size() && file[at] == 0xFF;) {
        std::size_t length = (file[at + 2] << 8) | file[at + 3];
        if (at + 2 + length > file.size()) break;
        segments.push_back({file[at + 1], at + 4,
                            Bytes(file.begin() + static_cast<long>(at) + 4,
                                  file.begin() + static_cast<long>(at + 2 + length))});
        if (file[at + 1] == 0xDA) break;
        at += 2 + length;
    }
    return segments;
}

// Offset of the payload of the first segment with the marker, or 0.
std::size_t payloadOf(const Bytes& file, std::uint8_t marker) {
    for (const Segment& s : headerSegments(file)) {
        if (s.marker == marker) return s.offset;
    }
    return 0;
}

// The frame marker (0xC0 baseline, 0xC2 progressive) and its component count.
std::pair<int, int> frameOf(const Bytes& file) {
    for (const Segment& s : headerSegments(file)) {
        if (s.marker >= 0xC0 && s.marker <= 0xCF && s.marker != 0xC4 && s.marker != 0xCC)
            return {s.marker, s.payload[5]};
    }
    return {0, 0};
}

constexpr int kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                             12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                             35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                             58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The example tables of the JPEG standard (Annex K), in natural order.
constexpr int kLuminance[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                                58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                                22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                                77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                                103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
constexpr int kChrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                  24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// Quantisation tables by id, in natural order, with each table's precision.
struct QuantTable {
    int precision = -1;
    std::vector<int> values;
};
std::vector<QuantTable> quantTables(const Bytes& file) {
    std::vector<QuantTable> tables(4);
    for (const Segment& s : headerSegments(file)) {
        if (s.marker != 0xDB) continue;
        for (std::size_t at = 0; at + 65 <= s.payload.size(); at += 65) {
            QuantTable& table = tables[s.payload[at] & 3];
            table.precision = s.payload[at] >> 4;
            table.values.assign(64, 0);
            for (int k = 0; k < 64; ++k) table.values[kZigzag[k]] = s.payload[at + 1 + k];
        }
    }
    return tables;
}

// Every byte of the row within tolerance of the repeated pattern.
bool rowNear(const Bytes& row, const Bytes& pattern, int tolerance) {
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (std::abs(int(row[i]) - int(pattern[i % pattern.size()])) > tolerance) return false;
    }
    return true;
}

// Sets pixel (x, y), y counted from the top, to an index or a blue, green, red colour.
void setPixel(ZDib& image, int x, int y, unsigned value) {
    platform::Locked block(image.handle);
    std::uint8_t* row = block.data() + image.PixelOffset() +
                        static_cast<std::size_t>(image.height - 1 - y) * image.rowBytes;
    switch (image.depth) {
        case 24:
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = static_cast<std::uint8_t>(value >> (8 * c));
            break;
        case 8:
            row[x] = static_cast<std::uint8_t>(value);
            break;
        case 4:
            row[x / 2] = static_cast<std::uint8_t>((row[x / 2] & (x % 2 ? 0xF0 : 0x0F)) |
                                                   ((value & 15) << (x % 2 ? 0 : 4)));
            break;
        default:
            row[x / 8] = static_cast<std::uint8_t>((row[x / 8] & ~(0x80 >> (x % 8))) |
                                                   ((value & 1) << (7 - x % 8)));
            break;
    }
}

ZDib imageOf(int width, int height, std::uint32_t depth,
             const std::function<unsigned(int, int)>& value) {
    ZDib image;
    image.Create(width, height, depth, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) setPixel(image, x, y, value(x, y));
    return image;
}

std::vector<PALETTEENTRY> distinctTable(std::size_t n, unsigned seed) {
    std::vector<PALETTEENTRY> table;
    for (std::size_t i = 0; i < n; ++i)
        table.push_back(
            {std::uint8_t(i * 37 + seed), std::uint8_t(250 - i * seed), std::uint8_t(i * 5), 0});
    return table;
}

class JpegTest : public test::CodecTest {
  protected:
    std::string write(const Bytes& bytes, const std::string& name = "in.jpg") {
        return writeInput(name, bytes);
    }

    // Stores the image and hands back the file's bytes.
    Bytes stored(ZDib& image, int quality, int option) {
        std::string file = path("stored.jpg");
        StoreJPEG(image, file, quality, option);
        EXPECT_EQ(image.error, 0);
        return test::readFile(file);
    }

    void expectRefused(const std::string& file, ErrorNumber number) {
        expectReadRefused(file, number, LoadJPEG);
    }
};

TEST_F(JpegTest, ColourLoadsAs24BitsInBlueGreenRedOrderTopRowLast) {
    // Top half red, bottom half blue (0x00RRGGBB as stored blue, green, red).
    ZDib image = imageOf(16, 16, 24, [](int, int y) { return y < 8 ? 0xFF0000u : 0x0000FFu; });
    Bytes file = stored(image, 100, 0);
    ZDib back;
    LoadJPEG(back, write(file));
    ASSERT_EQ(back.error, 0);
    EXPECT_EQ(back.depth, 24u);
    EXPECT_EQ(back.colorsUsed, 0u);
    EXPECT_TRUE(rowNear(pictureRow(back, 0, 48), {0, 0, 255}, 4));
    EXPECT_TRUE(rowNear(pictureRow(back, 15, 48), {255, 0, 0}, 4));
}

TEST_F(JpegTest, GreyLoadsAsEightBitsWithAGreyRamp) {
    ZDib image = imageOf(16, 8, 8, [](int, int y) { return 30u * static_cast<unsigned>(y); });
    Bytes file = stored(image, 100, 2);
    ZDib back;
    LoadJPEG(back, write(file));
    ASSERT_EQ(back.error, 0);
    EXPECT_EQ(back.depth, 8u);
    std::vector<PALETTEENTRY> table = paletteOf(back);
    ASSERT_EQ(table.size(), 256u);
    for (std::size_t i = 0; i < 256; ++i) {
        EXPECT_TRUE(table[i].peRed == i && table[i].peGreen == i && table[i].peBlue == i &&
                    table[i].peFlags == 0);
    }
    EXPECT_TRUE(rowNear(pictureRow(back, 0, 16), {0}, 3));
    EXPECT_TRUE(rowNear(pictureRow(back, 7, 16), {210}, 3));
}

TEST_F(JpegTest, WriteOptionsChooseProgressionAndComponents) {
    ZDib colour = imageOf(9, 7, 24, [](int x, int y) { return unsigned(x * 5000 + y * 77); });
    ZDib indexed = imageOf(9, 7, 8, [](int x, int y) { return unsigned(x * 20 + y); });
    indexed.SetPalette(distinctTable(256, 3), true);
    EXPECT_EQ(frameOf(stored(colour, 75, 0)), std::pair(0xC0, 3));
    EXPECT_EQ(frameOf(stored(colour, 75, 1)), std::pair(0xC2, 3));
    EXPECT_EQ(frameOf(stored(indexed, 75, 0)), std::pair(0xC0, 3));
    EXPECT_EQ(frameOf(stored(indexed, 75, 1)), std::pair(0xC2, 3));
    EXPECT_EQ(frameOf(stored(indexed, 75, 2)), std::pair(0xC0, 1));
    EXPECT_EQ(frameOf(stored(indexed, 75, 3)), std::pair(0xC2, 1));
}

TEST_F(JpegTest, QualityScalesTheDefaultTablesWithinTheBaselineRange) {
    ZDib image = imageOf(8, 8, 24, [](int x, int y) { return unsigned(x * 3000 + y); });
    for (int quality : {75, 5, 100, 20}) {
        SCOPED_TRACE(quality);
        std::vector<QuantTable> tables = quantTables(stored(image, quality, 0));
        int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
        for (int id = 0; id < 2; ++id) {
            ASSERT_EQ(tables[id].precision, 0) << "8-bit entries, as baseline requires";
            const int* standard = id == 0 ? kLuminance : kChrominance;
            for (int i = 0; i < 64; ++i) {
                int expected = std::clamp((standard[i] * scale + 50) / 100, 1, 255);
                EXPECT_EQ(tables[id].values[i], expected) << "table " << id << " entry " << i;
            }
        }
    }
    // Quality 50 is the standard's tables as they stand.
    std::vector<QuantTable> fifty = quantTables(stored(image, 50, 0));
    EXPECT_EQ(fifty[0].values, std::vector<int>(std::begin(kLuminance), std::end(kLuminance)));
    EXPECT_EQ(fifty[1].values, std::vector<int>(std::begin(kChrominance), std::end(kChrominance)));
}

// The same picture held at 8 bits: indices unpacked, colour table the same.
ZDib widened(const ZDib& image) {
    std::vector<PALETTEENTRY> table = paletteOf(image);
    ZDib wide = imageOf(image.width, image.height, 8,
                        [&](int x, int y) { return test::indexAt(image, x, y); });
    wide.SetPalette(table, true);
    return wide;
}

TEST_F(JpegTest, LowDepthColourImagesGiveTheSameFileAsAtEightBits) {
    for (std::uint32_t depth : {1u, 4u}) {
        for (int option : {0, 1}) {
            SCOPED_TRACE(testing::Message() << depth << " bits, option " << option);
            ZDib image =
                imageOf(21, 11, depth, [](int x, int y) { return unsigned(x * 3 + y * 5); });
            image.SetPalette(distinctTable(fullTableSize(depth), 9), true);
            ZDib wide = widened(image);
            EXPECT_EQ(stored(image, 80, option), stored(wide, 80, option));
        }
    }
}

TEST_F(JpegTest, GreyOutputTakesIndicesAndIgnoresTheColourTable) {
    ZDib image = imageOf(16, 16, 8, [](int x, int y) { return unsigned(x * 16 + y); });
    image.SetPalette(distinctTable(256, 3), true);
    Bytes grey = stored(image, 90, 2);
    Bytes progressiveGrey = stored(image, 90, 3);
    Bytes colour = stored(image, 90, 0);
    image.SetPalette(distinctTable(256, 7), true);
    EXPECT_EQ(stored(image, 90, 2), grey);
    EXPECT_EQ(stored(image, 90, 3), progressiveGrey);
    EXPECT_NE(stored(image, 90, 0), colour) << "colour output does read the table";
}

TEST_F(JpegTest, GreyOutputSpreadsLowDepthIndicesOverTheFullRange) {
    struct Case {
        std::uint32_t depth;
        unsigned index;
        std::uint8_t level;
    };
    for (Case c : {Case{1, 1, 255}, Case{1, 0, 0}, Case{4, 3, 51}, Case{4, 15, 255}}) {
        SCOPED_TRACE(testing::Message() << c.depth << " bits, index " << c.index);
        ZDib image = imageOf(16, 8, c.depth, [&](int, int) { return c.index; });
        ZDib back;
        LoadJPEG(back, write(stored(image, 100, 2)));
        ASSERT_EQ(back.error, 0);
        EXPECT_TRUE(rowNear(pictureRow(back, 3, 16), {c.level}, 1));
    }
}

TEST_F(JpegTest, Grey24BitIsRefusedWithoutTouchingTheFile) {
    ZDib image = imageOf(4, 4, 24, [](int x, int) { return unsigned(x); });
    test::writeText(path("keep.jpg"), "previous contents");
    for (int option : {2, 3}) {
        StoreJPEG(image, path("keep.jpg"), 75, option);
        EXPECT_EQ(image.error, 20106);
        StoreJPEG(image, path("absent.jpg"), 75, option);
        EXPECT_EQ(image.error, 20106);
    }
    EXPECT_EQ(test::readText(path("keep.jpg")), "previous contents");
    EXPECT_FALSE(std::ifstream(path("absent.jpg")).good());
}

TEST_F(JpegTest, StoreFailuresAreNumbered) {
    ZDib image = imageOf(4, 4, 8, [](int x, int) { return unsigned(x); });
    StoreJPEG(image, path("no-such-folder/out.jpg"), 75, 0);
    EXPECT_EQ(image.error, 20184);
    ZDib empty;
    StoreJPEG(empty, path("out.jpg"), 75, 0);
    EXPECT_EQ(empty.error, 20104);
}

TEST_F(JpegTest, FatalLibraryErrorsAre20183AndLeaveNothing) {
    ZDib image =
        imageOf(40, 40, 24, [](int x, int y) { return unsigned(x * 6000 + y * 60 + x * y); });
    const Bytes good = stored(image, 75, 0);

    expectRefused(path("missing.jpg"), 20100);
    expectRefused(write(Bytes{}), 20183);
    expectRefused(write(Bytes{'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'}), 20183);
    expectRefused(write(Bytes(good.begin(), good.begin() + 30)), 20183);

    Bytes noComponents = good;
    std::size_t frame = payloadOf(good, 0xC0);
    ASSERT_NE(frame, 0u);
    noComponents[frame + 5] = 0;
    expectRefused(write(noComponents), 20183);

    // A broken Huffman table after the scan fails only once every row is read.
    Bytes lateFault(good.begin(), good.end() - 2);
    lateFault.insert(lateFault.end(), {0xFF, 0xC4, 0x00, 0x13, 0x00});
    lateFault.insert(lateFault.end(), 16, 0xFF);
    lateFault.insert(lateFault.end(), {0xFF, 0xD9});
    expectRefused(write(lateFault), 20183);
}

TEST_F(JpegTest, DataTheLibraryCanStepOverIsNoError) {
    ZDib image =
        imageOf(40, 40, 24, [](int x, int y) { return unsigned(x * 6000 + y * 60 + x * y); });
    Bytes good = stored(image, 75, 0);
    ZDib back;
    LoadJPEG(back,
             write(Bytes(good.begin(), good.begin() + static_cast<long>(good.size()) * 3 / 4)));
    EXPECT_EQ(back.error, 0);
    EXPECT_EQ(back.height, 40);
}

TEST_F(JpegTest, HugeSizesAreRefusedBeforeTheLibrarySetsUpBuffers) {
    ZDib image = imageOf(8, 8, 24, [](int x, int) { return unsigned(x); });
    Bytes huge = stored(image, 75, 0);
    std::size_t frame = payloadOf(huge, 0xC0);
    ASSERT_NE(frame, 0u);
    for (std::size_t i : {frame + 1, frame + 3}) {
        huge[i] = 0xFF;  // 65500 rows and columns: beyond the side limit
        huge[i + 1] = 0xDC;
    }
    expectRefused(write(huge), 20129);
    for (std::size_t i : {frame + 1, frame + 3}) {
        huge[i] = 0x7F;  // 32767: within it, but no block of 64 MiB holds it
        huge[i + 1] = 0xFF;
    }
    std::size_t limit = platform::BlockSizeLimit();
    platform::SetBlockSizeLimit(std::size_t{64} << 20);
    expectRefused(write(huge), 20102);
    platform::SetBlockSizeLimit(limit);
}

TEST_F(JpegTest, TicksOncePerScanline) {
    ZDib image = imageOf(10, 37, 24, [](int x, int y) { return unsigned(x * 9 + y); });
    std::string file = write(stored(image, 75, 1));
    std::vector<int> counts;
    test::ArmedPump pump(1, [&](int rows) {
        counts.push_back(rows);
        return 1;
    });
    ZDib loaded;
    LoadJPEG(loaded, file);
    ASSERT_EQ(loaded.error, 0);
    ASSERT_EQ(counts.size(), 37u);
    EXPECT_EQ(counts.back(), 37);
}

TEST_F(JpegTest, ACancelledLoadLeavesNoImageAndNoError) {
    ZDib image = imageOf(10, 40, 24, [](int x, int y) { return unsigned(x * 9 + y); });
    int calls = 0;
    test::ArmedPump pump(5, [&](int) {
        ++calls;
        return calls % 2;  // cancels at the second callback
    });
    for (int option : {0, 1}) {
        SCOPED_TRACE(option);
        std::string file = write(stored(image, 75, option));
        calls = 0;
        std::size_t blocks = platform::LiveBlockCount();
        ZDib loaded;
        loaded.error = 20101;
        LoadJPEG(loaded, file);
        EXPECT_EQ(calls, 2);
        EXPECT_EQ(loaded.handle, 0u);
        EXPECT_EQ(loaded.error, 0);
        EXPECT_EQ(platform::LiveBlockCount(), blocks);
    }
}

}  // namespace
}  // namespace pm32
