#include "formats/fif.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string>

#include "deco/fif_codec.h"
#include "formats/dispatch.h"
#include "tests/deco/test_pictures.h"
#include "tests/formats/picture_fixtures.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

// Points the engine at one build of the decoder library and runs in a fresh
// folder, where FTT files are looked for; both are put back afterwards.
class FifTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(getcwd(previousFolder_, sizeof previousFolder_), nullptr);
        ASSERT_EQ(chdir(dir_.path("").c_str()), 0);
        useLibrary(DECO32_LIBRARY);
    }
    void TearDown() override {
        unsetenv("PIXMILL_DECO");
        EXPECT_EQ(chdir(previousFolder_), 0);
    }

    static void useLibrary(const std::string& path) { setenv("PIXMILL_DECO", path.c_str(), 1); }

    std::string path(const std::string& name) const { return dir_.path(name); }

    // A FIF of the shaded test picture; returns the picture's pixels.
    std::vector<std::uint8_t> writeFif(const std::string& name, int width = kWidth,
                                       int height = kHeight, deco::EncodeSettings settings = {}) {
        auto rgb = deco::test::shadedPicture(width, height);
        auto fif = deco::encodeFif(rgb.data(), width, height, settings);
        EXPECT_TRUE(fif);
        if (fif) test::writeFile(path(name), *fif);
        return rgb;
    }

    static ZDib load(const std::string& file, const ZLoadParams& params) {
        ZDib image;
        LoadFile(image, file, kFormatAny, 0, params);
        return image;
    }

  private:
    test::TempDir dir_;
    char previousFolder_[4096]{};
};

// Red, green, blue bytes of a loaded image, rows top-down.
std::vector<std::uint8_t> rgbOf(const ZDib& image) {
    std::vector<PALETTEENTRY> table = test::paletteOf(image);
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < image.height; ++y) {
        test::Bytes row = test::pictureRow(image, y, image.rowBytes);
        for (int x = 0; x < image.width; ++x) {
            if (image.depth == 24) {
                rgb.insert(rgb.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
            } else {
                const PALETTEENTRY& e = table[test::indexAt(image, x, y)];
                rgb.insert(rgb.end(), {e.peRed, e.peGreen, e.peBlue});
            }
        }
    }
    return rgb;
}

TEST_F(FifTest, EveryFailureHasItsNumber) {
    writeFif("good.fif");
    deco::EncodeSettings unknownSize;
    unknownSize.sizeUnknown = true;
    writeFif("nosize.fif", kWidth, kHeight, unknownSize);
    deco::EncodeSettings named;
    named.tableName = "table.ftt";
    writeFif("named.fif", kWidth, kHeight, named);
    writeFif("tiny.fif", 3, 3);
    writeFif("wide.fif", 9000, 4);
    test::Bytes good = test::readFile(path("good.fif"));
    test::Bytes newer = good;
    newer[5] = 1;
    test::writeFile(path("newer.fif"), newer);
    test::writeFile(path("cut.fif"), test::Bytes(good.begin(), good.end() - 1));
    test::writeFile(path("empty.fif"), {});
    test::writeText(path("gif.fif"), "GIF89a");
    test::writeText(path("not-a-library.so"), "plain text");

    auto scale3 = [](std::int16_t w, std::int16_t h) {
        ZLoadParams p;
        p.scale = 3;
        p.width = w;
        p.height = h;
        return p;
    };
    ZLoadParams cropBeyond;
    cropBeyond.cropX = kWidth + 1;
    ZLoadParams cropNegative;
    cropNegative.cropY = -1;
    ZLoadParams badOption;
    badOption.options = 5;
    ZLoadParams quarter;
    quarter.scale = 1;
    ZLoadParams fourTimes;
    fourTimes.scale = 2;

    struct Case {
        const char* what;
        std::string library;
        std::string file;
        ZLoadParams params;
        std::function<void()> prepare;
        ErrorNumber expected;
    } cases[] = {
        {"no library anywhere", "/nowhere/libdeco32.so", "good.fif", {}, {}, err::FifDecoderMissing},
        {"a library that does not load",
         path("not-a-library.so"),
         "good.fif",
         {},
         {},
         err::FifDecoderBad},
        {"library version 5", DECO32_VERSION5_LIBRARY, "good.fif", {}, {}, err::FifDecoderVersion},
        {"missing file", DECO32_LIBRARY, "missing.fif", {}, {}, err::FileMissing},
        {"empty file", DECO32_LIBRARY, "empty.fif", {}, {}, err::BadFile},
        {"newer format", DECO32_LIBRARY, "newer.fif", {}, {}, err::FifVersionTooNew},
        {"not a FIF file", DECO32_LIBRARY, "gif.fif", {}, {}, err::FormatNotSupported},
        {"cut short", DECO32_LIBRARY, "cut.fif", {}, {}, err::FifReadFailed},
        {"size unknown, scale 0", DECO32_LIBRARY, "nosize.fif", {}, {}, err::ResolutionUnknown},
        {"size unknown, scale 3", DECO32_LIBRARY, "nosize.fif", scale3(40, 30), {}, 0},
        {"scale 3 without a width",
         DECO32_LIBRARY,
         "good.fif",
         scale3(0, 30),
         {},
         err::BadLoadParameter},
        {"scale 3, negative height",
         DECO32_LIBRARY,
         "good.fif",
         scale3(40, -3),
         {},
         err::BadLoadParameter},
        {"a quarter of 3 pixels", DECO32_LIBRARY, "tiny.fif", quarter, {}, err::BadLoadParameter},
        {"four times 9000 pixels", DECO32_LIBRARY, "wide.fif", fourTimes, {}, err::BadArea},
        {"crop beyond the width",
         DECO32_LIBRARY,
         "good.fif",
         cropBeyond,
         {},
         err::BadLoadParameter},
        {"crop above the top", DECO32_LIBRARY, "good.fif", cropNegative, {}, err::BadLoadParameter},
        {"option 5", DECO32_LIBRARY, "good.fif", badOption, {}, err::BadLoadParameter},
        {"FTT missing", DECO32_LIBRARY, "named.fif", {}, {}, err::FifTableRead},
        {"FTT unreadable",
         DECO32_LIBRARY,
         "named.fif",
         {},
         [&] { test::writeText(path("table.ftt"), "PFTT but nothing more"); },
         err::FifTableRead},
        {"FTT present",
         DECO32_LIBRARY,
         "named.fif",
         {},
         [&] {
             test::writeFile(path("table.ftt"),
                             deco::writeContrastTable(deco::defaultContrastTable()));
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        useLibrary(c.library);
        if (c.prepare) c.prepare();
        std::size_t blocks = platform::LiveBlockCount();
        {
            ZDib image = load(path(c.file), c.params);
            EXPECT_EQ(image.error, c.expected);
            EXPECT_EQ(image.handle != 0, c.expected == 0);
        }
        EXPECT_EQ(platform::LiveBlockCount(), blocks);
    }
}

TEST_F(FifTest, SizesFollowScaleCropAndFastest) {
    auto source = writeFif("photo.fif");
    auto params = [](std::int32_t scale, std::int16_t w, std::int16_t h, std::int16_t x,
                     std::int16_t y, std::int16_t cw, std::int16_t ch, bool fastest) {
        ZLoadParams p;
        p.scale = scale;
        p.width = w;
        p.height = h;
        p.cropX = x;
        p.cropY = y;
        p.cropWidth = cw;
        p.cropHeight = ch;
        p.fastest = fastest;
        return p;
    };
    struct Case {
        const char* what;
        ZLoadParams params;
        int width, height;
    } cases[] = {
        {"as stored", params(0, 0, 0, 0, 0, 0, 0, false), 64, 48},
        {"a quarter", params(1, 0, 0, 0, 0, 0, 0, false), 16, 12},
        {"four times", params(2, 0, 0, 0, 0, 0, 0, false), 256, 192},
        {"any size", params(3, 50, 70, 0, 0, 0, 0, false), 50, 70},
        {"fastest rounds to an octave", params(3, 100, 70, 0, 0, 0, 0, true), 128, 96},
        {"fastest ignores the crop", params(0, 0, 0, 10, 10, 5, 5, true), 64, 48},
        {"crop inside", params(0, 0, 0, 10, 5, 20, 10, false), 20, 10},
        {"crop overruns", params(0, 0, 0, 50, 40, 30, 30, false), 14, 8},
        {"crop corner only", params(0, 0, 0, 60, 0, 0, 0, false), 4, 48},
        {"crop of a quarter", params(1, 0, 0, 4, 4, 100, 2, false), 12, 2},
        {"corner on the edge keeps the width", params(0, 0, 0, 64, 0, 0, 0, false), 64, 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ZDib image = load(path("photo.fif"), c.params);
        ASSERT_EQ(image.error, 0);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.depth, 24u);
    }

    ZDib whole = load(path("photo.fif"), {});
    EXPECT_GE(deco::test::psnr(rgbOf(whole), source), 28.0);
    ZDib part = load(path("photo.fif"), params(0, 0, 0, 10, 5, 20, 10, false));
    auto wholeRgb = rgbOf(whole), partRgb = rgbOf(part);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20 * 3; ++x)
            ASSERT_EQ(partRgb[static_cast<std::size_t>(y) * 60 + x],
                      wholeRgb[static_cast<std::size_t>(y + 5) * kWidth * 3 + 30 + x]);
}

TEST_F(FifTest, OptionsChooseDepthAndTable) {
    auto source = writeFif("photo.fif");
    struct Case {
        std::int32_t options;
        std::uint32_t palette;
        std::uint32_t depth;
        std::size_t maxColors;
        PALETTEENTRY entry;  // expected at entryIndex, for the standard tables
        int entryIndex;
        double minPsnr;
    } cases[] = {
        {0, 0, 24, 0, {}, -1, 28.0},  {1, 0, 8, 256, {}, -1, 26.0},
        {1, 16, 8, 16, {}, -1, 20.0}, {2, 0, 8, 256, {0, 0, 51, 0}, 1, 20.0},
        {3, 0, 4, 16, {}, -1, 20.0},  {4, 0, 4, 16, {255, 0, 0, 0}, 9, 12.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "options " << c.options << " palette " << c.palette);
        ZLoadParams params;
        params.options = c.options;
        params.palette = c.palette;
        ZDib image = load(path("photo.fif"), params);
        ASSERT_EQ(image.error, 0);
        EXPECT_EQ(image.depth, c.depth);
        EXPECT_GE(deco::test::psnr(rgbOf(image), source), c.minPsnr);
        if (c.depth == 24) continue;
        std::set<unsigned> used;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) used.insert(test::indexAt(image, x, y));
        EXPECT_LE(used.size(), c.maxColors);
        EXPECT_GT(used.size(), 4u);
        if (c.entryIndex >= 0) {
            PALETTEENTRY e = test::paletteOf(image)[static_cast<std::size_t>(c.entryIndex)];
            EXPECT_EQ(e.peRed, c.entry.peRed);
            EXPECT_EQ(e.peGreen, c.entry.peGreen);
            EXPECT_EQ(e.peBlue, c.entry.peBlue);
        }
    }
}

TEST_F(FifTest, TheCallbackCountsRowsAndCanStop) {
    writeFif("photo.fif", 40, 35);
    struct Case {
        std::int16_t interval;
        int stopAt;  // the callback that answers stop, 0 for none
        std::vector<int> lines;
    } cases[] = {
        {10, 0, {10, 20, 30}},
        {1, 3, {1, 2, 3}},
        {16, 2, {16, 32}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.interval);
        std::vector<int> lines;
        test::ArmedPump pump(c.interval, [&](int rows) {
            lines.push_back(rows);
            return static_cast<int>(lines.size()) == c.stopAt ? 0 : 1;
        });
        std::size_t blocks = platform::LiveBlockCount();
        {
            ZDib image = load(path("photo.fif"), {});
            EXPECT_EQ(image.error, 0);
            EXPECT_EQ(image.handle != 0, c.stopAt == 0);
        }
        EXPECT_EQ(platform::LiveBlockCount(), blocks);
        EXPECT_EQ(lines, c.lines);
    }
}

}  // namespace
}  // namespace pm32
