#include "formats/tiff.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/dib_layout.h"
#include "formats/count_images.h"
#include "formats/format_codes.h"
#include "formats/tiff_lzw.h"
#include "platform/global_memory.h"
#include "tests/support/rgb_image.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_dibs.h"

namespace pm32 {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Rows = std::vector<Bytes>;

constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;

// A directory entry. With `values` its values follow the directory (SHORTs
// or LONGs by type) unless they fit in the entry; without, `value` (and
// `second`, a second SHORT) is the entry's field.
struct Entry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::uint32_t value = 0;
    std::uint16_t second = 0;
    std::vector<std::uint32_t> values = {};
};

// One image of a test file: its entries and strips, from which the
// StripOffsets (of offsetType) and StripByteCounts entries are made.
struct Image {
    std::vector<Entry> entries;
    std::vector<Bytes> strips = {};
    std::uint16_t offsetType = kLong;
};

// The entries every plain image has.
std::vector<Entry> basic(std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                         std::uint32_t compression = 1, std::uint32_t photometric = 1,
                         std::uint32_t samples = 1) {
    return {{256, kLong, 1, width},
            {257, kLong, 1, height},
            samples == 3 ? Entry{258, kShort, 3, 0, 0, {8, 8, 8}} : Entry{258, kShort, 1, bits},
            {259, kShort, 1, compression},
            {262, kShort, 1, photometric},
            {277, kShort, 1, samples}};
}

std::vector<Entry> with(std::vector<Entry> entries, const std::vector<Entry>& extra) {
    entries.insert(entries.end(), extra.begin(), extra.end());
    return entries;
}

// A TIFF file: the header, then for each image its directory, its strips and
// its out-of-line values, so the last image's data ends the file.
class TiffFile {
  public:
    explicit TiffFile(bool bigEndian = false) : bigEndian_(bigEndian) {
        bytes_ = bigEndian ? Bytes{'M', 'M', 0, 0, 0, 0, 0, 0} : Bytes{'I', 'I', 0, 0, 0, 0, 0, 0};
        put16(2, 42);
    }

    TiffFile& add(Image image) {
        std::vector<std::uint32_t> offsets, counts;
        if (!image.strips.empty()) {
            image.entries.push_back(
                {273, image.offsetType, static_cast<std::uint32_t>(image.strips.size())});
            image.entries.push_back({279, kLong, static_cast<std::uint32_t>(image.strips.size())});
        }
        std::stable_sort(image.entries.begin(), image.entries.end(),
                         [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
        align();
        put32(link_, static_cast<std::uint32_t>(bytes_.size()));
        std::size_t fields = bytes_.size() + 10;
        grow(2 + 12 * image.entries.size() + 4);
        put16(fields - 10, static_cast<std::uint16_t>(image.entries.size()));
        link_ = fields + 12 * image.entries.size() - 8;
        for (const Bytes& strip : image.strips) {
            offsets.push_back(static_cast<std::uint32_t>(bytes_.size()));
            counts.push_back(static_cast<std::uint32_t>(strip.size()));
            bytes_.insert(bytes_.end(), strip.begin(), strip.end());
        }
        for (std::size_t i = 0; i < image.entries.size(); ++i) {
            Entry e = image.entries[i];
            if (e.tag == 273 && !image.strips.empty()) e.values = offsets;
            if (e.tag == 279 && !image.strips.empty()) e.values = counts;
            std::size_t field = fields + 12 * i;
            put16(field - 8, e.tag);
            put16(field - 6, e.type);
            put32(field - 4, e.count);
            writeValues(field, e);
        }
        return *this;
    }

    // Rewrites 32 bits at an offset, in the file's byte order.
    void put32(std::size_t at, std::uint32_t v) {
        put16(at + (bigEndian_ ? 2 : 0), static_cast<std::uint16_t>(v));
        put16(at + (bigEndian_ ? 0 : 2), static_cast<std::uint16_t>(v >> 16));
    }

    std::size_t lastLink() const { return link_; }
    Bytes& bytes() { return bytes_; }

  private:
    void writeValues(std::size_t field, const Entry& e) {
        const bool shorts = e.type == kShort;
        if (e.values.empty() || e.values.size() <= (shorts ? 2u : 1u)) {
            std::uint32_t first = e.values.empty() ? e.value : e.values[0];
            std::uint32_t second = e.values.size() > 1 ? e.values[1] : e.second;
            if (!shorts) return put32(field, first);
            put16(field, static_cast<std::uint16_t>(first));
            return put16(field + 2, static_cast<std::uint16_t>(second));
        }
        align();
        put32(field, static_cast<std::uint32_t>(bytes_.size()));
        for (std::uint32_t v : e.values) {
            std::size_t at = grow(shorts ? 2 : 4);
            shorts ? put16(at, static_cast<std::uint16_t>(v)) : put32(at, v);
        }
    }

    void put16(std::size_t at, std::uint16_t v) {
        bytes_[at + (bigEndian_ ? 1 : 0)] = static_cast<std::uint8_t>(v);
        bytes_[at + (bigEndian_ ? 0 : 1)] = static_cast<std::uint8_t>(v >> 8);
    }
    std::size_t grow(std::size_t n) {
        bytes_.resize(bytes_.size() + n);
        return bytes_.size() - n;
    }
    void align() {
        if (bytes_.size() % 2) bytes_.push_back(0);
    }

    bool bigEndian_;
    Bytes bytes_;
    std::size_t link_ = 4;
};

Bytes fileOf(const Image& image, bool bigEndian = false) {
    return TiffFile(bigEndian).add(image).bytes();
}

// A ColorMap of the entries: entry i is (i * 10, 255 - i, i * 3) in 8 bits.
Entry colorMap(unsigned entries) {
    Entry map{320, kShort, 3 * entries};
    for (unsigned c = 0; c < 3; ++c)
        for (unsigned i = 0; i < entries; ++i) {
            unsigned level[] = {(i * 10) & 0xFF, 255 - i, (i * 3) & 0xFF};
            map.values.push_back(level[c] * 257);
        }
    return map;
}

// A 4 x 3 RGB image's entries with the given sample sizes, stored after the
// directory or at the offset given.
std::vector<Entry> rgbWithSamples(std::vector<std::uint32_t> bits,
                                  std::optional<std::uint32_t> offset = std::nullopt) {
    std::vector<Entry> entries = basic(4, 3, 8, 1, 2, 3);
    entries[2] = offset ? Entry{258, kShort, 3, *offset} : Entry{258, kShort, 3, 0, 0, bits};
    return entries;
}

Bytes bitsReversed(Bytes bytes) {
    for (std::uint8_t& b : bytes) {
        std::uint8_t r = 0;
        for (int bit = 0; bit < 8; ++bit)
            r |= static_cast<std::uint8_t>(((b >> bit) & 1) << (7 - bit));
        b = r;
    }
    return bytes;
}

Bytes lzw(const Bytes& raw) {
    TiffLzwOutput out;
    EXPECT_EQ(TiffLzwEncode(raw, raw.size(), out), 0);
    return Bytes(out.bytes().begin(), out.bytes().end());
}

struct Color {
    int red, green, blue;
    bool operator==(const Color&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Color& c) {
        return out << "(" << c.red << ", " << c.green << ", " << c.blue << ")";
    }
};

class TiffFileTest : public ::testing::Test {
  protected:
    std::string write(const Bytes& bytes, const std::string& name = "in.tif") {
        std::string path = dir_.path(name);
        test::writeFile(path, bytes);
        return path;
    }

    ZDib load(const Bytes& bytes, int imageNumber = 0) {
        ZDib image;
        LoadTIFF(image, write(bytes), imageNumber);
        return image;
    }

    ErrorNumber loadError(const Bytes& bytes, int imageNumber = 0) {
        return load(bytes, imageNumber).error;
    }

    // The rows of an image, top row first, each cut to its file length.
    static Rows rows(const ZDib& image, std::size_t rowBytes) {
        Rows out;
        platform::Locked block(image.handle);
        for (std::int32_t y = 0; block && y < image.height; ++y) {
            const std::uint8_t* row =
                block.data() + image.PixelOffset() +
                static_cast<std::size_t>(image.height - 1 - y) * image.rowBytes;
            out.emplace_back(row, row + rowBytes);
        }
        return out;
    }

    static Color entry(const ZDib& image, std::size_t i) {
        PALETTEENTRY table[256] = {};
        image.GetPalette(table);
        return {table[i].peRed, table[i].peGreen, table[i].peBlue};
    }

    test::TempDir dir_;
};

// --- reading ---

using TiffReadTest = TiffFileTest;

TEST_F(TiffReadTest, BigEndianFilesLoadLikeTheirLittleEndianTwins) {
    Image palette{with(basic(5, 3, 4, 1, 3), {colorMap(16), {278, kShort, 1, 1}}),
                  {{0x01, 0x23, 0x40}, {0x56, 0x78, 0x90}, {0xAB, 0xCD, 0xE0}}};
    Image shortInline{with(basic(4, 3, 8), {{278, kShort, 1, 2}}),
                      {{10, 11, 12, 13, 20, 21, 22, 23}, {30, 31, 32, 33}},
                      kShort};
    Image shortArray{
        with(basic(3, 3, 8), {{278, kShort, 1, 1}}), {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}}, kShort};
    Image rgb{basic(2, 2, 8, 1, 2, 3), {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}};
    struct Case {
        const char* name;
        Image image;
        std::size_t rowBytes;
        Rows expected;
    };
    const Case cases[] = {
        {"palette", palette, 3, {{0x01, 0x23, 0x40}, {0x56, 0x78, 0x90}, {0xAB, 0xCD, 0xE0}}},
        {"two SHORT offsets in the entry",
         shortInline,
         4,
         {{10, 11, 12, 13}, {20, 21, 22, 23}, {30, 31, 32, 33}}},
        {"SHORT offsets array", shortArray, 3, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}}},
        // RGB samples become the image's BGR.
        {"RGB", rgb, 6, {{3, 2, 1, 6, 5, 4}, {9, 8, 7, 12, 11, 10}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ZDib little = load(fileOf(c.image, false));
        ZDib big = load(fileOf(c.image, true));
        ASSERT_EQ(little.error, 0);
        ASSERT_EQ(big.error, 0);
        EXPECT_EQ(rows(big, c.rowBytes), c.expected);
        EXPECT_EQ(test::toRgb(little), test::toRgb(big));
    }
}

TEST_F(TiffReadTest, ImageNumberChoosesTheDirectory) {
    TiffFile file;
    for (std::uint8_t n = 1; n <= 3; ++n) file.add({basic(n, 3, 8), {Bytes(3 * n, n)}});
    struct Case {
        int imageNumber;
        ErrorNumber error;
        std::int32_t width;
    };
    for (Case c : {Case{0, 0, 1}, Case{1, 0, 1}, Case{2, 0, 2}, Case{3, 0, 3},
                   Case{4, err::BadFile, 0}, Case{-7, 0, 1}}) {
        SCOPED_TRACE(c.imageNumber);
        ZDib image = load(file.bytes(), c.imageNumber);
        EXPECT_EQ(image.error, c.error);
        EXPECT_EQ(image.width, c.width);
    }
    EXPECT_EQ(platform::LiveBlockCount(), 0u);
}

TEST_F(TiffReadTest, BrokenHeadersAndChainsAreRefused) {
    const Bytes good = fileOf({basic(4, 3, 8), {Bytes(12, 1)}});
    auto changed = [&](std::size_t at, std::uint8_t value) {
        Bytes bytes = good;
        bytes[at] = value;
        return bytes;
    };
    Bytes noDirectory = good;
    std::fill(noDirectory.begin() + 4, noDirectory.begin() + 8, 0);
    TiffFile loop;
    loop.add({basic(4, 3, 8), {Bytes(12, 1)}});
    loop.put32(loop.lastLink(), 8);  // the directory names itself as the next

    EXPECT_EQ(loadError(changed(0, 'X')), err::BadFile);
    EXPECT_EQ(loadError(changed(2, 43)), err::BadFile);
    EXPECT_EQ(loadError(changed(7, 0x70)), err::BadFile);  // directory past the end
    EXPECT_EQ(loadError(noDirectory), err::BadFile);
    EXPECT_EQ(loadError(Bytes(good.begin(), good.begin() + 40)), err::BadFile);
    EXPECT_EQ(loadError(Bytes{}), err::BadFile);
    // A loop ends the walk, not the process.
    EXPECT_EQ(loadError(loop.bytes(), 1 << 30), err::BadFile);
    ZDib missing;
    LoadTIFF(missing, dir_.path("absent.tif"), 0);
    EXPECT_EQ(missing.error, err::FileMissing);
}

TEST_F(TiffReadTest, DirectoriesHoldFourToFortyEntries) {
    auto withEntries = [](std::size_t total) {
        Image image{basic(4, 3, 8), {Bytes(12, 1)}};
        for (std::uint16_t tag = 400; image.entries.size() + 2 < total; ++tag)
            image.entries.push_back({tag, kShort, 1, 0});
        return fileOf(image);
    };
    EXPECT_EQ(loadError(withEntries(40)), 0);
    EXPECT_EQ(loadError(withEntries(41)), err::BadFile);
    // The bound holds for every directory walked past on the way.
    for (std::size_t entries : {3u, 4u}) {
        Image stub;
        for (std::uint16_t tag = 400; stub.entries.size() < entries; ++tag)
            stub.entries.push_back({tag, kShort, 1, 0});
        Bytes file = TiffFile().add(stub).add({basic(4, 3, 8), {Bytes(12, 1)}}).bytes();
        EXPECT_EQ(loadError(file, 2), entries == 3 ? err::BadFile : 0) << entries;
    }
}

TEST_F(TiffReadTest, UnsupportedCompressionsAndLayoutsAreRefused) {
    for (std::uint32_t compression : {2u, 3u, 4u, 7u, 0u}) {
        SCOPED_TRACE(compression);
        Bytes file = fileOf({basic(4, 3, 8, compression), {Bytes(12, 1)}});
        EXPECT_EQ(loadError(file), err::TiffCompressionUnsupported);
        EXPECT_EQ(loadError(file, -1), err::NegativeImageNumber);
    }
    struct Case {
        const char* name;
        Image image;
    };
    const Case cases[] = {
        {"predictor 2", {with(basic(4, 3, 8), {{317, kShort, 1, 2}})}},
        {"16 bits", {basic(4, 3, 16)}},
        {"2 bits", {basic(4, 3, 2)}},
        {"two samples", {basic(4, 3, 8, 1, 1, 2)}},
        {"RGB with one sample", {basic(4, 3, 8, 1, 2)}},
        {"three samples, not RGB", {basic(4, 3, 8, 1, 1, 3)}},
        {"palette without a ColorMap", {basic(4, 3, 8, 1, 3)}},
        {"palette with a LONG ColorMap", {with(basic(4, 3, 8, 1, 3), {{320, kLong, 768, 8}})}},
        {"separated", {basic(4, 3, 8, 1, 5)}},
        {"no strips", {with(basic(4, 3, 8), {{273, kLong, 0}})}},
        {"16-bit RGB", {rgbWithSamples({16, 16, 16})}},
        {"samples of mixed sizes", {rgbWithSamples({8, 8, 16})}},
        {"sample sizes outside the file", {rgbWithSamples({8, 8, 8}, 0x7FFFFFF0u)}},
        {"floating-point RGB",
         {with(rgbWithSamples({8, 8, 8}), {{339, kShort, 3, 0, 0, {3, 3, 3}}})}},
        {"signed grey", {with(basic(4, 3, 8), {{339, kShort, 1, 2}})}},
        {"RGB in separate planes", {with(rgbWithSamples({8, 8, 8}), {{284, kShort, 1, 2}})}},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        if (c.image.entries.back().tag != 273) c.image.strips = {Bytes(36, 1)};
        EXPECT_EQ(loadError(fileOf(c.image)), err::BadFile);
    }
    EXPECT_EQ(platform::LiveBlockCount(), 0u);
}

TEST_F(TiffReadTest, GreyFilesGetRampsForBothPhotometrics) {
    auto ramp = [&](std::uint32_t bits, std::uint32_t photometric, std::vector<Entry> extra) {
        ZDib image =
            load(fileOf({with(basic(8, 1, bits, 1, photometric), extra), {Bytes(bits, 0)}}));
        std::vector<int> levels;
        for (std::size_t i = 0; i < image.colorsUsed; ++i) {
            Color e = entry(image, i);
            EXPECT_TRUE(e.red == e.green && e.green == e.blue);
            levels.push_back(e.red);
        }
        return levels;
    };
    std::vector<int> identity, inverted, sixteen;
    for (int i = 0; i < 256; ++i) identity.push_back(i), inverted.push_back(255 - i);
    for (int i = 0; i < 16; ++i) sixteen.push_back(i * 17);
    EXPECT_EQ(ramp(8, 1, {}), identity);
    EXPECT_EQ(ramp(8, 0, {}), inverted);
    EXPECT_EQ(ramp(4, 1, {}), sixteen);
    EXPECT_EQ(ramp(1, 1, {}), (std::vector<int>{0, 255}));
    EXPECT_EQ(ramp(1, 0, {}), (std::vector<int>{255, 0}));

    // Min 16, max 235: a step of 255 / 219 = 1 between them.
    const std::vector<Entry> clip = {{280, kShort, 1, 16}, {281, kShort, 1, 235}};
    std::vector<int> clipped = ramp(8, 1, clip), clippedWhite = ramp(8, 0, clip);
    ASSERT_EQ(clipped.size(), 256u);
    for (int e = 0; e < 256; ++e) {
        int expected = e <= 16 ? 0 : e <= 235 ? e - 16 : 255;
        EXPECT_EQ(clipped[e], expected) << "entry " << e;
        EXPECT_EQ(clippedWhite[e], 255 - expected) << "entry " << e;
    }
    // A maximum not above the minimum leaves black up to the minimum, white above.
    std::vector<int> flat = ramp(8, 1, {{280, kShort, 1, 100}, {281, kShort, 1, 50}});
    EXPECT_EQ(flat[100], 0);
    EXPECT_EQ(flat[101], 255);
}

TEST_F(TiffReadTest, ColorMapsGiveTheHighByteOfWhatTheyHold) {
    Entry map = colorMap(256);
    map.values[5] = 0x12FF;  // red of entry 5
    ZDib image = load(fileOf({with(basic(4, 3, 8, 1, 3), {map}), {Bytes(12, 1)}}, true));
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(entry(image, 5), (Color{0x12, 250, 15}));
    EXPECT_EQ(entry(image, 200), (Color{(200 * 10) & 0xFF, 55, (200 * 3) & 0xFF}));

    // Four entries for an 8-bit image: the rest stay black.
    image = load(fileOf({with(basic(4, 3, 8, 1, 3), {colorMap(4)}), {Bytes(12, 7)}}));
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(entry(image, 3), (Color{30, 252, 9}));
    EXPECT_EQ(entry(image, 4), (Color{0, 0, 0}));

    // Sixteen for a 1-bit image: the greens start after all sixteen reds.
    image = load(fileOf({with(basic(4, 3, 1, 1, 3), {colorMap(16)}), {Bytes(3, 0x80)}}));
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(entry(image, 1), (Color{10, 254, 3}));

    for (Entry outside :
         {Entry{320, kShort, 768, 0xFFFFFF00u}, Entry{320, kShort, 0xFFFFFFFFu, 16}})
        EXPECT_EQ(loadError(fileOf({with(basic(4, 3, 8, 1, 3), {outside}), {Bytes(12, 1)}})),
                  err::BadFile);
}

TEST_F(TiffReadTest, UncompressedStripsFillRowsFromTheTop) {
    Image strips{with(basic(3, 5, 8), {{278, kShort, 1, 2}}),
                 {{1, 1, 1, 2, 2, 2}, {3, 3, 3, 4, 4, 4}, {5, 5, 5, 99, 99, 99}}};
    const Rows expected = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}, {5, 5, 5}};
    EXPECT_EQ(rows(load(fileOf(strips)), 3), expected);
    // Without RowsPerStrip one strip holds every row.
    EXPECT_EQ(
        rows(load(fileOf({basic(3, 5, 8), {{1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5}}})), 3),
        expected);
    // Bits stay packed as the file has them.
    EXPECT_EQ(rows(load(fileOf({basic(10, 2, 1), {{0xA5, 0xC0, 0x01, 0x80}}})), 2),
              (Rows{{0xA5, 0xC0}, {0x01, 0x80}}));

    // A strip that ends with the file fails the load and frees the image.
    ZDib failed = load(fileOf({basic(3, 2, 8), {{1, 1, 1, 2}}}));
    EXPECT_EQ(failed.error, err::BadFile);
    EXPECT_EQ(failed.handle, 0u);
    EXPECT_EQ(platform::LiveBlockCount(), 0u);
    // So does a strip table that lies outside it.
    EXPECT_EQ(loadError(fileOf({with(basic(4, 3, 8), {{273, kLong, 0x40000000u, 16}})})),
              err::BadFile);
}

// Rows on both sides of the 32768-byte staging buffer and of the 65535-byte
// largest block it passes on.
TEST_F(TiffReadTest, RowsLongerThanTheStagingBufferArriveWhole) {
    struct Case {
        std::uint32_t depth, width;
    };
    for (Case c :
         {Case{8, 32767}, Case{24, 10923}, Case{24, 21845}, Case{24, 21846}, Case{24, 32767}}) {
        const std::size_t rowBytes = c.width * (c.depth / 8);
        SCOPED_TRACE(rowBytes);
        Bytes strip(2 * rowBytes);
        for (std::size_t i = 0; i < strip.size(); ++i)
            strip[i] = static_cast<std::uint8_t>(i * 131 + (i >> 9));
        const auto entries = c.depth == 24 ? basic(c.width, 2, 8, 1, 2, 3) : basic(c.width, 2, 8);
        Rows got = rows(load(fileOf({entries, {strip}})), rowBytes);
        ASSERT_EQ(got.size(), 2u);
        for (std::size_t y = 0; y < 2; ++y) {
            Bytes expected(strip.begin() + static_cast<std::ptrdiff_t>(y * rowBytes),
                           strip.begin() + static_cast<std::ptrdiff_t>((y + 1) * rowBytes));
            if (c.depth == 24)
                for (std::size_t i = 0; i + 2 < rowBytes; i += 3)
                    std::swap(expected[i], expected[i + 2]);
            EXPECT_TRUE(got[y] == expected) << "row " << y;
        }
    }
}

TEST_F(TiffReadTest, PackBitsRunsFillRowsAndDropWhatOverflows) {
    Image image{with(basic(6, 3, 8, 32773), {{278, kShort, 1, 3}}),
                {{
                    0x02, 1, 2, 3,           // copy three
                    0x80,                    // nothing
                    0xFE, 9,                 // repeat 9 three times
                    0xFD, 7,                 // four 7s
                    0x05, 1, 2, 3, 4, 5, 6,  // six bytes, two kept
                    0x81, 4,                 // 128 fours, six kept
                }}};
    EXPECT_EQ(rows(load(fileOf(image)), 6),
              (Rows{{1, 2, 3, 9, 9, 9}, {7, 7, 7, 7, 1, 2}, {4, 4, 4, 4, 4, 4}}));

    EXPECT_EQ(loadError(fileOf({basic(4, 3, 8, 32773, 2, 3), {{0x81, 0}}})), err::OperationFailure);
    // Two rows of four, then the end of the file.
    EXPECT_EQ(loadError(fileOf({basic(4, 3, 8, 32773), {{0xFD, 1, 0xFD, 2}}})), err::BadFile);
    EXPECT_EQ(platform::LiveBlockCount(), 0u);
}

TEST_F(TiffReadTest, LzwStripsAddTheWholeRowsTheyDecodeTo) {
    Image image{with(basic(4, 5, 8, 5), {{278, kShort, 1, 3}}),
                {lzw({1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3}), lzw({4, 4, 4, 4, 5, 5, 5, 5, 6})}};
    EXPECT_EQ(rows(load(fileOf(image, true)), 4),
              (Rows{{1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}, {4, 4, 4, 4}, {5, 5, 5, 5}}));

    // A strip that fails to decode adds none; the next goes on below.
    image = {with(basic(2, 4, 8, 5), {{278, kShort, 1, 1}}),
             {lzw({1, 1}), {0xFF, 0xFF, 0xFF}, lzw({3, 3}), lzw({4, 4})}};
    ZDib partial = load(fileOf(image));
    ASSERT_EQ(partial.error, 0);
    EXPECT_EQ(rows(partial, 2), (Rows{{1, 1}, {3, 3}, {4, 4}, {0, 0}}));
}

TEST_F(TiffReadTest, ImagesWhoseEveryLzwStripFailsAreRefused) {
    Image image{with(basic(2, 3, 8, 5), {{278, kShort, 1, 1}}),
                {{0xFF, 0xFF, 0xFF}, {0x00}, {0x80, 0x00}}};
    EXPECT_EQ(loadError(fileOf(image)), err::BadFile);
    EXPECT_EQ(platform::LiveBlockCount(), 0u);
}

TEST_F(TiffReadTest, BitsStoredLeastSignificantFirstAreReversedInEveryCompression) {
    const Rows expected = {{0x01, 0x80}, {0xA5, 0x3C}, {0x0F, 0xF0}};
    const Bytes raw = {0x01, 0x80, 0xA5, 0x3C, 0x0F, 0xF0};
    struct Case {
        const char* name;
        std::uint32_t compression;
        Bytes strip;
    };
    const Case cases[] = {
        {"none", 1, raw},
        {"PackBits", 32773, {0x01, 0x01, 0x80, 0x01, 0xA5, 0x3C, 0x01, 0x0F, 0xF0}},
        {"LZW", 5, lzw(raw)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto entries = basic(16, 3, 1, c.compression, 1);
        EXPECT_EQ(rows(load(fileOf({entries, {c.strip}})), 2), expected);
        EXPECT_EQ(
            rows(load(fileOf({with(entries, {{266, kShort, 1, 2}}), {bitsReversed(c.strip)}})), 2),
            expected);
    }
}

TEST_F(TiffReadTest, DirectoryWithoutCompressionIsUncompressed) {
    std::vector<Entry> entries = basic(3, 2, 8);
    entries.erase(entries.begin() + 3);
    EXPECT_EQ(rows(load(fileOf({entries, {{1, 2, 3, 4, 5, 6}}})), 3), (Rows{{1, 2, 3}, {4, 5, 6}}));
}

TEST_F(TiffReadTest, LzwStripsTooLargeOrOutsideTheFileAreRefused) {
    EXPECT_EQ(loadError(fileOf({basic(200, 200, 8, 5), {Bytes(32769, 0)}})), err::BadFile);
    // At the limit it is read and fails to decode; with no strip decoded
    // there is no picture to show.
    EXPECT_EQ(loadError(fileOf({basic(200, 200, 8, 5), {Bytes(32768, 0)}})), err::BadFile);
    EXPECT_EQ(
        loadError(fileOf({with(basic(4, 3, 8, 5), {{273, kLong, 1, 4000}, {279, kLong, 1, 20}})})),
        err::BadFile);
    // Byte counts for fewer strips than there are.
    EXPECT_EQ(loadError(fileOf(
                  {with(basic(4, 3, 8, 5), {{273, kShort, 2, 100, 120}, {279, kLong, 1, 20}})})),
              err::BadFile);
}

TEST_F(TiffReadTest, OversizedImagesAreRefusedBeforeAnythingIsAllocated) {
    EXPECT_EQ(loadError(fileOf({basic(0xFFFF, 0xFFFF, 8, 1, 2, 3), {Bytes(8, 0)}})), err::BadArea);
    EXPECT_EQ(loadError(fileOf({basic(0x80000000u, 1, 8), {Bytes(8, 0)}})), err::BadArea);
    EXPECT_EQ(loadError(fileOf({basic(32768, 1, 8), {Bytes(8, 0)}})), err::BadArea);
    EXPECT_EQ(loadError(fileOf({basic(1, 32768, 8), {Bytes(8, 0)}})), err::BadArea);
    EXPECT_EQ(loadError(fileOf({basic(32767, 1, 8), {Bytes(32767, 0)}})), 0);
    EXPECT_EQ(loadError(fileOf({basic(0, 1, 8), {Bytes(8, 0)}})), err::BadArea);
    EXPECT_EQ(platform::LiveBlockCount(), 0u);
}

TEST_F(TiffReadTest, PreviewModeReadsThe106By80PictureAtOffset14) {
    // 80 rows of 53 bytes at offset 14: row r repeats (r % 16) in both halves.
    Bytes head = {'I', 'I', 42, 0, 0, 0, 0, 0, 'I', 'F', 'S', '1', 0x34, 0x12};
    for (int r = 0; r < 80; ++r)
        head.insert(head.end(), {static_cast<std::uint8_t>(257 - 53),
                                 static_cast<std::uint8_t>((r % 16) * 0x11)});
    TiffFile file;
    file.bytes() = head;
    file.add({with(basic(4, 3, 4, 1, 3), {colorMap(16)}), {Bytes(6, 0x11)}});

    ZDib preview = load(file.bytes(), -1);
    ASSERT_EQ(preview.error, 0);
    EXPECT_EQ(preview.width, 106);
    EXPECT_EQ(preview.height, 80);
    EXPECT_EQ(preview.depth, 4u);
    EXPECT_EQ(rows(preview, 53)[17], Bytes(53, 0x11));
    EXPECT_EQ(entry(preview, 1), (Color{10, 254, 3}));
    EXPECT_EQ(load(file.bytes(), 0).width, 4);
    // Without the marker, -1 reads the first image.
    file.bytes()[8] = 'X';
    EXPECT_EQ(load(file.bytes(), -1).width, 4);
}

// --- writing ---

class TiffWriteTest : public TiffFileTest {
  protected:
    // An image whose pixels and table differ everywhere.
    static ZDib pattern(std::int32_t width, std::int32_t height, std::uint32_t depth,
                        unsigned seed = 1) {
        ZDib image;
        image.Create(width, height, depth, 0);
        std::vector<PALETTEENTRY> table;
        for (std::uint32_t i = 0; i < image.colorsUsed; ++i)
            table.push_back({static_cast<std::uint8_t>(i * 3 + seed),
                             static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i), 0});
        image.SetPalette(table, true);
        platform::Locked block(image.handle);
        std::uint8_t* pixels = block.data() + image.PixelOffset();
        for (std::size_t i = 0; i < image.PixelBytes(); ++i)
            pixels[i] = static_cast<std::uint8_t>((i * 7 + seed) ^ (i >> 5));
        return image;
    }

    std::string store(ZDib& image, int compression, bool append = false,
                      const std::string& name = "out.tif") {
        std::string path = dir_.path(name);
        StoreTIFF(image, path, compression, append);
        return path;
    }

    static std::uint16_t le16(const Bytes& b, std::size_t at) { return readLe16(&b[at]); }
    static std::uint32_t le32(const Bytes& b, std::size_t at) { return readLe32(&b[at]); }

    // The entry with the tag in the directory at offset ifd: type, count, value field.
    static std::optional<Entry> find(const Bytes& b, std::size_t ifd, std::uint16_t tag) {
        for (std::size_t e = 0; e < le16(b, ifd); ++e) {
            std::size_t at = ifd + 2 + 12 * e;
            if (le16(b, at) == tag)
                return Entry{tag, le16(b, at + 2), le32(b, at + 4), le32(b, at + 8)};
        }
        return std::nullopt;
    }
};

TEST_F(TiffWriteTest, RowsPerStripFollowTheEightKilobyteTarget) {
    struct Case {
        std::int32_t width, height;
        std::uint32_t depth;
        std::uint32_t rowsPerStrip, strips;
    };
    for (Case c : {Case{100, 200, 8, 81, 3}, Case{100, 150, 8, 1, 150}, Case{20000, 3, 24, 1, 3},
                   Case{1, 30000, 1, 8192, 4}, Case{33, 40, 4, 1, 40}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.depth);
        ZDib image = pattern(c.width, c.height, c.depth);
        Bytes file = test::readFile(store(image, 0));
        ASSERT_EQ(image.error, 0);
        EXPECT_EQ(find(file, 8, 278)->value & 0xFFFF, c.rowsPerStrip);
        EXPECT_EQ(find(file, 8, 273)->count, c.strips);
        EXPECT_EQ(find(file, 8, 279)->count, c.strips);
    }
}

TEST_F(TiffWriteTest, PaletteImagesHaveFourteenEntriesAndAColorMap) {
    ZDib image = pattern(7, 5, 8);
    Bytes file = test::readFile(store(image, 0));
    ASSERT_EQ(image.error, 0);
    ASSERT_EQ(le32(file, 4), 8u);
    ASSERT_EQ(le16(file, 8), 14);
    const std::uint16_t tags[] = {254, 256, 257, 258, 259, 262, 273,
                                  277, 278, 279, 282, 283, 296, 320};
    for (std::size_t e = 0; e < 14; ++e) EXPECT_EQ(le16(file, 10 + 12 * e), tags[e]);
    EXPECT_EQ(le32(file, 8 + 2 + 14 * 12), 0u) << "no next directory";
    EXPECT_EQ(find(file, 8, 262)->value, 3u);
    EXPECT_EQ(find(file, 8, 258)->value, 8u);
    Entry map = *find(file, 8, 320);
    EXPECT_EQ(map.count, 768u);
    Color e9 = entry(image, 9);
    EXPECT_EQ(le16(file, map.value + 2 * 9), e9.red * 257);
    EXPECT_EQ(le16(file, map.value + 2 * (256 + 9)), e9.green * 257);
    EXPECT_EQ(le16(file, map.value + 2 * (512 + 9)), e9.blue * 257);

    // From the directory: XResolution, YResolution, offsets, counts, pixels.
    Entry x = *find(file, 8, 282), y = *find(file, 8, 283);
    EXPECT_EQ(x.value, 8u + 174);
    EXPECT_EQ(y.value, 8u + 182);
    EXPECT_EQ(le32(file, x.value), 100u);
    EXPECT_EQ(le32(file, x.value + 4), 1u);
    EXPECT_EQ(find(file, 8, 273)->value, 8u + 190);
    EXPECT_EQ(find(file, 8, 279)->value, 8u + 190 + 4 * 5);
    EXPECT_EQ(le32(file, 8 + 190), 8u + 190 + 8 * 5) << "the first strip follows the arrays";
    EXPECT_EQ(map.value, 8u + 190 + 8 * 5 + 7 * 5) << "the map follows the pixels";
    EXPECT_EQ(find(file, 8, 296)->value, 2u);
}

TEST_F(TiffWriteTest, TrueColourImagesHaveThirteenEntriesAndThreeSampleSizes) {
    ZDib image = pattern(5, 4, 24);
    Bytes file = test::readFile(store(image, 1));
    ASSERT_EQ(image.error, 0);
    ASSERT_EQ(le16(file, 8), 13);
    EXPECT_FALSE(find(file, 8, 320).has_value());
    Entry bits = *find(file, 8, 258);
    EXPECT_EQ(bits.count, 3u);
    EXPECT_EQ(bits.value, 8u + 174);
    EXPECT_EQ(le16(file, bits.value), 8);
    EXPECT_EQ(le16(file, bits.value + 4), 8);
    EXPECT_EQ(find(file, 8, 262)->value, 2u);
    EXPECT_EQ(find(file, 8, 277)->value, 3u);
    EXPECT_EQ(find(file, 8, 259)->value, 5u);
    EXPECT_EQ(find(file, 8, 282)->value, 8u + 180);
}

TEST_F(TiffWriteTest, FilesEndWithTwoZeroBytesAfterTheirData) {
    for (std::uint32_t depth : {1u, 8u, 24u}) {
        for (int compression : {0, 1}) {
            SCOPED_TRACE(testing::Message() << depth << " bits, compression " << compression);
            ZDib image = pattern(9, 6, depth);
            Bytes file = test::readFile(store(image, compression));
            ASSERT_EQ(image.error, 0);
            Entry offsets = *find(file, 8, 273), counts = *find(file, 8, 279);
            std::size_t last = offsets.count - 1;
            std::size_t dataEnd =
                le32(file, offsets.value + 4 * last) + le32(file, counts.value + 4 * last);
            if (depth != 24) dataEnd += 6u << depth;
            ASSERT_EQ(file.size(), dataEnd + 2);
            EXPECT_EQ(file[dataEnd], 0);
            EXPECT_EQ(file[dataEnd + 1], 0);
        }
    }
}

TEST_F(TiffWriteTest, StoredImagesLoadBackUnchanged) {
    for (std::uint32_t depth : {1u, 4u, 8u, 24u}) {
        for (int compression : {0, 1}) {
            for (auto size : {std::pair{37, 23}, std::pair{3, 3}, std::pair{300, 90}}) {
                SCOPED_TRACE(testing::Message() << depth << " bits, compression " << compression
                                                << ", " << size.first << "x" << size.second);
                ZDib image = pattern(size.first, size.second, depth);
                std::string path = store(image, compression);
                ASSERT_EQ(image.error, 0);
                ZDib back;
                LoadTIFF(back, path, 0);
                ASSERT_EQ(back.error, 0);
                EXPECT_EQ(back.depth, depth);
                EXPECT_EQ(test::toRgb(back), test::toRgb(image));
            }
        }
    }
}

TEST_F(TiffWriteTest, LzwWorstCaseEstimateRefusesTallNarrowStrips) {
    // Five pixels wide: 1638 rows per strip of 8 bytes estimate 18284 bytes.
    ZDib narrow = pattern(5, 5000, 8);
    std::string path = dir_.path("narrow.tif");
    test::writeFile(path, {1, 2, 3});
    StoreTIFF(narrow, path, 1, false);
    EXPECT_EQ(narrow.error, err::OperationFailure);
    EXPECT_EQ(test::readFile(path), (Bytes{1, 2, 3})) << "the old file stays as it was";

    // Ten pixels wide: 819 rows of 13 bytes estimate 14923.
    ZDib wider = pattern(10, 5000, 8);
    StoreTIFF(wider, path, 1, false);
    EXPECT_EQ(wider.error, 0);
    ZDib back;
    LoadTIFF(back, path, 0);
    EXPECT_EQ(test::toRgb(back), test::toRgb(wider));

    // 300 rows make fewer than three strips, so each row is a strip.
    ZDib shorter = pattern(5, 300, 8);
    StoreTIFF(shorter, path, 1, false);
    EXPECT_EQ(shorter.error, 0);
    EXPECT_EQ(find(test::readFile(path), 8, 278)->value, 1u);

    // Uncompressed, the narrow image is fine.
    StoreTIFF(narrow, path, 0, false);
    EXPECT_EQ(narrow.error, 0);
}

TEST_F(TiffWriteTest, WideImagesStoreTheirSizeAsLong) {
    // Wider than the engine creates images, as a caller's own block may be.
    ZDib image;
    image.Attach(test::HandBuiltDib(70000, 3, 1).take(), true, false, DepthRule::Any);
    Bytes file = test::readFile(store(image, 0));
    ASSERT_EQ(image.error, 0);
    Entry width = *find(file, 8, 256);
    EXPECT_EQ(width.type, kLong);
    EXPECT_EQ(width.value, 70000u);
    EXPECT_EQ(find(file, 8, 257)->type, kShort);
    // Reading it back stops at the engine's side limit.
    ZDib back;
    LoadTIFF(back, dir_.path("out.tif"), 0);
    EXPECT_EQ(back.error, err::BadArea);
}

TEST_F(TiffWriteTest, AppendingAddsImagesAndKeepsEarlierOnes) {
    std::vector<ZDib> images;
    images.push_back(pattern(30, 20, 8, 1));
    images.push_back(pattern(13, 7, 24, 2));
    images.push_back(pattern(8, 9, 1, 3));
    images.push_back(pattern(21, 4, 4, 4));
    std::string path = store(images[0], 1);
    ASSERT_EQ(images[0].error, 0);
    for (std::size_t i = 1; i < images.size(); ++i) {
        StoreTIFF(images[i], path, static_cast<int>(i % 2), true);
        ASSERT_EQ(images[i].error, 0);
        int count = 0;
        EXPECT_EQ(CountFileImages(path, kFormatTiff, count), 0);
        EXPECT_EQ(count, static_cast<int>(i + 1));
    }
    for (std::size_t i = 0; i < images.size(); ++i) {
        SCOPED_TRACE(i);
        ZDib back;
        LoadTIFF(back, path, static_cast<int>(i + 1));
        ASSERT_EQ(back.error, 0);
        EXPECT_EQ(test::toRgb(back), test::toRgb(images[i]));
    }
}

TEST_F(TiffWriteTest, AppendingNeedsAnIntactLittleEndianTiff) {
    ZDib image = pattern(6, 5, 8);
    StoreTIFF(image, dir_.path("absent.tif"), 0, true);
    EXPECT_EQ(image.error, err::WriteFailed);

    const Image plain{basic(4, 3, 8), {Bytes(12, 1)}};
    const Bytes big = fileOf(plain, true);
    std::string bigPath = write(big, "big.tif");
    StoreTIFF(image, bigPath, 0, true);
    EXPECT_EQ(image.error, err::BadFile);
    EXPECT_EQ(test::readFile(bigPath), big);

    Bytes broken = fileOf(plain);
    broken[4] = 0xF0;  // first directory beyond the end
    TiffFile loop;
    loop.add(plain);
    loop.put32(loop.lastLink(), 8);
    for (const Bytes& bad : {broken, loop.bytes(), Bytes{'I', 'I', 42}}) {
        StoreTIFF(image, write(bad, "bad.tif"), 0, true);
        EXPECT_EQ(image.error, err::BadFile);
    }
}

TEST_F(TiffWriteTest, AppendingToAForeignFileFollowsItsChain) {
    TiffFile file;
    file.add({basic(4, 3, 8), {Bytes(12, 1)}}).add({basic(4, 3, 8), {Bytes(12, 2)}});
    file.bytes().push_back(0x77);  // odd length: the new directory starts at an odd offset
    std::string path = write(file.bytes());
    ZDib image = pattern(6, 5, 4);
    StoreTIFF(image, path, 1, true);
    ASSERT_EQ(image.error, 0);
    int count = 0;
    EXPECT_EQ(CountFileImages(path, kFormatTiff, count), 0);
    EXPECT_EQ(count, 3);
    ZDib second, third;
    LoadTIFF(second, path, 2);
    LoadTIFF(third, path, 3);
    EXPECT_EQ(rows(second, 4)[0], Bytes(4, 2));
    EXPECT_EQ(test::toRgb(third), test::toRgb(image));
}

TEST_F(TiffWriteTest, BadRequestsAreRefused) {
    ZDib twoRows = pattern(10, 2, 8);
    std::string path = store(twoRows, 0);
    EXPECT_EQ(twoRows.error, err::InvalidPicture);
    struct stat info {};
    EXPECT_NE(::stat(path.c_str(), &info), 0) << "nothing is written";

    ZDib image = pattern(6, 5, 8);
    store(image, 2);
    EXPECT_EQ(image.error, err::BadCompression);

    ZDib empty;
    empty.height = 5;
    store(empty, 0);
    EXPECT_EQ(empty.error, err::NoBitmap);

    StoreTIFF(image, dir_.path("no/such/dir.tif"), 0, false);
    EXPECT_EQ(image.error, err::WriteFailed);
}

}  // namespace
}  // namespace pm32
