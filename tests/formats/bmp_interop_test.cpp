#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/dib_layout.h"
#include "formats/bmp.h"
#include "tests/support/pattern_image.h"
#include "tests/support/peer_tools.h"
#include "tests/support/rgb_image.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using Bytes = std::vector<std::uint8_t>;

class BmpInteropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::convertTool().empty())
            PM32_MISSING_PEER() << "ImageMagick's convert was not found";
    }

    // Runs convert with the arguments and writes its output to target.
    bool convert(const std::string& arguments, const std::string& target) {
        return test::run(test::quoted(test::convertTool()) + " " + arguments + " " +
                         test::quoted(target) + " 2>/dev/null") == 0;
    }

    void expectLoadsLikeImageMagick(const std::string& file, std::uint32_t depth) {
        ZDib image;
        LoadBMP(image, file);
        ASSERT_EQ(image.error, 0);
        EXPECT_EQ(image.depth, depth);
        auto theirs = test::decodeWithConvert(file);
        ASSERT_TRUE(theirs.has_value());
        test::RgbImage ours = test::toRgb(image);
        EXPECT_EQ(ours, *theirs) << test::describeDifference(ours, *theirs);
    }

    std::string path(const std::string& name) const { return dir_.path(name); }

  private:
    test::TempDir dir_;
};

struct PeerFile {
    const char* name;
    const char* options;  // how the plasma source is reduced
    const char* coder;    // BMP3: Windows 3 info header, BMP2: OS/2 core header
    std::uint32_t depth;
    std::uint32_t headerSize;
    std::uint32_t compression;
};

TEST_F(BmpInteropTest, FilesWrittenByImageMagickLoadToItsPixels) {
    const PeerFile files[] = {
        {"true colour", "-type TrueColor", "BMP3", 24, 40, 0},
        {"256 colours", "-dither None -colors 200 -type Palette -compress None", "BMP3", 8, 40, 0},
        {"16 colours", "-dither None -colors 16 -type Palette -compress None", "BMP3", 4, 40, 0},
        {"bilevel", "-type Bilevel", "BMP3", 1, 40, 0},
        {"two colours", "-dither None -colors 2 -type Palette", "BMP3", 1, 40, 0},
        {"RLE8", "-dither None -colors 200 -type Palette -compress RLE", "BMP3", 8, 40, 1},
        {"RLE8 few colours", "-dither None -colors 9 -type Palette -compress RLE", "BMP3", 8, 40,
         1},
        {"core true colour", "-type TrueColor", "BMP2", 24, 12, 0},
        {"core 256 colours", "-dither None -colors 200 -type Palette", "BMP2", 8, 12, 0},
        {"core 16 colours", "-dither None -colors 16 -type Palette", "BMP2", 4, 12, 0},
        {"core bilevel", "-type Bilevel", "BMP2", 1, 12, 0},
        // ImageMagick's default form: the version 5 header, or version 4 for bilevel images.
        {"V5 true colour", "-type TrueColor", "BMP", 24, 124, 0},
        {"V5 256 colours", "-dither None -colors 200 -type Palette -compress None", "BMP", 8, 124,
         0},
        {"V5 RLE8", "-dither None -colors 200 -type Palette -compress RLE", "BMP", 8, 124, 1},
        {"V5 16 colours", "-dither None -colors 16 -type Palette -compress None", "BMP", 4, 124, 0},
        {"V4 bilevel", "-type Bilevel", "BMP", 1, 108, 0},
    };
    for (const PeerFile& peer : files) {
        SCOPED_TRACE(peer.name);
        std::string file = path("peer.bmp");
        ASSERT_TRUE(convert(std::string("-size 37x23 -seed 7 plasma:fractal ") + peer.options,
                            std::string(peer.coder) + ":" + file));
        // The file must have the form the case is about, or the case proves nothing.
        Bytes bytes = test::readFile(file);
        ASSERT_GE(bytes.size(), 54u);
        ASSERT_EQ(readLe32(&bytes[14]), peer.headerSize);
        if (peer.headerSize >= 40) {
            ASSERT_EQ(readLe32(&bytes[14 + 16]), peer.compression);
        }
        expectLoadsLikeImageMagick(file, peer.depth);
    }
}

TEST_F(BmpInteropTest, VersionFiveFilesWithAlphaStayRefused) {
    std::string file = path("alpha.bmp");
    ASSERT_TRUE(
        convert("-size 37x23 -seed 7 plasma:fractal -alpha on -channel A -evaluate set 50% "
                "+channel",
                "BMP:" + file));
    Bytes bytes = test::readFile(file);
    ASSERT_GE(bytes.size(), 54u);
    ASSERT_EQ(readLe32(&bytes[14]), 124u);
    ASSERT_EQ(readLe16(&bytes[14 + 14]), 32u);
    ZDib image;
    LoadBMP(image, file);
    EXPECT_EQ(image.error, err::BadFile);
    EXPECT_EQ(image.handle, 0u);
}

TEST_F(BmpInteropTest, GradientFilesOfOddWidthLoadToImageMagicksPixels) {
    for (const char* size : {"1x1", "3x2", "17x5", "101x7"}) {
        SCOPED_TRACE(size);
        std::string file = path("gradient.bmp");
        ASSERT_TRUE(convert(std::string("-size ") + size + " gradient:red-blue -type TrueColor",
                            "BMP3:" + file));
        expectLoadsLikeImageMagick(file, 24);
    }
}

// ImageMagick writes no RLE4, so a stream is built here from even-length
// runs, where whole-byte and half-byte placement agree. ImageMagick reads one
// more pair after end-of-bitmap, so two zero bytes follow it.
TEST_F(BmpInteropTest, Rle4FileDecodesLikeImageMagick) {
    const Bytes stream = {4,  0x12, 0,    6,    0xAB, 0xCD, 0xEF, 0,    2, 0x98,
                          0,  0,              // row 0, absolute run padded
                          10, 0x77, 0,    0,  // row 1 ends early
                          0,  4,    0x01, 0x23, 2,    0xF0, 4,    0x5A, 0, 0,  // row 2
                          0,  1,    0,    0};  // rows 3 and 4 stay index 0
    const std::uint32_t width = 12, height = 5;
    Bytes file = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 118, 0, 0, 0};
    Bytes header(40, 0);
    writeLe32(&header[dib::kSize], 40);
    writeLe32(&header[dib::kWidth], width);
    writeLe32(&header[dib::kHeight], height);
    writeLe16(&header[dib::kPlanes], 1);
    writeLe16(&header[dib::kBitCount], 4);
    writeLe32(&header[dib::kCompression], 2);
    writeLe32(&header[dib::kSizeImage], static_cast<std::uint32_t>(stream.size()));
    writeLe32(&header[dib::kClrUsed], 16);
    file.insert(file.end(), header.begin(), header.end());
    for (std::uint8_t i = 0; i < 16; ++i)
        file.insert(file.end(),
                    {static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(i * 5),
                     static_cast<std::uint8_t>(255 - i * 9), 0});
    file.insert(file.end(), stream.begin(), stream.end());
    writeLe32(&file[2], static_cast<std::uint32_t>(file.size()));

    std::string name = path("rle4.bmp");
    test::writeFile(name, file);
    expectLoadsLikeImageMagick(name, 4);
}

// An image of every depth with a distinctive table and pixels.
ZDib patternImage(std::int32_t width, std::int32_t height, std::uint32_t depth) {
    return test::PatternImage(width, height, depth, [](std::size_t i) {
        return static_cast<std::uint8_t>((i * 131 + i / 7) ^ (i >> 3));
    });
}

TEST_F(BmpInteropTest, FilesWeWriteDecodeInImageMagickToOurPixels) {
    struct Size {
        std::int32_t width, height;
    };
    for (std::uint32_t depth : {1u, 4u, 8u, 24u}) {
        for (Size size : {Size{37, 23}, Size{1, 1}, Size{5, 3}, Size{33, 2}}) {
            SCOPED_TRACE(testing::Message()
                         << depth << " bits, " << size.width << "x" << size.height);
            ZDib image = patternImage(size.width, size.height, depth);
            ASSERT_EQ(image.error, 0);
            std::string file = path("ours.bmp");
            StoreBMP(image, file);
            ASSERT_EQ(image.error, 0);
            auto theirs = test::decodeWithConvert(file);
            ASSERT_TRUE(theirs.has_value());
            test::RgbImage ours = test::toRgb(image);
            EXPECT_EQ(ours, *theirs) << test::describeDifference(ours, *theirs);
        }
    }
}

}  // namespace
}  // namespace pm32
