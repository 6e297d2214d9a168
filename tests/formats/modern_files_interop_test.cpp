#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

// libjpeg's header needs <cstdio> before it.
#include <jpeglib.h>

#include "formats/count_images.h"
#include "formats/dispatch.h"
#include "formats/format_codes.h"
#include "tests/support/peer_tools.h"
#include "tests/support/rgb_image.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

// The colour transparency shows, as 0x00BBGGRR, and what a peer is told.
constexpr std::uint32_t kBackColor = 0x2080C0;
constexpr const char* kBackground = "#C08020";
// Its grey by the 0.30/0.59/0.11 weights: 0.3 x 192 + 0.59 x 128 + 0.11 x 32,
// truncated, is 136.
constexpr const char* kGreyBackground = "#888888";

// A file the peers write in a form of today.
struct ModernCase {
    const char* name;  // its extension names the format
    const char*
        made;  // the shell command: %C convert, %A the RGBA source, %R the RGB one, %O the file
    std::uint32_t depth;  // what it loads as with modern files wanted
    bool grey;            // laid over the grey of the colour
    ErrorNumber today;    // what a load without modern files gives: a refusal, or 0
    bool sameAsToday;     // a form read today, which loads exactly as it did
    int tolerance;        // levels a sample may differ from the peer's by, where rounding differs
};

const ModernCase kCases[] = {
    // PNG: alpha onto 24 bits or 8-bit grey, tRNS into the colour table, 2-bit palettes to 4.
    {"rgba.png", "%C %A -depth 8 PNG32:%O", 24, false, err::InvalidPicture, false, 1},
    {"rgba16.png", "%C %A -depth 16 PNG64:%O", 24, false, err::InvalidPicture, false, 1},
    {"interlaced.png", "%C %A -depth 8 -interlace PNG PNG32:%O", 24, false, err::InvalidPicture,
     false, 1},
    {"greyalpha.png", "%C %A -colorspace gray -depth 8 -define png:color-type=4 %O", 8, true,
     err::InvalidPicture, false, 1},
    {"palette2.png", "%C %R -colors 4 -depth 2 %O", 4, false, err::InvalidPicture, false, 0},
    {"trns.png", "%C %A -colors 16 PNG8:%O", 8, false, 0, false, 0},
    // GIF of 2-bit colour resolution (ImageMagick writes 8; the field is set to 2 bits).
    {"twobit.gif", "%C %R -colors 4 %O && printf '\\221' | dd of=%O bs=1 seek=10 conv=notrunc", 4,
     false, err::BadDepth, false, 0},
    // BMP version 5 with an alpha mask.
    {"alpha.bmp", "%C %A -depth 8 BMP:%O", 24, false, err::BadFile, false, 1},
    // CMYK JPEG, inverted with Adobe's marker.
    {"cmyk.jpg", "%C %R -colorspace CMYK -quality 95 %O", 24, false, err::OutOfMemory, false, 0},
    // TIFF through libtiff.
    {"deflate.tif", "tiffcp -c zip %A %O", 24, false, err::TiffCompressionUnsupported, false, 1},
    {"predictor.tif", "tiffcp -c lzw:2 %A %O", 24, false, err::BadFile, false, 1},
    {"jpeg.tif", "tiffcp -c jpeg %R %O", 24, false, err::TiffCompressionUnsupported, false, 0},
    {"tiled.tif", "tiffcp -t %R %O", 24, false, err::BadFile, false, 0},
    {"planar.tif", "tiffcp -p separate %A %O", 24, false, err::BadFile, false, 1},
    {"sixteen.tif", "%C %A -depth 16 -compress none %O", 24, false, err::BadFile, false, 1},
    {"float.tif",
     "%C %A -define quantum:format=floating-point -depth 32 -compress zip -define "
     "tiff:predictor=3 %O",
     24, false, err::TiffCompressionUnsupported, false, 1},
    {"grey16.tif", "%C %A -colorspace gray -depth 16 -compress none %O", 8, true, err::BadFile,
     false, 1},
    // Forms read today stay exactly as they are.
    {"rgba.tga", "%C %A -depth 8 %O", 24, false, 0, true, 0},
    {"lzw.tif", "%C %R -compress lzw -define tiff:predictor=1 %O", 24, false, 0, true, 0},
};

class ModernFilesInterop : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::convertTool().empty())
            PM32_MISSING_PEER() << "ImageMagick's convert was not found";
        if (test::run("command -v tiffcp >/dev/null") != 0)
            PM32_MISSING_PEER() << "libtiff's tools were not found";
        // Every level of alpha over a checkerboard, and the same without alpha.
        ASSERT_EQ(run("%C -size 37x23 gradient:'rgba(255,0,0,0)-rgba(0,0,255,1)' \\( -size 37x23 "
                      "pattern:checkerboard -alpha set -channel A -evaluate set 60% +channel \\) "
                      "-composite -depth 8 -compress none %A && %C %A -alpha off %R",
                      ""),
                  0);
    }

    int run(std::string command, const std::string& target) {
        const std::pair<const char*, std::string> marks[] = {
            {"%C", test::quoted(test::convertTool())},
            {"%A", test::quoted(dir_.path("source-rgba.tif"))},
            {"%R", test::quoted(dir_.path("source-rgb.tif"))},
            {"%O", test::quoted(target)}};
        for (const auto& [mark, value] : marks)
            for (std::size_t at = command.find(mark); at != std::string::npos;
                 at = command.find(mark, at + value.size()))
                command.replace(at, 2, value);
        return test::run(command + " 2>/dev/null");
    }

    // The peer's decoding laid over the background.
    std::optional<test::RgbImage> flattened(const std::string& file, const char* background) {
        const std::string ppm = dir_.path("flat.ppm");
        if (run("%C " + test::quoted(file + "[0]") + " -background '" + background +
                    "' -flatten -depth 8 " + test::quoted("ppm:" + ppm),
                "") != 0)
            return std::nullopt;
        return test::readPpm(ppm);
    }

    static ZDib load(const std::string& file, bool modern) {
        ZLoadParams params;
        params.modern = modern;
        params.backColor = kBackColor;
        ZDib image;
        LoadFile(image, file, kFormatAny, 1, params);
        return image;
    }

    std::string path(const std::string& name) const { return dir_.path(name); }

  private:
    test::TempDir dir_;
};

int largestDifference(const test::RgbImage& ours, const test::RgbImage& theirs) {
    if (ours.width != theirs.width || ours.height != theirs.height) return 256;
    int largest = 0;
    for (std::size_t i = 0; i < ours.rgb.size(); ++i)
        largest = std::max(largest, std::abs(ours.rgb[i] - theirs.rgb[i]));
    return largest;
}

TEST_F(ModernFilesInterop, FilesOfTodayLoadAsThePeersShowThemAndAreRefusedAsEverWithout) {
    for (const ModernCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string file = path(c.name);
        ASSERT_EQ(run(c.made, file), 0) << c.made;

        const ZDib today = load(file, false);
        EXPECT_EQ(today.error, c.today);
        EXPECT_EQ(today.handle == 0, c.today != 0);

        const ZDib modern = load(file, true);
        ASSERT_EQ(modern.error, 0);
        EXPECT_EQ(modern.depth, c.depth);
        if (c.sameAsToday) {
            EXPECT_EQ(test::toRgb(modern), test::toRgb(today)) << "a form read today is unchanged";
            continue;
        }
        const std::optional<test::RgbImage> peer =
            flattened(file, c.grey ? kGreyBackground : kBackground);
        ASSERT_TRUE(peer.has_value());
        EXPECT_LE(largestDifference(test::toRgb(modern), *peer), c.tolerance)
            << test::describeDifference(test::toRgb(modern), *peer);
    }
}

// Writes CMYK samples (0 is no ink) as a YCCK JPEG, which carries Adobe's
// marker and so holds the inks inverted; false when libjpeg refuses.
bool writeYcck(const std::string& path, int width, int height, std::vector<std::uint8_t> cmyk) {
    for (std::uint8_t& ink : cmyk) ink = static_cast<std::uint8_t>(255 - ink);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, JCS_YCCK);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = &cmyk[std::size_t{info.next_scanline} * width * 4];
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

TEST_F(ModernFilesInterop, YcckJpegLoadsAsThePeerShowsIt) {
    const std::string cmyk = path("inks.cmyk");
    ASSERT_EQ(run("%C %R -colorspace CMYK -depth 8 " + test::quoted("cmyk:" + cmyk), ""), 0);
    const std::string ycck = path("ycck.jpg");
    ASSERT_TRUE(writeYcck(ycck, 37, 23, test::readFile(cmyk)));

    EXPECT_EQ(load(ycck, false).error, err::OutOfMemory) << "refused as ever";
    const ZDib modern = load(ycck, true);
    ASSERT_EQ(modern.error, 0);
    EXPECT_EQ(modern.depth, 24u);
    const std::optional<test::RgbImage> peer = flattened(ycck, kBackground);
    ASSERT_TRUE(peer.has_value());
    EXPECT_LE(largestDifference(test::toRgb(modern), *peer), 0)
        << test::describeDifference(test::toRgb(modern), *peer);
}

// A BigTIFF file is libtiff's to count and read: every page, each by its number.
TEST_F(ModernFilesInterop, PagesOfALibtiffFileAreCountedAndChosen) {
    const std::string pages = path("pages.tif");
    ASSERT_EQ(run("%C %R \\( %R -negate \\) \\( %R -flop \\) -compress zip TIFF64:%O", pages), 0);
    int count = 0;
    EXPECT_EQ(CountFileImages(pages, kFormatAny, count, false), err::BadFile);
    EXPECT_EQ(CountFileImages(pages, kFormatAny, count, true), 0);
    EXPECT_EQ(count, 3);
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        ZLoadParams params;
        params.modern = true;
        ZDib image;
        LoadFile(image, pages, kFormatTiff, page, params);
        ASSERT_EQ(image.error, 0);
        const std::string ppm = path("page.ppm");
        ASSERT_EQ(run("%C " + test::quoted(pages + "[" + std::to_string(page - 1) + "]") +
                          " -depth 8 " + test::quoted("ppm:" + ppm),
                      ""),
                  0);
        const std::optional<test::RgbImage> peer = test::readPpm(ppm);
        ASSERT_TRUE(peer.has_value());
        EXPECT_EQ(test::toRgb(image), *peer);
    }
    ZLoadParams params;
    params.modern = true;
    ZDib beyond;
    LoadFile(beyond, pages, kFormatTiff, 4, params);
    EXPECT_EQ(beyond.error, err::BadFile);
}

}  // namespace
}  // namespace pm32
