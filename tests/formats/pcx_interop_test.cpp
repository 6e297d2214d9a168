#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/dib_layout.h"
#include "formats/pcx.h"
#include "tests/formats/peer_interop_test.h"
#include "tests/support/pattern_image.h"
#include "tests/support/peer_tools.h"
#include "tests/support/rgb_image.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using test::Both;
using test::ImageMagick;
using test::Netpbm;
using test::Peers;

using Bytes = std::vector<std::uint8_t>;

// ImageMagick 6 shows set bits of one-bit files as black, against the
// file's colours and netpbm, so one-bit files are checked with netpbm alone.
class PcxInteropTest : public test::PeerInteropTest {
  protected:
    PcxInteropTest() : PeerInteropTest("ppmtopcx pcxtoppm", "pcxtoppm", LoadPCX) {}

    std::optional<test::RgbImage> decodeWithNetpbm(const std::string& file) override {
        std::string ppm = path("netpbm.ppm");
        if (test::run("pcxtoppm " + test::quoted(file) + " > " + test::quoted(ppm) +
                      " 2>/dev/null") != 0)
            return std::nullopt;
        return test::readPpm(ppm);
    }
};

struct PeerFile {
    const char* name;
    const char* source;  // convert arguments that make the peer's input
    std::string writer;  // the command that writes the PCX file from it
    std::uint8_t bits;
    std::uint8_t planes;
    std::uint32_t depth;
    Peers peers;
};

TEST_F(PcxInteropTest, FilesWrittenByPeersLoadToTheirPixels) {
    const char* plasma = "-size 37x23 -seed 7 plasma:fractal ";
    const std::string imageMagick = test::quoted(test::convertTool()) + " ppm:- ";
    const PeerFile files[] = {
        {"ppmtopcx 256 colours", "-dither None -colors 200", "ppmtopcx", 8, 1, 8, Both},
        {"ppmtopcx 16 colours packed", "-dither None -colors 16", "ppmtopcx -packed", 4, 1, 4,
         Both},
        {"ppmtopcx two colours packed", "-dither None -colors 2", "ppmtopcx -packed", 1, 1, 1,
         Netpbm},
        {"ppmtopcx black and white", "-monochrome", "ppmtopcx", 1, 1, 1, Netpbm},
        {"ppmtopcx true colour", "", "ppmtopcx -24bit", 8, 3, 24, Both},
        {"ppmtopcx placed off the origin", "-dither None -colors 99", "ppmtopcx -xpos 300 -ypos 40",
         8, 1, 8, Both},
        {"ImageMagick 256 colours", "-dither None -colors 200", imageMagick + "-type Palette pcx:-",
         8, 1, 8, Both},
        {"ImageMagick true colour", "", imageMagick + "-type TrueColor pcx:-", 8, 3, 24, Both},
    };
    for (const PeerFile& peer : files) {
        SCOPED_TRACE(peer.name);
        std::string source = path("source.ppm");
        std::string file = path("peer.pcx");
        ASSERT_TRUE(convert(std::string(plasma) + peer.source, source));
        ASSERT_EQ(test::run(peer.writer + " < " + test::quoted(source) + " > " +
                            test::quoted(file) + " 2>/dev/null"),
                  0);
        // The file must have the form the case is about, or the case proves nothing.
        Bytes bytes = test::readFile(file);
        ASSERT_GE(bytes.size(), 128u);
        ASSERT_EQ(bytes[1], 5);
        ASSERT_EQ(bytes[3], peer.bits);
        ASSERT_EQ(bytes[65], peer.planes);
        bool marker = bytes.size() > 769 && bytes[bytes.size() - 769] == 12;
        ASSERT_EQ(marker, peer.depth == 8);
        expectLoadsLikePeers(file, peer.depth, peer.peers);
    }
}

// A version 5 eight-bit file with a 16-colour header map and no 256-colour
// trailer; pixels are stored literally, 0 to 15 in turn.
Bytes fileWithoutTrailer() {
    const std::uint16_t width = 21, height = 5, bytesPerLine = 22;
    Bytes out(128, 0);
    out[0] = 10;
    out[1] = 5;
    out[2] = 1;
    out[3] = 8;
    writeLe16(&out[8], width - 1);
    writeLe16(&out[10], height - 1);
    for (int i = 0; i < 16; ++i) {
        out[16 + 3 * i] = static_cast<std::uint8_t>(i * 16);
        out[17 + 3 * i] = static_cast<std::uint8_t>(250 - i * 9);
        out[18 + 3 * i] = static_cast<std::uint8_t>(i * 5 + 40);
    }
    out[65] = 1;
    writeLe16(&out[66], bytesPerLine);
    writeLe16(&out[68], 1);
    for (int i = 0; i < height * bytesPerLine; ++i)
        out.push_back(static_cast<std::uint8_t>(i % 16));
    return out;
}

// pcxtoppm refuses such a file; ImageMagick complains of the missing trailer
// but decodes it with the header colours, so its output is taken whatever its
// exit status.
TEST_F(PcxInteropTest, EightBitFileWithoutPaletteMarkerLoadsLikeImageMagick) {
    std::string file = path("no-marker.pcx");
    test::writeFile(file, fileWithoutTrailer());
    ZDib image;
    LoadPCX(image, file);
    ASSERT_EQ(image.error, 0);
    std::string ppm = path("convert.ppm");
    test::run(test::quoted(test::convertTool()) + " " + test::quoted(file) + " -depth 8 " +
              test::quoted("ppm:" + ppm) + " 2>/dev/null");
    auto theirs = test::readPpm(ppm);
    ASSERT_TRUE(theirs.has_value());
    test::RgbImage ours = test::toRgb(image);
    EXPECT_EQ(ours, *theirs) << test::describeDifference(ours, *theirs);
}

// An image of the depth with a scattered colour table, runs of bytes that
// need a count and busy stretches.
ZDib patternImage(std::int32_t width, std::int32_t height, std::uint32_t depth) {
    return test::PatternImage(width, height, depth, [](std::size_t i) {
        return static_cast<std::uint8_t>(i % 9 < 4 ? 0xC5 : (i * 131 + i / 7) ^ (i >> 3));
    });
}

TEST_F(PcxInteropTest, FilesWeWriteDecodeInPeersToOurPixels) {
    struct Size {
        std::int32_t width, height;
    };
    for (std::uint32_t depth : {1u, 4u, 8u, 24u}) {
        for (Size size : {Size{37, 23}, Size{1, 1}, Size{5, 3}, Size{33, 2}, Size{200, 2}}) {
            SCOPED_TRACE(testing::Message()
                         << depth << " bits, " << size.width << "x" << size.height);
            std::string file = path("ours.pcx");
            ZDib image = patternImage(size.width, size.height, depth);
            StorePCX(image, file);
            ASSERT_EQ(image.error, 0);
            expectPeersDecodeTo(file, test::toRgb(image), depth == 1 ? Netpbm : Both);
        }
    }
}

}  // namespace
}  // namespace pm32
