#include "formats/gif.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "engine/dib_layout.h"
#include "engine/progress.h"
#include "formats/gif_lzw.h"
#include "platform/global_memory.h"
#include "platform/window_registry.h"
#include "tests/support/pattern_image.h"
#include "tests/support/rgb_image.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_dibs.h"

namespace pm32 {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::TempDir;

struct Rgb {
    std::uint8_t r, g, b;
};

void appendLe16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void appendTable(Bytes& out, const std::vector<Rgb>& table) {
    for (const Rgb& c : table) out.insert(out.end(), {c.r, c.g, c.b});
}

// Data sub-blocks for pixel indices, in the order they arrive.
Bytes encodePixels(const Bytes& pixels, int minCodeSize) {
    std::size_t at = 0;
    auto source = [&]() { return at < pixels.size() ? int{pixels[at++]} : lzw::kEndOfPixels; };
    Bytes out;
    auto sink = [&](std::uint8_t byte) {
        out.push_back(byte);
        return 0;
    };
    GifLzwEncoder encoder;
    EXPECT_EQ(encoder.Run(minCodeSize, source, sink), lzw::kDone);
    return out;
}

// A GIF file assembled block by block, so each test states what the reader meets.
struct GifFile {
    std::string version = "89a";
    std::uint16_t screenWidth = 1;
    std::uint16_t screenHeight = 1;
    std::uint8_t flags = 0;
    std::vector<Rgb> global;
    Bytes body;

    GifFile& extension(std::uint8_t label, const Bytes& data) {
        body.insert(body.end(), {'!', label});
        if (!data.empty()) {
            body.push_back(static_cast<std::uint8_t>(data.size()));
            body.insert(body.end(), data.begin(), data.end());
        }
        body.push_back(0);
        return *this;
    }
    GifFile& descriptor(std::uint16_t width, std::uint16_t height, std::uint8_t imageFlags,
                        const std::vector<Rgb>& local = {}) {
        body.push_back(',');
        appendLe16(body, 3);  // left and top are ignored
        appendLe16(body, 5);
        appendLe16(body, width);
        appendLe16(body, height);
        body.push_back(imageFlags);
        appendTable(body, local);
        return *this;
    }
    GifFile& image(std::uint16_t width, std::uint16_t height, const Bytes& pixels,
                   std::uint8_t imageFlags = 0, const std::vector<Rgb>& local = {},
                   int minCodeSize = 8) {
        descriptor(width, height, imageFlags, local);
        Bytes data = encodePixels(pixels, minCodeSize);
        body.insert(body.end(), data.begin(), data.end());
        return *this;
    }
    Bytes bytes(bool trailer = true) const {
        Bytes out{'G', 'I', 'F'};
        out.insert(out.end(), version.begin(), version.end());
        appendLe16(out, screenWidth);
        appendLe16(out, screenHeight);
        out.insert(out.end(), {flags, 0, 0});
        appendTable(out, global);
        out.insert(out.end(), body.begin(), body.end());
        if (trailer) out.push_back(';');
        return out;
    }
};

std::vector<Rgb> grayTable(int entries, int offset = 0) {
    std::vector<Rgb> table;
    for (int i = 0; i < entries; ++i) {
        auto v = static_cast<std::uint8_t>((i * 7 + offset) & 0xFF);
        table.push_back({v, static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(i)});
    }
    return table;
}

// An 8-bit screen with a full global table.
GifFile screen256() {
    GifFile file;
    file.flags = 0xF7;
    file.global = grayTable(256);
    return file;
}

Bytes pattern(std::size_t count, int modulo, int salt = 0) {
    Bytes pixels(count);
    for (std::size_t i = 0; i < count; ++i)
        pixels[i] =
            static_cast<std::uint8_t>((i * 7 + i / 5 + static_cast<std::size_t>(salt)) % modulo);
    return pixels;
}

// Pixel index at column x of row y counted from the top.
int indexAt(const ZDib& image, int x, int y) {
    platform::Locked block(image.handle);
    const std::uint8_t* row = block.data() + image.PixelOffset() +
                              static_cast<std::size_t>(image.height - 1 - y) * image.rowBytes;
    if (image.depth == 8) return row[x];
    if (image.depth == 4) return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
    return (row[x / 8] >> (7 - x % 8)) & 1;
}

// All indices, top row first.
Bytes indices(const ZDib& image) {
    Bytes out;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            out.push_back(static_cast<std::uint8_t>(indexAt(image, x, y)));
    return out;
}

std::uint32_t headerField(const ZDib& image, std::size_t offset) {
    platform::Locked block(image.handle);
    return readLe32(block.data() + offset);
}

PALETTEENTRY entry(const ZDib& image, std::size_t i) {
    PALETTEENTRY table[256] = {};
    image.GetPalette(table);
    return table[i];
}

bool sameColor(const PALETTEENTRY& e, const Rgb& c) {
    return e.peRed == c.r && e.peGreen == c.g && e.peBlue == c.b;
}

class GifLoadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FileProgressPump().SetUp({}, 0, 0);
        blocks_ = platform::LiveBlockCount();
    }
    void TearDown() override {
        FileProgressPump().SetUp({}, 0, 0);
        EXPECT_EQ(platform::LiveBlockCount(), blocks_) << "every test frees what it loads";
    }

    ZDib load(const Bytes& bytes, int imageNumber = 0) {
        std::string path = dir_.path("in.gif");
        test::writeFile(path, bytes);
        ZDib image;
        LoadGIF(image, path, imageNumber);
        return image;
    }

    // The error of a load that must leave nothing behind.
    ErrorNumber failure(const Bytes& bytes, int imageNumber = 0) {
        ZDib image = load(bytes, imageNumber);
        EXPECT_EQ(image.handle, 0u);
        return image.error;
    }

    TempDir dir_;

  private:
    std::size_t blocks_ = 0;
};

TEST_F(GifLoadTest, DepthFollowsColourResolutionAndTableSize) {
    struct Case {
        std::uint8_t flags;
        std::uint32_t depth;  // 0: refused with 20106
    };
    const Case cases[] = {
        {0xF1, 8},  // resolution 8 bits, 4 entries
        {0x80, 1},  // resolution 1 bit, 2 entries
        {0x91, 0},  // resolution 2 bits, 4 entries
        {0x81, 0},  // 4 entries decide
        {0xA2, 4}, {0xB3, 4}, {0x83, 4}, {0xC0, 8},
        {0x84, 8}, {0x87, 8}, {0x70, 8},  // no global table: the flags still decide
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << int(c.flags));
        GifFile file;
        file.flags = c.flags;
        if ((c.flags & 0x80) != 0) file.global = grayTable(2 << (c.flags & 7));
        file.image(3, 2, pattern(6, 2));
        ZDib image = load(file.bytes());
        if (c.depth == 0) {
            EXPECT_EQ(image.error, err::BadDepth);
            EXPECT_EQ(image.handle, 0u);
            continue;
        }
        ASSERT_EQ(image.error, 0);
        EXPECT_EQ(image.depth, c.depth);
        EXPECT_EQ(indices(image), pattern(6, 2));
    }
}

TEST_F(GifLoadTest, ColoursComeFromTheGlobalTableAndTheTableSizeIsRecorded) {
    GifFile file;
    file.flags = 0xF1;  // 8-bit resolution, 4 entries
    file.global = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}};
    file.image(4, 1, {0, 1, 2, 3});
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.colorsUsed, 256u);
    EXPECT_EQ(headerField(image, dib::kClrUsed), 256u);
    EXPECT_EQ(headerField(image, dib::kClrImportant), 4u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_TRUE(sameColor(entry(image, i), file.global[i]));
    EXPECT_TRUE(sameColor(entry(image, 4), {0, 0, 0}));
    EXPECT_EQ(entry(image, 2).peFlags, 0);
}

TEST_F(GifLoadTest, ALocalTableLiesOverTheGlobalOne) {
    GifFile file;
    file.flags = 0xB3;  // 4-bit, 16 entries
    file.global = grayTable(16, 100);
    std::vector<Rgb> local = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
    file.image(5, 2, pattern(10, 4), 0x81, local);
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.depth, 4u);
    EXPECT_EQ(headerField(image, dib::kClrImportant), 4u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_TRUE(sameColor(entry(image, i), local[i]));
    for (std::size_t i = 4; i < 16; ++i) EXPECT_TRUE(sameColor(entry(image, i), file.global[i]));
    EXPECT_EQ(indices(image), pattern(10, 4));
}

TEST_F(GifLoadTest, ALocalTableWiderThanTheScreenDepthWidensTheImage) {
    // A 1-bit screen whose image brings 256 colours of its own keeps them all.
    GifFile file;
    file.flags = 0x80;
    file.global = grayTable(2);
    file.image(16, 16, pattern(256, 256), 0x87, grayTable(256, 9));
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.depth, 8u);
    EXPECT_EQ(indices(image), pattern(256, 256));
    EXPECT_TRUE(sameColor(entry(image, 200), grayTable(256, 9)[200]));

    GifFile four;
    four.flags = 0x80;
    four.global = grayTable(2);
    four.image(3, 3, pattern(9, 4), 0x81, grayTable(4));
    ZDib image4 = load(four.bytes());
    ASSERT_EQ(image4.error, 0);
    EXPECT_EQ(image4.depth, 4u) << "two bits of indices need a 4-bit image";
    EXPECT_EQ(indices(image4), pattern(9, 4));
}

TEST_F(GifLoadTest, ImageNumberPicksTheImage) {
    GifFile file = screen256();
    file.image(2, 1, {1, 2})
        .extension(249, {0, 0, 0, 0})
        .image(3, 1, {3, 4, 5}, 0x80 | 0x07, grayTable(256, 50));
    file.image(4, 1, {6, 7, 8, 9});
    Bytes bytes = file.bytes();
    struct Case {
        int number;
        std::int32_t width;
    };
    for (Case c : {Case{-3, 2}, Case{0, 2}, Case{1, 2}, Case{2, 3}, Case{3, 4}}) {
        SCOPED_TRACE(c.number);
        ZDib image = load(bytes, c.number);
        ASSERT_EQ(image.error, 0);
        EXPECT_EQ(image.width, c.width);
    }
    ZDib second = load(bytes, 2);
    EXPECT_EQ(indices(second), (Bytes{3, 4, 5}));
    EXPECT_TRUE(sameColor(entry(second, 0), grayTable(256, 50)[0]));
    ZDib third = load(bytes, 3);
    EXPECT_TRUE(sameColor(entry(third, 0), grayTable(256)[0]))
        << "a skipped image's local table is not kept";
}

TEST_F(GifLoadTest, ANumberBeyondTheLastImageGivesThePaletteAlone) {
    GifFile file = screen256();
    file.image(2, 2, {1, 2, 3, 4}).image(2, 2, {5, 6, 7, 8}, 0x87, grayTable(256, 77));
    ZDib image = load(file.bytes(), 3);
    ASSERT_EQ(image.error, 0);
    ASSERT_NE(image.handle, 0u);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_EQ(image.depth, 8u);
    EXPECT_EQ(image.colorsUsed, 256u);
    EXPECT_EQ(platform::GlobalSize(image.handle), 40u + 4 * 256);
    EXPECT_TRUE(sameColor(entry(image, 255), file.global[255]));
}

// The GIF row that the n-th arriving row of an interlaced image fills.
std::vector<int> interlaceOrder(int height) {
    std::vector<int> order;
    for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int row = start; row < height; row += step) order.push_back(row);
    return order;
}

TEST_F(GifLoadTest, InterlacedRowsFillInPassOrder) {
    for (int height = 1; height <= 20; ++height) {
        SCOPED_TRACE(height);
        // Every pixel of the n-th arriving row holds n.
        Bytes pixels;
        for (int n = 0; n < height; ++n)
            pixels.insert(pixels.end(), 3, static_cast<std::uint8_t>(n));
        GifFile file = screen256();
        file.image(3, static_cast<std::uint16_t>(height), pixels, 0x40);
        ZDib image = load(file.bytes());
        ASSERT_EQ(image.error, 0);
        std::vector<int> order = interlaceOrder(height);
        ASSERT_EQ(static_cast<int>(order.size()), height);
        for (int n = 0; n < height; ++n) EXPECT_EQ(indexAt(image, 2, order[n]), n);
        if (height == 10) {
            EXPECT_EQ(order, (std::vector<int>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
        }
    }
}

TEST_F(GifLoadTest, PixelsArePackedToTheDepth) {
    GifFile one;
    one.flags = 0x80;
    one.global = {{0, 0, 0}, {255, 255, 255}};
    one.image(13, 3, pattern(39, 2), 0, {}, 2);
    ZDib image1 = load(one.bytes());
    ASSERT_EQ(image1.error, 0);
    EXPECT_EQ(image1.rowBytes, 4u);
    EXPECT_EQ(indices(image1), pattern(39, 2));

    GifFile four;
    four.flags = 0xB3;
    four.global = grayTable(16);
    four.image(7, 3, pattern(21, 16), 0, {}, 4);
    ZDib image4 = load(four.bytes());
    ASSERT_EQ(image4.error, 0);
    EXPECT_EQ(indices(image4), pattern(21, 16));
    // The padding after the last pixel of a row stays 0.
    {
        platform::Locked block(image4.handle);
        EXPECT_EQ(block.data()[image4.PixelOffset() + 3] & 0x0F, 0);
    }

    // Indices beyond the depth keep the bits it holds (code size 2 allows 3).
    GifFile stray;
    stray.flags = 0x80;
    stray.global = grayTable(2);
    stray.image(4, 1, {2, 3, 1, 2}, 0, {}, 2);
    ZDib strayImage = load(stray.bytes());
    ASSERT_EQ(strayImage.error, 0);
    EXPECT_EQ(indices(strayImage), (Bytes{0, 1, 1, 0}));
}

TEST_F(GifLoadTest, ExtensionsBeforeTheImageAreSkipped) {
    GifFile file = screen256();
    file.extension(249, {1, 2, 3, 4}).extension(254, Bytes(255, 'c')).extension(255, {});
    file.extension(1, Bytes(12, 0)).extension(0x99, {7});
    file.image(3, 2, pattern(6, 256));
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(indices(image), pattern(6, 256));
}

TEST_F(GifLoadTest, DataCutShortKeepsTheRowsDecoded) {
    GifFile file = screen256();
    Bytes pixels = pattern(40 * 30, 256, 3);
    file.image(40, 30, pixels);
    Bytes whole = file.bytes();
    const std::size_t dataStart = 13 + 768 + 10;
    Bytes cut(whole.begin(),
              whole.begin() + static_cast<std::ptrdiff_t>((dataStart + whole.size()) / 2));
    ZDib image = load(cut);
    ASSERT_EQ(image.error, 0);
    ASSERT_EQ(image.height, 30);
    Bytes got = indices(image);
    std::size_t rows = 0;
    while (rows < 30 && std::equal(got.begin() + static_cast<std::ptrdiff_t>(rows * 40),
                                   got.begin() + static_cast<std::ptrdiff_t>(rows * 40 + 40),
                                   pixels.begin() + static_cast<std::ptrdiff_t>(rows * 40)))
        ++rows;
    EXPECT_GT(rows, 5u);
    EXPECT_LT(rows, 30u);
    EXPECT_TRUE(std::all_of(got.begin() + static_cast<std::ptrdiff_t>(rows * 40), got.end(),
                            [](std::uint8_t v) { return v == 0; }))
        << "rows never completed stay at index 0";
}

TEST_F(GifLoadTest, CodesAfterAFullTableKeepTheRowsDecoded) {
    // 3838 literal codes fill the table; the image goes on without a clear.
    const int width = 64;
    Bytes stream{8};
    Bytes data;
    std::uint32_t acc = 0;
    int bits = 0;
    auto put = [&](int code, int size) {
        acc |= static_cast<std::uint32_t>(code) << bits;
        for (bits += size; bits >= 8; bits -= 8, acc >>= 8)
            data.push_back(static_cast<std::uint8_t>(acc));
    };
    put(256, 9);
    int size = 9;
    int next = 258;
    int pixels = 0;
    for (int i = 0; pixels < width * 70; ++i, ++pixels) {
        put(1 + i % 3, size);
        if (i > 0 && next < 4096) ++next;
        if (next == (1 << size) && size < 12) ++size;
    }
    put(257, 12);
    if (bits > 0) data.push_back(static_cast<std::uint8_t>(acc));
    for (std::size_t at = 0; at < data.size(); at += 255) {
        std::size_t n = std::min<std::size_t>(255, data.size() - at);
        stream.push_back(static_cast<std::uint8_t>(n));
        stream.insert(stream.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                      data.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    stream.push_back(0);
    GifFile file = screen256();
    file.descriptor(width, 70, 0);
    file.body.insert(file.body.end(), stream.begin(), stream.end());
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    // Codes 0 to 3838 fill the table; code 3839 comes while it is full, so
    // its pixel still arrives and decoding stops: 3840 pixels, 60 rows.
    EXPECT_EQ(indexAt(image, 62, 59), 1 + 3838 % 3);
    EXPECT_EQ(indexAt(image, 63, 59), 1 + 3839 % 3);
    for (int x = 0; x < width; ++x) EXPECT_EQ(indexAt(image, x, 60), 0);
}

TEST_F(GifLoadTest, SurplusPixelsAreDropped) {
    GifFile file = screen256();
    Bytes pixels = pattern(5 * 7, 256);
    file.image(5, 4, pixels);
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(indices(image), Bytes(pixels.begin(), pixels.begin() + 20));
}

TEST_F(GifLoadTest, FailuresGiveTheirNumbersAndLeaveNothing) {
    ZDib missing;
    LoadGIF(missing, dir_.path("missing.gif"), 0);
    EXPECT_EQ(missing.error, err::FileMissing);

    GifFile good = screen256();
    good.image(2, 2, {1, 2, 3, 4});
    Bytes bytes = good.bytes();
    const std::size_t dataStart = 13 + 768 + 10;

    EXPECT_EQ(failure({}), err::BadFile);
    EXPECT_EQ(failure({'G', 'I', 'F', '8', '9'}), err::BadFile);
    Bytes png = bytes;
    png[0] = 'P';
    EXPECT_EQ(failure(png), err::BadFile);
    Bytes version = bytes;
    version[4] = '8';
    EXPECT_EQ(failure(version), err::BadFile);
    EXPECT_EQ(failure(Bytes(bytes.begin(), bytes.begin() + 100)), err::BadFile)
        << "cut inside the global table";
    EXPECT_EQ(failure(Bytes(bytes.begin(), bytes.begin() + 13 + 768)), err::BadFile)
        << "no byte where a block should start";
    EXPECT_EQ(failure(Bytes(bytes.begin(), bytes.begin() + 13 + 768 + 5)), err::BadFile)
        << "cut inside the image descriptor";
    Bytes stray = bytes;
    stray[13 + 768] = 'x';
    EXPECT_EQ(failure(stray), err::UnknownSymbol);
    Bytes badCodeSize = bytes;
    badCodeSize[dataStart] = 12;
    EXPECT_EQ(failure(badCodeSize), err::OperationFailure);

    GifFile cutExtension = screen256();
    cutExtension.extension(254, Bytes(200, 'x'));
    Bytes extension = cutExtension.bytes(false);
    EXPECT_EQ(failure(Bytes(extension.begin(), extension.end() - 50)), err::BadFile);

    GifFile cutLocal = screen256();
    cutLocal.descriptor(2, 2, 0x87, grayTable(256));
    Bytes local = cutLocal.bytes(false);
    EXPECT_EQ(failure(Bytes(local.begin(), local.end() - 10)), err::BadFile);

    GifFile skipped = screen256();
    skipped.image(2, 2, {1, 2, 3, 4});
    Bytes first = skipped.bytes(false);
    EXPECT_EQ(failure(Bytes(first.begin(), first.end() - 2), 2), err::BadFile)
        << "the image to skip ends inside its data";

    GifFile empty = screen256();
    empty.image(0, 5, {});
    EXPECT_EQ(failure(empty.bytes()), err::BadArea);
}

TEST_F(GifLoadTest, ASizeBeyondTheMemoryLimitIsRefusedBeforeDecoding) {
    GifFile file = screen256();
    file.image(32767, 32767, {1, 2, 3});
    std::size_t limit = platform::BlockSizeLimit();
    platform::SetBlockSizeLimit(std::size_t{64} << 20);
    ErrorNumber error = failure(file.bytes());
    platform::SetBlockSizeLimit(limit);
    EXPECT_EQ(error, err::OutOfMemory);
}

TEST_F(GifLoadTest, SidesBeyond32767AreRefusedWhateverMemoryThereIs) {
    for (auto [width, height] : {std::pair{65308, 65386}, {32768, 1}, {1, 32768}}) {
        GifFile file = screen256();
        file.image(static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height),
                   {1, 2, 3});
        EXPECT_EQ(failure(file.bytes()), err::BadArea) << width << " x " << height;
    }
}

// A registered window whose pump does nothing, for the progress pump.
class PeekWindow {
  public:
    PeekWindow() : window_(platform::RegisterWindow([] {})) {}
    ~PeekWindow() { platform::UnregisterWindow(window_); }
    platform::HWND get() const { return window_; }

  private:
    platform::HWND window_;
};

class GifProgressTest : public GifLoadTest {
  protected:
    // Arms the file pump with interval 10; the callback answers from stop.
    void arm(std::vector<int>& rows, int stopAt = -1) {
        FileProgressPump().SetUp(
            [&rows, stopAt](int count) {
                rows.push_back(count);
                return count == stopAt ? 0 : 1;
            },
            10, window_.get());
    }

    Bytes file35(bool interlaced) {
        GifFile file = screen256();
        file.image(9, 35, pattern(9 * 35, 256), interlaced ? 0x40 : 0);
        return file.bytes();
    }

    PeekWindow window_;
};

TEST_F(GifProgressTest, CallbacksComeEveryIntervalRows) {
    for (bool interlaced : {false, true}) {
        std::vector<int> rows;
        arm(rows);
        ZDib image = load(file35(interlaced));
        ASSERT_EQ(image.error, 0);
        EXPECT_EQ(image.height, 35);
        EXPECT_EQ(rows, (std::vector<int>{10, 20, 30})) << interlaced;
    }
}

TEST_F(GifProgressTest, OnlyCompletedRowsCount) {
    GifFile file = screen256();
    Bytes pixels = pattern(9 * 35, 256);
    file.image(9, 35, Bytes(pixels.begin(), pixels.begin() + 9 * 25 + 4));
    std::vector<int> rows;
    arm(rows);
    ZDib image = load(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(rows, (std::vector<int>{10, 20}));
}

TEST_F(GifProgressTest, CancellingFreesTheImageAndReportsNoError) {
    std::size_t before = platform::LiveBlockCount();
    std::vector<int> rows;
    arm(rows, 20);
    ZDib image = load(file35(false));
    EXPECT_EQ(image.error, 0);
    EXPECT_EQ(image.handle, 0u);
    EXPECT_EQ(rows, (std::vector<int>{10, 20})) << "decoding stops at the cancelling row";
    EXPECT_EQ(platform::LiveBlockCount(), before);
}

// An image of the depth with a distinctive table and pixels.
ZDib patternImage(std::int32_t width, std::int32_t height, std::uint32_t depth) {
    const std::size_t bits = static_cast<std::size_t>(width) * depth;
    const std::size_t rowBytes = (bits + 31) / 32 * 4;
    const std::size_t used = (bits + 7) / 8;
    return test::PatternImage(width, height, depth, [=](std::size_t offset) {
        std::size_t i = offset % rowBytes;
        std::size_t y = offset / rowBytes;
        // Padding past the last pixel is not part of the image.
        if (i >= used) return std::uint8_t{0};
        auto byte = static_cast<std::uint8_t>((i * 131 + y * 17) ^ (i >> 3));
        if (depth < 8 && bits % 8 != 0 && i == used - 1)
            byte &= static_cast<std::uint8_t>(0xFF << (8 - bits % 8));
        return byte;
    });
}

class GifStoreTest : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const { return dir_.path(name); }
    TempDir dir_;
};

TEST_F(GifStoreTest, HeadersFollowTheDepth) {
    struct Case {
        std::uint32_t depth;
        std::uint8_t screenFlags;
        std::uint8_t codeSize;
    };
    for (Case c : {Case{1, 0x80, 2}, Case{4, 0xB3, 4}, Case{8, 0xF7, 8}}) {
        SCOPED_TRACE(c.depth);
        ZDib image = patternImage(300, 2, c.depth);
        StoreGIF(image, path("out.gif"));
        ASSERT_EQ(image.error, 0);
        Bytes bytes = test::readFile(path("out.gif"));
        std::size_t table = 3u << c.depth;
        ASSERT_GT(bytes.size(), 13 + table + 11);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
        EXPECT_EQ(readLe16(&bytes[6]), 300);
        EXPECT_EQ(readLe16(&bytes[8]), 2);
        EXPECT_EQ(bytes[10], c.screenFlags);
        EXPECT_EQ(bytes[11], 0);
        EXPECT_EQ(bytes[12], 0);
        EXPECT_EQ(bytes[13], 11) << "red of entry 0";
        EXPECT_EQ(bytes[14], 250);
        const std::uint8_t* descriptor = &bytes[13 + table];
        EXPECT_EQ(descriptor[0], ',');
        EXPECT_EQ(readLe32(descriptor + 1), 0u) << "left and top";
        EXPECT_EQ(readLe16(descriptor + 5), 300);
        EXPECT_EQ(readLe16(descriptor + 7), 2);
        EXPECT_EQ(descriptor[9], c.depth - 1);
        EXPECT_EQ(descriptor[10], c.codeSize);
        EXPECT_EQ(bytes.back(), ';');
        EXPECT_EQ(bytes[bytes.size() - 2], 0) << "the data ends with an empty sub-block";
    }
}

TEST_F(GifStoreTest, ImagesOfEveryDepthLoadBackUnchanged) {
    for (std::uint32_t depth : {1u, 4u, 8u}) {
        for (auto [width, height] : {std::pair{1, 1}, {5, 3}, {33, 7}, {640, 48}}) {
            SCOPED_TRACE(testing::Message() << depth << " bits, " << width << "x" << height);
            ZDib image = patternImage(width, height, depth);
            StoreGIF(image, path("round.gif"));
            ASSERT_EQ(image.error, 0);
            ZDib back;
            LoadGIF(back, path("round.gif"), 0);
            ASSERT_EQ(back.error, 0);
            EXPECT_EQ(back.depth, depth);
            EXPECT_EQ(headerField(back, dib::kClrImportant), 1u << depth);
            platform::Locked ours(image.handle);
            platform::Locked theirs(back.handle);
            ASSERT_EQ(ours.size(), theirs.size());
            EXPECT_EQ(std::memcmp(ours.data() + 40, theirs.data() + 40, ours.size() - 40), 0);
        }
    }
}

TEST_F(GifStoreTest, LargeDataGoesOutInSubBlocksOf254Or255) {
    ZDib image = patternImage(200, 150, 8);
    StoreGIF(image, path("big.gif"));
    ASSERT_EQ(image.error, 0);
    Bytes bytes = test::readFile(path("big.gif"));
    std::size_t at = 13 + 768 + 10 + 1;
    std::vector<int> lengths;
    while (at < bytes.size() && bytes[at] != 0) {
        lengths.push_back(bytes[at]);
        at += 1 + bytes[at];
    }
    ASSERT_GT(lengths.size(), 3u);
    for (std::size_t i = 0; i + 1 < lengths.size(); ++i)
        EXPECT_TRUE(lengths[i] == 254 || lengths[i] == 255) << lengths[i];
    EXPECT_EQ(at + 2, bytes.size()) << "then 0 and the trailer";
}

TEST_F(GifStoreTest, RefusalsWriteNothing) {
    ZDib colour = patternImage(4, 4, 24);
    StoreGIF(colour, path("colour.gif"));
    EXPECT_EQ(colour.error, err::BadDepth);
    struct stat info {};
    EXPECT_NE(::stat(path("colour.gif").c_str(), &info), 0);

    ZDib paletteOnly;
    paletteOnly.depth = 8;
    paletteOnly.Allocate(true);
    StoreGIF(paletteOnly, path("palette.gif"));
    EXPECT_EQ(paletteOnly.error, err::NoBitmap);

    // Wider than the engine creates images, as a caller's own block may be.
    ZDib wide;
    wide.Attach(test::HandBuiltDib(70000, 1, 1).take(), true, false, DepthRule::Any);
    ASSERT_EQ(wide.error, 0);
    StoreGIF(wide, path("wide.gif"));
    EXPECT_EQ(wide.error, err::FormatCannotHold);
    EXPECT_NE(::stat(path("wide.gif").c_str(), &info), 0);
}

TEST_F(GifStoreTest, FileFailures) {
    ZDib image = patternImage(50, 50, 8);
    StoreGIF(image, path("no/such/dir.gif"));
    EXPECT_EQ(image.error, err::FileMissing);
    StoreGIF(image, "/dev/full");
    EXPECT_EQ(image.error, err::WriteFailed);
}

class GifMemoryTest : public ::testing::Test {
  protected:
    void SetUp() override { blocks_ = platform::LiveBlockCount(); }
    void TearDown() override { EXPECT_EQ(platform::LiveBlockCount(), blocks_); }

  private:
    std::size_t blocks_ = 0;
};

TEST_F(GifMemoryTest, DecodesWhatTheFileReaderDecodes) {
    TempDir dir;
    for (std::uint32_t depth : {1u, 4u, 8u}) {
        ZDib image = patternImage(37, 11, depth);
        StoreGIF(image, dir.path("m.gif"));
        ASSERT_EQ(image.error, 0);
        Bytes bytes = test::readFile(dir.path("m.gif"));
        ZDib fromMemory = DecodeGifMemory(bytes);
        ASSERT_EQ(fromMemory.error, 0);
        ASSERT_NE(fromMemory.handle, 0u);
        EXPECT_EQ(VerifyDib(fromMemory.handle), 0);
        EXPECT_EQ(fromMemory.depth, depth);
        EXPECT_EQ(test::toRgb(fromMemory), test::toRgb(image));
        EXPECT_EQ(headerField(fromMemory, dib::kClrImportant), 1u << depth)
            << "the header stays as image creation made it";
    }
}

TEST_F(GifMemoryTest, InterlaceAndLocalTablesWork) {
    GifFile file = screen256();
    file.version = "87a";
    Bytes pixels;
    for (int n = 0; n < 10; ++n) pixels.insert(pixels.end(), 4, static_cast<std::uint8_t>(n));
    std::vector<Rgb> local = grayTable(256, 33);
    file.image(4, 10, pixels, 0xC7, local);
    ZDib image = DecodeGifMemory(file.bytes());
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(indexAt(image, 0, 8), 1);
    EXPECT_EQ(indexAt(image, 3, 9), 9);
    EXPECT_TRUE(sameColor(entry(image, 100), local[100]));
}

TEST_F(GifMemoryTest, OnlyPlainGif87aBlocksAreTaken) {
    GifFile plain = screen256();
    plain.version = "87a";
    plain.image(3, 3, pattern(9, 256));
    Bytes bytes = plain.bytes();
    ASSERT_EQ(DecodeGifMemory(bytes).error, 0);

    Bytes later = bytes;
    later[4] = '9';
    EXPECT_EQ(DecodeGifMemory(later).handle, 0u) << "89a is refused";
    EXPECT_EQ(DecodeGifMemory(later).error, err::BadFile);

    GifFile extended = screen256();
    extended.version = "87a";
    extended.extension(254, {'x'}).image(3, 3, pattern(9, 256));
    EXPECT_EQ(DecodeGifMemory(extended.bytes()).handle, 0u);

    GifFile twoBits;
    twoBits.version = "87a";
    twoBits.flags = 0x91;
    twoBits.global = grayTable(4);
    twoBits.image(3, 3, pattern(9, 4));
    EXPECT_EQ(DecodeGifMemory(twoBits.bytes()).error, err::BadDepth);

    for (std::size_t size : {0, 5, 13, 100, 13 + 768, 13 + 768 + 6}) {
        SCOPED_TRACE(size);
        ZDib cut = DecodeGifMemory(std::span(bytes.data(), size));
        EXPECT_EQ(cut.handle, 0u);
        EXPECT_NE(cut.error, 0);
    }
}

TEST_F(GifMemoryTest, ShortDataGivesTheImageAsFarAsDecoded) {
    GifFile file = screen256();
    file.version = "87a";
    Bytes pixels = pattern(30 * 20, 256, 1);
    file.image(30, 20, pixels);
    Bytes bytes = file.bytes();
    // Without terminator and trailer the last data byte is never delivered.
    ZDib noTrailer = DecodeGifMemory(std::span(bytes.data(), bytes.size() - 2));
    ASSERT_EQ(noTrailer.error, 0);
    ASSERT_NE(noTrailer.handle, 0u);
    Bytes got = indices(noTrailer);
    EXPECT_TRUE(std::equal(got.begin(), got.begin() + 30 * 18, pixels.begin()));

    ZDib half = DecodeGifMemory(std::span(bytes.data(), (13 + 768 + 10 + bytes.size()) / 2));
    ASSERT_EQ(half.error, 0);
    EXPECT_EQ(indexAt(half, 29, 19), 0);
    EXPECT_EQ(indexAt(half, 1, 0), pixels[1]);

    ZDib noData = DecodeGifMemory(std::span(bytes.data(), 13 + 768 + 10));
    ASSERT_EQ(noData.error, 0) << "data cut at its very start still counts as cut short";
    EXPECT_EQ(indices(noData), Bytes(30 * 20, 0));

    Bytes badCode = bytes;
    badCode[13 + 768 + 10] = 1;  // code size 1
    EXPECT_EQ(DecodeGifMemory(badCode).error, err::OperationFailure);
}

}  // namespace
}  // namespace pm32
