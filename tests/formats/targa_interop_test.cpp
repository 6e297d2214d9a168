#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/dib_layout.h"
#include "formats/targa.h"
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

// ImageMagick widens five-bit fields by scaling (17 becomes 139, not 140), so
// files with 15- or 16-bit colours are checked with netpbm alone.
class TargaInteropTest : public test::PeerInteropTest {
  protected:
    TargaInteropTest() : PeerInteropTest("pamtotga tgatoppm", "tgatoppm", LoadTGA) {}

    // ImageMagick 6 keeps a bottom-left file's rows in file order and only
    // records the orientation, so its pixels are compared after orienting.
    std::optional<test::RgbImage> decodeWithConvert(const std::string& file) override {
        std::string ppm = path("convert.ppm");
        if (test::run(test::quoted(test::convertTool()) + " " + test::quoted(file) +
                      " -auto-orient -depth 8 " + test::quoted("ppm:" + ppm) + " 2>/dev/null") != 0)
            return std::nullopt;
        return test::readPpm(ppm);
    }

    // tgatoppm gives 5-bit samples (maxval 31) for 15- and 16-bit colours; they
    // are widened as the reader widens them, so each field is checked exactly.
    std::optional<test::RgbImage> decodeWithNetpbm(const std::string& file) override {
        std::string ppm = path("netpbm.ppm");
        if (test::run("tgatoppm " + test::quoted(file) + " > " + test::quoted(ppm) +
                      " 2>/dev/null") != 0)
            return std::nullopt;
        Bytes bytes = test::readFile(ppm);
        std::istringstream in(std::string(bytes.begin(), bytes.end()));
        std::string magic;
        int width = 0, height = 0, maxval = 0;
        in >> magic >> width >> height >> maxval;
        if (magic != "P6" || (maxval != 31 && maxval != 255) || width <= 0 || height <= 0)
            return std::nullopt;
        auto start = static_cast<std::size_t>(in.tellg()) + 1;
        std::size_t size = static_cast<std::size_t>(width) * height * 3;
        if (bytes.size() < start + size) return std::nullopt;
        test::RgbImage out{width, height, {}};
        for (std::size_t i = 0; i < size; ++i) {
            std::uint8_t v = bytes[start + i];
            out.rgb.push_back(maxval == 31 ? static_cast<std::uint8_t>((v << 3) | (v >> 2)) : v);
        }
        return out;
    }
};

struct PeerFile {
    const char* name;
    std::string command;  // reads the plasma source on its input, writes the Targa file
    std::uint8_t type;
    std::uint8_t pixelDepth;
    std::uint8_t mapEntrySize;
    bool topDown;
    std::uint32_t depth;
    Peers peers;
};

TEST_F(TargaInteropTest, FilesWrittenByPeersLoadToTheirPixels) {
    const std::string im = test::quoted(test::convertTool()) + " ppm:- ";
    const std::string withAlpha = " -alpha set -channel A -fx 'i/w' +channel ";
    const std::string imToPam = test::quoted(test::convertTool()) + " ppm:-" + withAlpha + "pam:-";
    const PeerFile files[] = {
        {"pamtotga colour-mapped run-length", "pamtotga", 9, 8, 24, false, 8, Both},
        {"pamtotga colour-mapped", "pamtotga -norle", 1, 8, 24, false, 8, Both},
        {"pamtotga 15-bit colour map", "pamtotga -cmap16", 9, 8, 15, false, 8, Netpbm},
        {"pamtotga true colour run-length", "pamtotga -rgb", 10, 24, 0, false, 24, Both},
        {"pamtotga true colour", "pamtotga -rgb -norle", 2, 24, 0, false, 24, Both},
        {"pamtotga with alpha", imToPam + " | pamtotga -rgb", 10, 32, 0, false, 24, Both},
        {"ImageMagick colour-mapped", im + "-type Palette tga:-", 1, 8, 24, false, 8, Both},
        {"ImageMagick colour-mapped run-length", im + "-type Palette -compress RLE tga:-", 9, 8, 24,
         false, 8, Both},
        {"ImageMagick true colour", im + "-type TrueColor tga:-", 2, 24, 0, false, 24, Both},
        {"ImageMagick true colour run-length", im + "-type TrueColor -compress RLE tga:-", 10, 24,
         0, false, 24, Both},
        {"ImageMagick top-left origin", im + "-type TrueColor -orient TopLeft tga:-", 2, 24, 0,
         true, 24, Both},
        {"ImageMagick 16 bits", im + "-type TrueColor -depth 5 tga:-", 2, 16, 0, false, 24, Netpbm},
        {"ImageMagick with alpha", im + withAlpha + "tga:-", 2, 32, 0, false, 24, Both},
    };
    for (const PeerFile& peer : files) {
        SCOPED_TRACE(peer.name);
        std::string source = path("source.ppm");
        std::string file = path("peer.tga");
        ASSERT_TRUE(convert("-size 37x23 -seed 7 plasma:fractal -dither None -colors 200", source));
        ASSERT_EQ(test::run("cat " + test::quoted(source) + " | " + peer.command + " > " +
                            test::quoted(file) + " 2>/dev/null"),
                  0);
        // The file must have the form the case is about, or the case proves nothing.
        Bytes bytes = test::readFile(file);
        ASSERT_GE(bytes.size(), 18u);
        ASSERT_EQ(bytes[2], peer.type);
        ASSERT_EQ(bytes[16], peer.pixelDepth);
        ASSERT_EQ(bytes[7], peer.mapEntrySize);
        ASSERT_EQ((bytes[17] & 0x20) != 0, peer.topDown);
        expectLoadsLikePeers(file, peer.depth, peer.peers);
    }
}

// Run-length data whose packets cross row ends in every way: runs and
// literals that spill into the next row, and a literal with exactly one pixel
// left for the next row. No peer writes such packets.
TEST_F(TargaInteropTest, PacketsAcrossRowsDecodeLikePeers) {
    for (std::uint8_t descriptor : {0x00, 0x20}) {
        SCOPED_TRACE(descriptor);
        const std::uint16_t width = 5, height = 4;
        Bytes file(18, 0);
        file[2] = 10;
        writeLe16(&file[12], width);
        writeLe16(&file[14], height);
        file[16] = 24;
        file[17] = descriptor;
        const Bytes packets = {
            0x86, 10, 20, 30,                                    // row 0 and 2 of row 1
            0x03, 1,  2,  3,   4,  5,  6,  7, 8, 9, 11, 12, 13,  // 3 of row 1, 1 of row 2
            0x01, 40, 50, 60,  70, 80, 90,                       // row 2
            0x80, 99, 98, 97,                                    // row 2
            0x81, 0,  0,  255,                                   // end of row 2, 1 of row 3
            0x03, 1,  1,  1,   2,  2,  2,  3, 3, 3, 4,  4,  4};  // rest of row 3
        file.insert(file.end(), packets.begin(), packets.end());
        std::string name = path("packets.tga");
        test::writeFile(name, file);
        expectLoadsLikePeers(name, 24, Both);
    }
}

TEST_F(TargaInteropTest, SixteenBitRunLengthFileDecodesLikePeers) {
    Bytes file(18, 0);
    file[2] = 10;
    writeLe16(&file[12], 4);
    writeLe16(&file[14], 2);
    file[16] = 16;
    file[17] = 0x20;
    const Bytes packets = {0x82, 0xFF, 0x7F, 0x04, 0x1F, 0x00, 0xE0,
                           0x03, 0x00, 0x7C, 0x21, 0x04, 0x00, 0x00};
    file.insert(file.end(), packets.begin(), packets.end());
    std::string name = path("sixteen.tga");
    test::writeFile(name, file);
    expectLoadsLikePeers(name, 24, Both);
}

// An image of the depth with a scattered colour table, runs and busy stretches.
ZDib patternImage(std::int32_t width, std::int32_t height, std::uint32_t depth) {
    return test::PatternImage(width, height, depth, [](std::size_t i) {
        return static_cast<std::uint8_t>(i % 700 < 400 ? i / 300 : (i * 131) ^ (i >> 3));
    });
}

TEST_F(TargaInteropTest, FilesWeWriteDecodeInPeersToOurPixels) {
    struct Size {
        std::int32_t width, height;
    };
    for (std::uint32_t depth : {8u, 24u}) {
        for (int compression : {0, 2}) {
            for (Size size : {Size{37, 23}, Size{2, 2}, Size{5, 3}, Size{300, 4}}) {
                SCOPED_TRACE(testing::Message() << depth << " bits, compression " << compression
                                                << ", " << size.width << "x" << size.height);
                std::string file = path("ours.tga");
                ZDib image = patternImage(size.width, size.height, depth);
                StoreTGA(image, file, compression);
                ASSERT_EQ(image.error, 0);
                expectPeersDecodeTo(file, test::toRgb(image), Both);
            }
        }
    }
}

}  // namespace
}  // namespace pm32
