#include "formats/targa.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/dib_layout.h"
#include "formats/targa_file.h"
#include "platform/global_memory.h"
#include "tests/support/codec_test.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using test::Bytes;

// A Targa file assembled field by field; map and data are stored as given.
struct TgaFile {
    Bytes id;
    std::uint8_t type = 2;
    std::uint16_t mapFirst = 0;
    std::uint16_t mapLength = 0;
    std::uint8_t mapEntrySize = 0;
    Bytes map;
    std::uint16_t width = 2;
    std::uint16_t height = 2;
    std::uint8_t depth = 24;
    std::uint8_t descriptor = 0;
    Bytes data;

    Bytes bytes() const {
        Bytes out(18, 0);
        out[0] = static_cast<std::uint8_t>(id.size());
        out[1] = mapLength != 0;
        out[2] = type;
        writeLe16(&out[3], mapFirst);
        writeLe16(&out[5], mapLength);
        out[7] = mapEntrySize;
        writeLe16(&out[12], width);
        writeLe16(&out[14], height);
        out[16] = depth;
        out[17] = descriptor;
        out.insert(out.end(), id.begin(), id.end());
        out.insert(out.end(), map.begin(), map.end());
        out.insert(out.end(), data.begin(), data.end());
        return out;
    }
};

// The colour table and rows, without the header (whose image size field
// differs between created and loaded images).
Bytes tableAndPixels(const ZDib& image) {
    Bytes block = test::BlockBytes(image.handle);
    return block.size() > dib::kHeaderSize ? Bytes(block.begin() + dib::kHeaderSize, block.end())
                                           : Bytes{};
}

Bytes sequence(std::size_t n, std::uint8_t start = 1) {
    Bytes out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(start + i);
    return out;
}

std::size_t openDescriptors() {
    std::size_t count = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (::readdir(dir) != nullptr) ++count;
        ::closedir(dir);
    }
    return count;
}

class TargaTest : public test::CodecTest {
  protected:
    ZDib load(const Bytes& bytes) { return loadFile("in.tga", bytes, LoadTGA); }

    void expectRefused(const Bytes& bytes) {
        expectReadRefused(writeInput("in.tga", bytes), err::BadFile, LoadTGA);
    }

    Bytes store(ZDib& image, int compression) {
        std::string file = path("out.tga");
        StoreTGA(image, file, compression);
        EXPECT_EQ(image.error, 0);
        return test::readFile(file);
    }
};

using TargaFileTest = TargaTest;
using TargaReadTest = TargaTest;
using TargaWriteTest = TargaTest;

TEST_F(TargaFileTest, ReadsAcrossRefillsWithoutKeepingTheFileOpen) {
    Bytes content(3 * TargaFile::kBufferBytes + 77);
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<std::uint8_t>(i % 251);
    std::string name = path("data.bin");
    test::writeFile(name, content);

    std::size_t before = openDescriptors();
    TargaFile file(name);
    Bytes got(content.size() + 10);
    ASSERT_EQ(file.Read(got.data(), 5), 5u);
    EXPECT_EQ(openDescriptors(), before);
    file.Skip(TargaFile::kBufferBytes);
    std::size_t n = file.Read(got.data() + 5, got.size());
    EXPECT_EQ(n, content.size() - 5 - TargaFile::kBufferBytes);
    EXPECT_TRUE(std::equal(got.begin() + 5, got.begin() + 5 + static_cast<std::ptrdiff_t>(n),
                           content.begin() + 5 + TargaFile::kBufferBytes));
    EXPECT_EQ(file.Size(), content.size());
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(TargaFileTest, WritesThroughFlushesAtTheRightOffsets) {
    std::string name = path("written.bin");
    TargaFile file(name);
    ASSERT_TRUE(file.Create());
    Bytes content;
    for (std::size_t piece : {7u, 10240u, 10233u, 3u, 25000u}) {
        Bytes bytes = sequence(piece, static_cast<std::uint8_t>(piece));
        ASSERT_TRUE(file.Write(bytes.data(), bytes.size()));
        content.insert(content.end(), bytes.begin(), bytes.end());
    }
    ASSERT_TRUE(file.Flush());
    EXPECT_EQ(test::readFile(name), content);
}

TEST_F(TargaReadTest, TrueColourRowsRunFromTheBottomUnlessTheDescriptorSaysTop) {
    TgaFile file;
    file.id = {'h', 'i'};
    file.mapLength = 3;  // skipped at two bytes an entry
    file.mapEntrySize = 15;
    file.map = Bytes(6, 0xEE);
    file.data = sequence(12);
    ZDib bottomUp = load(file.bytes());
    ASSERT_EQ(bottomUp.error, 0);
    EXPECT_EQ(bottomUp.depth, 24u);
    EXPECT_EQ(test::RowBytes(bottomUp, 1, 6), sequence(6, 1));
    EXPECT_EQ(test::RowBytes(bottomUp, 0, 6), sequence(6, 7));

    TgaFile twin = file;
    twin.descriptor = 0x20;
    std::rotate(twin.data.begin(), twin.data.begin() + 6, twin.data.end());
    ZDib topDown = load(twin.bytes());
    ASSERT_EQ(topDown.error, 0);
    EXPECT_EQ(test::BlockBytes(topDown.handle), test::BlockBytes(bottomUp.handle));
}

TEST_F(TargaReadTest, BlockCarriesTheImageSizeAndAFullTable) {
    TgaFile file;
    file.width = 3;
    file.data = sequence(18);
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(VerifyDib(image.handle), 0);
    EXPECT_EQ(readLe32(test::BlockBytes(image.handle).data() + dib::kSizeImage), 24u);

    TgaFile mapped;
    mapped.type = 1;
    mapped.depth = 8;
    mapped.mapLength = 1;
    mapped.mapEntrySize = 24;
    mapped.map = {1, 2, 3};
    mapped.data = Bytes(4, 0);
    ZDib indexed = load(mapped.bytes());
    ASSERT_EQ(indexed.error, 0);
    EXPECT_EQ(indexed.colorsUsed, 256u);
    EXPECT_EQ(readLe32(test::BlockBytes(indexed.handle).data() + dib::kSizeImage), 8u);
}

TEST_F(TargaReadTest, ColourMapFillsTheTableFromItsFirstEntry) {
    TgaFile file;
    file.type = 1;
    file.depth = 8;
    file.mapFirst = 3;
    file.mapLength = 2;
    file.mapEntrySize = 24;
    file.map = {10, 20, 30, 40, 50, 60};
    file.data = {0, 3, 4, 5};
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.depth, 8u);
    PALETTEENTRY table[256] = {};
    ASSERT_EQ(image.GetPalette(table), 256u);
    EXPECT_EQ(table[2].peRed, 0);
    EXPECT_EQ(table[3].peBlue, 10);
    EXPECT_EQ(table[3].peRed, 30);
    EXPECT_EQ(table[4].peGreen, 50);
    EXPECT_EQ(table[5].peRed, 0);
    EXPECT_EQ(test::RowBytes(image, 1, 2), (Bytes{0, 3}));
}

TEST_F(TargaReadTest, SixteenAndThirtyTwoBitMapEntriesAreWidened) {
    TgaFile file;
    file.type = 1;
    file.depth = 8;
    file.mapLength = 2;
    file.mapEntrySize = 16;
    file.map = {0xFF, 0x7F, 0x1F, 0x00};
    file.data = Bytes(4, 1);
    PALETTEENTRY table[256] = {};
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    image.GetPalette(table);
    EXPECT_EQ(table[0].peRed + table[0].peGreen + table[0].peBlue, 3 * 255);
    EXPECT_EQ(table[1].peBlue, 255);
    EXPECT_EQ(table[1].peRed, 0);

    file.mapEntrySize = 32;
    file.map = {1, 2, 3, 4, 5, 6, 7, 8};
    image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    image.GetPalette(table);
    EXPECT_EQ(table[1].peBlue, 5);
    EXPECT_EQ(table[1].peRed, 7);
}

TEST_F(TargaReadTest, SixteenBitPixelsWidenEachFiveBitField) {
    TgaFile file;
    file.depth = 16;
    file.data = {0xFF, 0x7F, 0x1F, 0x00, 0xE0, 0x03, 0x00, 0xFC};
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.depth, 24u);
    EXPECT_EQ(test::RowBytes(image, 1, 6), (Bytes{255, 255, 255, 255, 0, 0}));
    EXPECT_EQ(test::RowBytes(image, 0, 6), (Bytes{0, 255, 0, 0, 0, 255}));
}

TEST_F(TargaReadTest, ThirtyTwoBitPixelsDropAlpha) {
    TgaFile file;
    file.depth = 32;
    file.data = sequence(16);
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.depth, 24u);
    EXPECT_EQ(test::RowBytes(image, 1, 6), (Bytes{1, 2, 3, 5, 6, 7}));
}

TEST_F(TargaReadTest, PacketsCrossRowEnds) {
    TgaFile file;
    file.type = 10;
    file.width = 3;
    file.height = 3;
    // A run of four crosses into row 1; a literal of three leaves one pixel
    // for row 2, which a run of two completes.
    file.data = {0x83, 9, 9, 9, 0x02, 1, 1, 1, 2, 2, 2, 3, 3, 3, 0x81, 4, 4, 4};
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(test::RowBytes(image, 2, 9), Bytes(9, 9));
    EXPECT_EQ(test::RowBytes(image, 1, 9), (Bytes{9, 9, 9, 1, 1, 1, 2, 2, 2}));
    EXPECT_EQ(test::RowBytes(image, 0, 9), (Bytes{3, 3, 3, 4, 4, 4, 4, 4, 4}));
}

TEST_F(TargaReadTest, UnacceptedFilesAreRefused) {
    TgaFile good;
    good.data = sequence(12);
    ASSERT_EQ(load(good.bytes()).error, 0);

    TgaFile file = good;
    for (std::uint8_t type : {0, 3, 11, 32}) {
        file.type = type;
        expectRefused(file.bytes());
    }
    file = good;
    file.width = 1;
    file.height = 5;
    expectRefused(file.bytes());
    for (std::uint8_t depth : {8, 15, 0}) {
        file = good;
        file.depth = depth;
        expectRefused(file.bytes());
    }

    TgaFile mapped;
    mapped.type = 9;
    mapped.depth = 8;
    mapped.mapLength = 2;
    mapped.mapEntrySize = 24;
    mapped.map = Bytes(6, 1);
    mapped.data = {0x83, 0};
    ASSERT_EQ(load(mapped.bytes()).error, 0);
    file = mapped;
    file.depth = 16;
    expectRefused(file.bytes());
    file = mapped;
    file.mapLength = 0;
    expectRefused(file.bytes());
    file = mapped;
    file.mapFirst = 255;
    expectRefused(file.bytes());
    file = mapped;
    file.mapEntrySize = 8;
    expectRefused(file.bytes());

    Bytes shortHeader = good.bytes();
    shortHeader.resize(17);
    expectRefused(shortHeader);
    ZDib missing;
    LoadTGA(missing, path("absent.tga"));
    EXPECT_EQ(missing.error, err::BadFile);
}

TEST_F(TargaReadTest, DataEndingEarlyIsRefused) {
    TgaFile file;
    file.data = sequence(11);
    expectRefused(file.bytes());

    file.type = 10;
    file.data = {0x00, 1, 2, 3, 0x81, 4, 5};  // the last run lacks a byte of its pixel
    expectRefused(file.bytes());
    file.data = {0x82, 1, 2, 3, 0x05, 4, 5};  // the literal lacks its last pixel
    expectRefused(file.bytes());
}

TEST_F(TargaReadTest, TinyFileClaimingAHugeImageIsRefusedBeforeAllocating) {
    TgaFile file;
    file.type = 10;
    file.data = Bytes(200, 0xFF);
    for (auto [width, height] : {std::pair{0xFFFF, 0xFFFF}, {32768, 2}, {2, 32768}}) {
        file.width = static_cast<std::uint16_t>(width);
        file.height = static_cast<std::uint16_t>(height);
        expectReadRefused(writeInput("in.tga", file.bytes()), err::BadArea, LoadTGA);
    }
    file.width = 0x7FFF;
    file.height = 2;
    expectRefused(file.bytes());  // within the limit, but short of data
}

TEST_F(TargaReadTest, EveryOriginLoadsTheSamePicture) {
    struct Kind {
        const char* name;
        std::uint8_t type;
        std::uint8_t depth;
    };
    const Kind kinds[] = {{"24-bit", 2, 24},
                          {"8-bit mapped", 1, 8},
                          {"16-bit", 2, 16},
                          {"32-bit", 2, 32},
                          {"24-bit run-length", 10, 24}};
    // Pixel (x, y) of the 3 x 2 picture, counted from its top left, holds
    // 10 y + x + 1 in each of its bytes.
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const std::size_t pixelBytes = kind.depth / 8u;
        Bytes reference;
        for (std::uint8_t descriptor : {0x00, 0x10, 0x20, 0x30}) {
            SCOPED_TRACE(static_cast<int>(descriptor));
            TgaFile file;
            file.type = kind.type;
            file.depth = kind.depth;
            file.width = 3;
            file.descriptor = descriptor;
            if (kind.type == 1) {
                file.mapLength = 1;
                file.mapEntrySize = 24;
                file.map = {0, 0, 0};
            }
            for (int i = 0; i < 2; ++i) {
                const int y = (descriptor & 0x20) != 0 ? i : 1 - i;
                if (kind.type == 10) file.data.push_back(2);  // a literal packet of three
                for (int j = 0; j < 3; ++j) {
                    const int x = (descriptor & 0x10) != 0 ? 2 - j : j;
                    file.data.insert(file.data.end(), pixelBytes,
                                     static_cast<std::uint8_t>(10 * y + x + 1));
                }
            }
            ZDib image = load(file.bytes());
            ASSERT_EQ(image.error, 0);
            if (kind.depth == 24) {
                EXPECT_EQ(test::RowBytes(image, 0, 9), (Bytes{1, 1, 1, 2, 2, 2, 3, 3, 3}));
            } else if (kind.depth == 8) {
                EXPECT_EQ(test::RowBytes(image, 1, 3), (Bytes{11, 12, 13}));
            }
            if (descriptor == 0) reference = tableAndPixels(image);
            EXPECT_EQ(tableAndPixels(image), reference);
        }
    }
}

// An image of the depth with distinct colours and a row pattern with runs.
ZDib patternImage(std::uint32_t depth, std::int32_t width) {
    ZDib image;
    image.Create(width, 3, depth, 0);
    std::vector<PALETTEENTRY> table;
    for (std::uint32_t i = 0; i < image.colorsUsed; ++i)
        table.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i ^ 0x5A),
                         static_cast<std::uint8_t>(255 - i), 0});
    image.SetPalette(table, true);
    platform::Locked block(image.handle);
    std::uint8_t* pixels = block.data() + image.PixelOffset();
    std::size_t used = static_cast<std::size_t>(width) * depth / 8;
    for (std::size_t y = 0; y < 3; ++y)
        for (std::size_t x = 0; x < used; ++x)
            pixels[y * image.rowBytes + x] = static_cast<std::uint8_t>(y * 50 + x / 7 % 3 + x % 2);
    return image;
}

TEST_F(TargaWriteTest, HeaderDescribesTheDepthAndCompression) {
    struct Case {
        std::uint32_t depth;
        int compression;
        std::uint8_t mapType, type;
        std::uint16_t mapLength;
        std::uint8_t entrySize;
    };
    for (Case c : {Case{8, 0, 1, 1, 256, 24}, Case{8, 2, 1, 9, 256, 24}, Case{24, 0, 0, 2, 0, 0},
                   Case{24, 2, 0, 10, 0, 0}}) {
        SCOPED_TRACE(testing::Message() << c.depth << " bits, compression " << c.compression);
        ZDib image = patternImage(c.depth, 5);
        Bytes file = store(image, c.compression);
        ASSERT_GE(file.size(), 18u);
        EXPECT_EQ(file[0], 0);
        EXPECT_EQ(file[1], c.mapType);
        EXPECT_EQ(file[2], c.type);
        EXPECT_EQ(readLe16(&file[3]), 0);
        EXPECT_EQ(readLe16(&file[5]), c.mapLength);
        EXPECT_EQ(file[7], c.entrySize);
        EXPECT_EQ(readLe16(&file[12]), 5);
        EXPECT_EQ(readLe16(&file[14]), 3);
        EXPECT_EQ(file[16], c.depth);
        EXPECT_EQ(file[17], 0);
        if (c.depth == 8) {
            EXPECT_EQ(Bytes(&file[18 + 3 * 7], &file[21 + 3 * 7]), (Bytes{255 - 7, 7 ^ 0x5A, 7}));
        }
        if (c.compression == 0) {
            EXPECT_EQ(file.size(), 18u + c.mapLength * 3u + 15u * c.depth / 8);
        }
    }
}

TEST_F(TargaWriteTest, RunsOfThreeOrMoreBecomeRunPacketsWithinEachRow) {
    ZDib image;
    image.Create(200, 2, 8, 0);
    platform::Locked block(image.handle);
    std::uint8_t* bottom = block.data() + image.PixelOffset();
    std::fill(bottom, bottom + 200, 7);
    std::uint8_t* top = bottom + image.rowBytes;
    const Bytes pattern = {1, 2, 2, 3, 3, 3};
    std::copy(pattern.begin(), pattern.end(), top);
    std::fill(top + 6, top + 200, 4);

    Bytes file = store(image, 2);
    Bytes data(file.begin() + 18 + 768, file.end());
    Bytes expected = {0xFF, 7, 0xC7, 7, 0x02, 1, 2, 2, 0x82, 3, 0xFF, 4, 0xC1, 4};
    EXPECT_EQ(data, expected);
}

TEST_F(TargaWriteTest, LiteralPacketsHoldAtMost128Pixels) {
    ZDib image;
    image.Create(130, 1, 24, 0);
    {
        platform::Locked block(image.handle);
        std::uint8_t* row = block.data() + image.PixelOffset();
        for (std::size_t i = 0; i < 390; ++i) row[i] = static_cast<std::uint8_t>(i);
    }
    Bytes file = store(image, 2);
    ASSERT_EQ(file.size(), 18u + 1 + 128 * 3 + 1 + 2 * 3);
    EXPECT_EQ(file[18], 127);
    EXPECT_EQ(file[18 + 1 + 128 * 3], 1);
}

TEST_F(TargaWriteTest, StoredImagesLoadBackUnchanged) {
    for (std::uint32_t depth : {8u, 24u}) {
        for (int compression : {0, 2}) {
            for (std::int32_t width : {2, 7, 300}) {
                SCOPED_TRACE(testing::Message() << depth << " bits, compression " << compression
                                                << ", width " << width);
                ZDib image = patternImage(depth, width);
                store(image, compression);
                ZDib back;
                LoadTGA(back, path("out.tga"));
                ASSERT_EQ(back.error, 0);
                EXPECT_EQ(tableAndPixels(back), tableAndPixels(image));
            }
        }
    }
}

TEST_F(TargaWriteTest, FailuresAreReported) {
    ZDib image = patternImage(8, 4);
    StoreTGA(image, path("missing/dir/out.tga"), 0);
    EXPECT_EQ(image.error, err::WriteFailed);
    StoreTGA(image, "/dev/full", 2);
    EXPECT_EQ(image.error, err::WriteFailed);

    ZDib fourBit;
    fourBit.Create(4, 4, 4, 0);
    StoreTGA(fourBit, path("four.tga"), 0);
    EXPECT_EQ(fourBit.error, err::BadDepth);
}

}  // namespace
}  // namespace pm32
