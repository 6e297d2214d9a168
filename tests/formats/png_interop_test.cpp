#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "formats/png.h"
#include "platform/global_memory.h"
#include "tests/formats/picture_fixtures.h"
#include "tests/support/peer_tools.h"
#include "tests/support/rgb_image.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using test::Bytes;

std::uint32_t readBe32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

// What a PNG file's header and chunks say about its form.
struct PngForm {
    int colorType = -1;
    int bitDepth = -1;
    int interlace = -1;
    bool transparency = false;

    bool operator==(const PngForm&) const = default;
};

PngForm formOf(const Bytes& png) {
    PngForm form;
    if (png.size() < 33) return form;
    form.bitDepth = png[24];
    form.colorType = png[25];
    form.interlace = png[28];
    for (std::size_t at = 8; at + 8 <= png.size(); at += 12 + readBe32(&png[at])) {
        if (std::string(png.begin() + static_cast<long>(at) + 4,
                        png.begin() + static_cast<long>(at) + 8) == "tRNS")
            form.transparency = true;
    }
    return form;
}

std::ostream& operator<<(std::ostream& out, const PngForm& form) {
    return out << "colour type " << form.colorType << ", " << form.bitDepth << " bits, interlace "
               << form.interlace << (form.transparency ? ", tRNS" : "");
}

class PngInteropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::convertTool().empty())
            PM32_MISSING_PEER() << "ImageMagick's convert was not found";
    }

    bool convert(const std::string& arguments, const std::string& target) {
        return test::run(test::quoted(test::convertTool()) + " " + arguments + " " +
                         test::quoted(target) + " 2>/dev/null") == 0;
    }

    // ImageMagick's decoding with every sample cut to its high byte, which is
    // what stripping 16-bit samples to 8 does; 8-bit samples come out whole.
    std::optional<test::RgbImage> decodeHighBytes(const std::string& file) {
        std::string ppm = path("peer16.ppm");
        if (!convert(test::quoted(file + "[0]") + " -depth 16", "ppm:" + ppm)) return std::nullopt;
        Bytes bytes = test::readFile(ppm);
        std::istringstream in(std::string(bytes.begin(), bytes.end()));
        std::string magic;
        int width = 0, height = 0, maxval = 0;
        in >> magic >> width >> height >> maxval;
        auto start = static_cast<std::size_t>(in.tellg()) + 1;
        std::size_t samples = static_cast<std::size_t>(width) * height * 3;
        if (magic != "P6" || maxval != 65535 || bytes.size() < start + 2 * samples)
            return std::nullopt;
        test::RgbImage image{width, height, {}};
        for (std::size_t i = 0; i < samples; ++i) image.rgb.push_back(bytes[start + 2 * i]);
        return image;
    }

    std::string path(const std::string& name) const { return dir_.path(name); }

  private:
    test::TempDir dir_;
};

struct PeerPng {
    const char* name;
    std::string source;   // ImageMagick's input and how it is reduced
    std::string coder;    // output coder prefix, or empty
    PngForm form;         // the form the case is about (interlace set per run)
    std::uint32_t depth;  // engine depth, 0 when refused with 20109
};

constexpr const char* kPlasma = "-size 21x13 -seed 3 plasma:fractal";
constexpr const char* kGreyRamp = "-size 16x5 gradient:black-white -colorspace Gray";

TEST_F(PngInteropTest, FilesOfEveryColourTypeAndDepthLoadOrAreRefusedAsMapped) {
    const std::string grey = std::string(kPlasma) + " -colorspace Gray -define png:color-type=0";
    const std::string rgb = std::string(kPlasma) + " -define png:color-type=2";
    const std::string palette =
        std::string(kPlasma) +
        " -dither None -define png:exclude-chunks=bKGD -define png:color-type=3";
    const std::string alpha = " -alpha set -channel A -fx 0.5 +channel";
    const std::string greyTrns =
        std::string(kGreyRamp) + " -transparent black -define png:color-type=0";
    const PeerPng cases[] = {
        {"grey 1", grey + " -define png:bit-depth=1", "", {0, 1}, 8},
        {"grey 2", grey + " -define png:bit-depth=2", "", {0, 2}, 8},
        {"grey 4", grey + " -define png:bit-depth=4", "", {0, 4}, 8},
        {"grey 8", grey + " -define png:bit-depth=8", "", {0, 8}, 8},
        {"grey 16", grey + " -define png:bit-depth=16", "", {0, 16}, 8},
        {"rgb 8", rgb + " -define png:bit-depth=8", "", {2, 8}, 24},
        {"rgb 16", rgb + " -define png:bit-depth=16", "", {2, 16}, 24},
        {"palette 1",
         (std::string(kPlasma) + " -threshold 50% -fill red -opaque white "
                                 "-define png:exclude-chunks=bKGD -define png:color-type=3 "
                                 "-define png:bit-depth=1"),
         "",
         {3, 1},
         1},
        {"palette 2", palette + " -colors 4 -define png:bit-depth=2", "", {3, 2}, 0},
        {"palette 4", palette + " -colors 16 -define png:bit-depth=4", "", {3, 4}, 4},
        {"palette 4, five entries", palette + " -colors 5 -define png:bit-depth=4", "", {3, 4}, 4},
        {"palette 8, short", palette + " -colors 200 -define png:bit-depth=8", "", {3, 8}, 8},
        {"palette 8 with tRNS",
         (std::string(kPlasma) + " -dither None -colors 20 -alpha set -fill none -draw 'color 0,0 "
                                 "point'"),
         "PNG8:",
         {3, 8, -1, true},
         8},
        {"grey alpha 8",
         grey + alpha + " -define png:color-type=4 -define png:bit-depth=8",
         "",
         {4, 8},
         0},
        {"grey alpha 16",
         grey + alpha + " -define png:color-type=4 -define png:bit-depth=16",
         "",
         {4, 16},
         0},
        {"rgba 8",
         rgb + alpha + " -define png:color-type=6 -define png:bit-depth=8",
         "",
         {6, 8},
         0},
        {"rgba 16",
         rgb + alpha + " -define png:color-type=6 -define png:bit-depth=16",
         "",
         {6, 16},
         0},
        {"grey 1 with tRNS", greyTrns + " -define png:bit-depth=1", "", {0, 1, -1, true}, 0},
        {"grey 2 with tRNS", greyTrns + " -define png:bit-depth=2", "", {0, 2, -1, true}, 0},
        {"grey 4 with tRNS", greyTrns + " -define png:bit-depth=4", "", {0, 4, -1, true}, 0},
        {"grey 8 with tRNS", greyTrns + " -define png:bit-depth=8", "", {0, 8, -1, true}, 8},
        {"grey 16 with tRNS", greyTrns + " -define png:bit-depth=16", "", {0, 16, -1, true}, 8},
        {"rgb 8 with tRNS",
         "-size 16x5 gradient:red-blue -transparent red -define png:color-type=2 "
         "-define png:bit-depth=8",
         "",
         {2, 8, -1, true},
         24},
    };
    for (const PeerPng& peer : cases) {
        for (int interlace : {0, 1}) {
            SCOPED_TRACE(testing::Message() << peer.name << (interlace ? ", interlaced" : ""));
            std::string file = path("peer.png");
            ASSERT_TRUE(
                convert(peer.source + (interlace ? " -interlace PNG" : ""), peer.coder + file));
            PngForm expected = peer.form;
            expected.interlace = interlace;
            ASSERT_EQ(formOf(test::readFile(file)), expected) << "the file must have the form";
            std::size_t blocks = platform::LiveBlockCount();
            ZDib image;
            LoadPNG(image, file);
            if (peer.depth == 0) {
                EXPECT_EQ(image.error, 20109);
                EXPECT_EQ(image.handle, 0u);
                EXPECT_EQ(platform::LiveBlockCount(), blocks);
                continue;
            }
            ASSERT_EQ(image.error, 0);
            EXPECT_EQ(image.depth, peer.depth);
            auto theirs = decodeHighBytes(file);
            ASSERT_TRUE(theirs.has_value());
            test::RgbImage ours = test::toRgb(image);
            EXPECT_EQ(ours, *theirs) << test::describeDifference(ours, *theirs);
        }
    }
}

TEST_F(PngInteropTest, FilesWeWriteDecodeInImageMagickAndPassPngcheck) {
    if (test::run("command -v pngcheck >/dev/null") != 0)
        PM32_MISSING_PEER() << "pngcheck is missing";
    for (std::uint32_t depth : {1u, 4u, 8u, 24u}) {
        for (int option : {0, 1, 2, 3}) {
            if (depth == 24 && option >= 2) continue;
            for (auto [width, height] : {std::pair{37, 23}, {1, 1}, {9, 2}}) {
                SCOPED_TRACE(testing::Message() << depth << " bits, option " << option << ", "
                                                << width << "x" << height);
                ZDib image = test::patternImage(width, height, depth);
                std::string file = path("ours.png");
                StorePNG(image, file, option);
                ASSERT_EQ(image.error, 0);
                EXPECT_EQ(test::run("pngcheck -q " + test::quoted(file) + " >/dev/null"), 0);
                auto theirs = decodeHighBytes(file);
                ASSERT_TRUE(theirs.has_value());
                test::RgbImage expected =
                    option >= 2 ? test::greyPicture(image) : test::toRgb(image);
                EXPECT_EQ(*theirs, expected) << test::describeDifference(*theirs, expected);
            }
        }
    }
}

}  // namespace
}  // namespace pm32
