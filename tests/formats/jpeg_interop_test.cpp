#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "formats/bmp.h"
#include "formats/jpeg.h"
#include "platform/global_memory.h"
#include "tests/formats/picture_fixtures.h"
#include "tests/support/peer_tools.h"
#include "tests/support/rgb_image.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using test::Bytes;

// The frame marker (0xC0 baseline, 0xC1 extended, 0xC2 progressive, 0xC9
// arithmetic) and the component count of a JPEG file.
std::pair<int, int> frameOf(const Bytes& file) {
    for (std::size_t at = 2; at + 9 < file.size() && file[at] == 0xFF;) {
        int marker = file[at + 1];
        std::size_t length = (file[at + 2] << 8) | file[at + 3];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return {marker, file[at + 9]};
        at += 2 + length;
    }
    return {0, 0};
}

class JpegInteropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::convertTool().empty())
            PM32_MISSING_PEER() << "ImageMagick's convert was not found";
        if (test::run("command -v djpeg >/dev/null && command -v cjpeg >/dev/null") != 0)
            PM32_MISSING_PEER() << "libjpeg-turbo's djpeg and cjpeg are missing";
    }

    bool convert(const std::string& arguments, const std::string& target) {
        return test::run(test::quoted(test::convertTool()) + " " + arguments + " " +
                         test::quoted(target) + " 2>/dev/null") == 0;
    }

    // djpeg's decoding of the file, read back through the bitmap reader.
    std::optional<test::RgbImage> decodeWithDjpeg(const std::string& file) {
        std::string bmp = path("djpeg.bmp");
        if (test::run("djpeg -bmp -outfile " + test::quoted(bmp) + " " + test::quoted(file) +
                      " 2>/dev/null") != 0)
            return std::nullopt;
        ZDib image;
        LoadBMP(image, bmp);
        if (image.error != 0) return std::nullopt;
        return test::toRgb(image);
    }

    // Loads the file and expects djpeg's pixels; returns our image.
    ZDib expectLoadsLikeDjpeg(const std::string& file, std::uint32_t depth) {
        ZDib image;
        LoadJPEG(image, file);
        EXPECT_EQ(image.error, 0);
        EXPECT_EQ(image.depth, depth);
        auto theirs = decodeWithDjpeg(file);
        EXPECT_TRUE(theirs.has_value());
        if (theirs) {
            test::RgbImage ours = test::toRgb(image);
            EXPECT_EQ(ours, *theirs) << test::describeDifference(ours, *theirs);
        }
        return image;
    }

    std::string path(const std::string& name) const { return dir_.path(name); }

  private:
    test::TempDir dir_;
};

struct PeerJpeg {
    const char* name;
    const char* tool;     // "convert" or "cjpeg"
    const char* options;  // how the source picture is written
    const char* size;
    int frame;
    int components;
};

TEST_F(JpegInteropTest, FilesOfImageMagickAndCjpegLoadToDjpegsPixels) {
    const PeerJpeg cases[] = {
        {"baseline", "convert", "-quality 85", "37x23", 0xC0, 3},
        {"baseline 4:4:4", "convert", "-sampling-factor 1x1", "37x23", 0xC0, 3},
        {"baseline 4:2:2", "convert", "-sampling-factor 2x1", "37x23", 0xC0, 3},
        {"progressive", "convert", "-interlace JPEG", "37x23", 0xC2, 3},
        {"grey", "convert", "-colorspace Gray", "37x23", 0xC0, 1},
        {"grey progressive", "convert", "-colorspace Gray -interlace JPEG", "37x23", 0xC2, 1},
        {"one pixel", "convert", "", "1x1", 0xC0, 3},
        {"odd size", "convert", "-quality 40", "17x9", 0xC0, 3},
        {"cjpeg baseline", "cjpeg", "", "37x23", 0xC0, 3},
        {"cjpeg progressive", "cjpeg", "-progressive", "37x23", 0xC2, 3},
        {"cjpeg grey", "cjpeg", "-grayscale", "37x23", 0xC0, 1},
        {"cjpeg optimised, restarts", "cjpeg", "-optimize -restart 1", "37x23", 0xC0, 3},
        {"cjpeg arithmetic", "cjpeg", "-arithmetic", "37x23", 0xC9, 3},
        {"cjpeg RGB components", "cjpeg", "-rgb", "37x23", 0xC0, 3},
        {"cjpeg quality 5", "cjpeg", "-quality 5 -sample 1x2", "64x48", 0xC1, 3},
    };
    for (const PeerJpeg& peer : cases) {
        SCOPED_TRACE(peer.name);
        std::string source = path("source.ppm");
        ASSERT_TRUE(convert(std::string("-size ") + peer.size + " -seed 7 plasma:fractal", source));
        std::string file = path("peer.jpg");
        if (std::string(peer.tool) == "convert") {
            ASSERT_TRUE(convert(test::quoted(source) + " " + peer.options, file));
        } else {
            ASSERT_EQ(test::run(std::string("cjpeg ") + peer.options + " -outfile " +
                                test::quoted(file) + " " + test::quoted(source) + " 2>/dev/null"),
                      0);
        }
        ASSERT_EQ(frameOf(test::readFile(file)), std::pair(peer.frame, peer.components))
            << "the file must have the form the case is about";
        expectLoadsLikeDjpeg(file, peer.components == 1 ? 8 : 24);
    }
}

TEST_F(JpegInteropTest, FourComponentFilesAreRefusedWith20102) {
    std::string file = path("cmyk.jpg");
    ASSERT_TRUE(convert("-size 20x10 -seed 7 plasma:fractal -colorspace CMYK", file));
    ASSERT_EQ(frameOf(test::readFile(file)).second, 4);
    std::size_t blocks = platform::LiveBlockCount();
    ZDib image;
    LoadJPEG(image, file);
    EXPECT_EQ(image.error, 20102);
    EXPECT_EQ(image.handle, 0u);
    EXPECT_EQ(platform::LiveBlockCount(), blocks);
}

// Writes the picture as a binary PPM, or as a PGM of its red samples when grey.
void writeNetpbm(const test::RgbImage& picture, bool grey, const std::string& file) {
    std::string text = std::string(grey ? "P5\n" : "P6\n") + std::to_string(picture.width) + " " +
                       std::to_string(picture.height) + "\n255\n";
    Bytes bytes(text.begin(), text.end());
    for (std::size_t i = 0; i < picture.rgb.size(); i += grey ? 3 : 1)
        bytes.push_back(picture.rgb[i]);
    test::writeFile(file, bytes);
}

// cjpeg compresses the same picture with the library's defaults, so with the
// same quality and progression djpeg must decode both files alike.
TEST_F(JpegInteropTest, FilesWeWriteDecodeInDjpegLikeCjpegsOfTheSamePicture) {
    for (std::uint32_t depth : {1u, 4u, 8u, 24u}) {
        for (int option : {0, 1, 2, 3}) {
            if (depth == 24 && option >= 2) continue;
            SCOPED_TRACE(testing::Message() << depth << " bits, option " << option);
            ZDib image = test::patternImage(45, 31, depth);
            std::string file = path("ours.jpg");
            StoreJPEG(image, file, 90, option);
            ASSERT_EQ(image.error, 0);
            bool grey = option >= 2;
            bool progressive = option % 2 == 1;
            EXPECT_EQ(frameOf(test::readFile(file)),
                      std::pair(progressive ? 0xC2 : 0xC0, grey ? 1 : 3));
            ZDib ours = expectLoadsLikeDjpeg(file, grey ? 8 : 24);

            std::string source = path("source.pnm");
            writeNetpbm(grey ? test::greyPicture(image) : test::toRgb(image), grey, source);
            std::string peer = path("cjpeg.jpg");
            ASSERT_EQ(
                test::run(std::string("cjpeg -quality 90 ") + (progressive ? "-progressive " : "") +
                          "-outfile " + test::quoted(peer) + " " + test::quoted(source)),
                0);
            auto theirs = decodeWithDjpeg(peer);
            ASSERT_TRUE(theirs.has_value());
            test::RgbImage mine = test::toRgb(ours);
            EXPECT_EQ(mine, *theirs) << test::describeDifference(mine, *theirs);
        }
    }
}

}  // namespace
}  // namespace pm32
