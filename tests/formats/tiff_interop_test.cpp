#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "formats/count_images.h"
#include "formats/format_codes.h"
#include "formats/tiff.h"
#include "tests/support/peer_tools.h"
#include "tests/support/rgb_image.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

// Checks our reader against ImageMagick and libtiff's tools on files they
// write, and checks that they read what we write.
class TiffInteropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::convertTool().empty())
            PM32_MISSING_PEER() << "ImageMagick's convert was not found";
        if (test::run("command -v tiffcp tiffinfo ppm2tiff pal2rgb >/dev/null") != 0)
            PM32_MISSING_PEER() << "libtiff's tools were not found";
    }

    std::string path(const std::string& name) const { return dir_.path(name); }

    bool convert(const std::string& arguments, const std::string& target) {
        return test::run(test::quoted(test::convertTool()) + " " + arguments + " " +
                         test::quoted(target) + " 2>/dev/null") == 0;
    }

    bool tool(const std::string& command) { return test::run(command + " 2>/dev/null") == 0; }

    // ImageMagick's decoding of one image of a file.
    std::optional<test::RgbImage> frame(const std::string& file, int index) {
        std::string ppm = path("frame.ppm");
        std::string command = test::quoted(test::convertTool()) + " " +
                              test::quoted(file + "[" + std::to_string(index) + "]") +
                              " -depth 8 " + test::quoted("ppm:" + ppm) + " 2>/dev/null";
        if (test::run(command) != 0) return std::nullopt;
        return test::readPpm(ppm);
    }

    // libtiff's decoding of one image of a file: extracted by tiffcp, turned
    // into plain RGB by tiff2rgba and read out by ImageMagick.
    std::optional<test::RgbImage> libtiffFrame(const std::string& file, int index) {
        std::string one = path("one.tif"), rgb = path("rgb.tif");
        if (!tool("tiffcp " + test::quoted(file + "," + std::to_string(index)) + " " +
                  test::quoted(one)) ||
            !tool("tiff2rgba -n " + test::quoted(one) + " " + test::quoted(rgb)))
            return std::nullopt;
        return frame(rgb, 0);
    }

    // What tiffinfo says about a file, and what it complains about.
    struct Info {
        int status;
        std::string text;
        std::string complaints;
    };
    Info tiffinfo(const std::string& file) {
        std::string out = path("info.txt"), errors = path("info.err");
        int status = test::run("tiffinfo -D " + test::quoted(file) + " >" + test::quoted(out) +
                               " 2>" + test::quoted(errors));
        return {status, test::readText(out), test::readText(errors)};
    }

    // Our image number against the peers' zero-based index.
    void expectLoadsLikePeers(const std::string& file, int imageNumber, int index) {
        ZDib image;
        LoadTIFF(image, file, imageNumber);
        ASSERT_EQ(image.error, 0);
        test::RgbImage ours = test::toRgb(image);
        auto libtiff = libtiffFrame(file, index);
        auto magick = frame(file, index);
        ASSERT_TRUE(libtiff.has_value());
        ASSERT_TRUE(magick.has_value());
        EXPECT_EQ(ours, *libtiff) << "libtiff: " << test::describeDifference(ours, *libtiff);
        EXPECT_EQ(ours, *magick) << "ImageMagick: " << test::describeDifference(ours, *magick);
    }

    // Peers must read a file we wrote without complaint and to our pixels,
    // directly and through libtiff's uncompressed copy.
    void expectPeersReadOurFile(const std::string& file, const std::vector<const ZDib*>& images) {
        Info info = tiffinfo(file);
        EXPECT_EQ(info.status, 0);
        EXPECT_EQ(info.complaints, "");
        std::string copy = path("copy.tif");
        ASSERT_TRUE(tool("tiffcp -c none " + test::quoted(file) + " " + test::quoted(copy)));
        for (std::size_t i = 0; i < images.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "image " << i);
            test::RgbImage ours = test::toRgb(*images[i]);
            const auto index = static_cast<int>(i);
            for (auto theirs :
                 {frame(file, index), frame(copy, index), libtiffFrame(file, index)}) {
                ASSERT_TRUE(theirs.has_value());
                EXPECT_EQ(ours, *theirs) << test::describeDifference(ours, *theirs);
            }
        }
    }

    test::TempDir dir_;
};

constexpr const char* kPlasma = "-size 37x23 -seed 7 plasma:fractal";

struct Kind {
    const char* name;
    const char* options;
    const char* photometric;  // as tiffinfo names it
    std::uint32_t depth;
};

// Palette kinds reduce to 8 bits after choosing colours, so their maps hold
// whole multiples of 257, on which every reader agrees.
const Kind kKinds[] = {
    {"true colour", "-depth 8 -type TrueColor", "RGB color", 24},
    {"256 colours", "-dither None -colors 200 -depth 8 -type Palette", "palette", 8},
    {"16 colours", "-dither None -colors 16 -depth 8 -type Palette", "palette", 4},
    {"2 colours", "-dither None -colors 2 -depth 8 -type Palette", "palette", 1},
    {"grey", "-colorspace Gray -depth 8", "min-is-black", 8},
    {"grey 16 levels", "-colorspace Gray -depth 4", "min-is-black", 4},
    {"bilevel", "-type Bilevel -depth 1", "min-is-black", 1},
    {"grey white is zero", "-colorspace Gray -depth 8 -define quantum:polarity=min-is-white",
     "min-is-white", 8},
    {"bilevel white is zero", "-type Bilevel -depth 1 -define quantum:polarity=min-is-white",
     "min-is-white", 1},
};

struct Scheme {
    const char* options;
    const char* name;  // as tiffinfo names it
};

const Scheme kSchemes[] = {{"-compress None", "None"},
                           {"-compress RLE", "PackBits"},
                           {"-compress LZW -define tiff:predictor=1", "LZW"}};

TEST_F(TiffInteropTest, FilesWrittenByImageMagickLoadToItsPixels) {
    for (const Kind& kind : kKinds) {
        for (const Scheme& scheme : kSchemes) {
            // True colour PackBits is refused; see the next test.
            if (kind.depth == 24 && std::string(scheme.name) == "PackBits") continue;
            for (const char* endian : {"lsb", "msb"}) {
                SCOPED_TRACE(testing::Message()
                             << kind.name << ", " << scheme.name << ", " << endian);
                std::string file = path("peer.tif");
                ASSERT_TRUE(
                    convert(std::string(kPlasma) + " " + kind.options + " " + scheme.options +
                                " -define tiff:rows-per-strip=5 -define tiff:endian=" + endian,
                            file));
                // The file must have the form the case is about, or the case proves nothing.
                std::string info = tiffinfo(file).text;
                ASSERT_NE(info.find(std::string("Compression Scheme: ") + scheme.name),
                          std::string::npos);
                ASSERT_NE(info.find(std::string("Photometric Interpretation: ") + kind.photometric),
                          std::string::npos);
                ASSERT_EQ(test::readFile(file)[0], std::string(endian) == "msb" ? 'M' : 'I');
                expectLoadsLikePeers(file, 0, 0);
            }
        }
    }
}

TEST_F(TiffInteropTest, TrueColourPackBitsIsRefused) {
    std::string file = path("rgb-packbits.tif");
    ASSERT_TRUE(convert(std::string(kPlasma) + " -depth 8 -type TrueColor -compress RLE", file));
    ZDib image;
    LoadTIFF(image, file, 0);
    EXPECT_EQ(image.error, err::OperationFailure);
}

TEST_F(TiffInteropTest, FilesRewrittenByLibtiffLoadToTheirPixels) {
    std::string ppm = path("source.ppm");
    ASSERT_TRUE(convert(std::string(kPlasma) + " -depth 8 -type TrueColor", "ppm:" + ppm));
    std::string rgb = path("rgb.tif");
    ASSERT_TRUE(tool("ppm2tiff -c lzw -r 3 " + test::quoted(ppm) + " " + test::quoted(rgb)));
    expectLoadsLikePeers(rgb, 0, 0);

    std::string palette = path("palette.tif");
    ASSERT_TRUE(convert(std::string(kPlasma) + " -dither None -colors 100 -depth 8 -type Palette " +
                            "-compress None",
                        palette));
    std::string expanded = path("expanded.tif");
    ASSERT_TRUE(tool("pal2rgb -c lzw " + test::quoted(palette) + " " + test::quoted(expanded)));
    expectLoadsLikePeers(expanded, 0, 0);

    std::string grey = path("grey.tif");
    ASSERT_TRUE(convert(std::string(kPlasma) + " -colorspace Gray -depth 8 -compress None", grey));
    for (const std::string& source : {rgb, palette, grey}) {
        for (const char* compression : {"none", "packbits", "lzw"}) {
            for (const char* order : {"-B", "-L"}) {
                if (source == rgb && std::string(compression) == "packbits") continue;
                SCOPED_TRACE(testing::Message() << source << " " << compression << " " << order);
                std::string copy = path("copy.tif");
                ASSERT_TRUE(tool(std::string("tiffcp -c ") + compression + " " + order + " -r 4 " +
                                 test::quoted(source) + " " + test::quoted(copy)));
                expectLoadsLikePeers(copy, 0, 0);
            }
        }
    }
}

TEST_F(TiffInteropTest, FilesStoredLeastSignificantBitFirstLoadToTheirPixels) {
    std::string bilevel = path("bilevel.tif"), grey = path("grey.tif");
    ASSERT_TRUE(convert(std::string(kPlasma) + " -type Bilevel -depth 1 -compress None", bilevel));
    ASSERT_TRUE(convert(std::string(kPlasma) + " -colorspace Gray -depth 8 -compress None", grey));
    for (const std::string& source : {bilevel, grey}) {
        for (const char* compression : {"none", "packbits", "lzw"}) {
            SCOPED_TRACE(testing::Message() << source << " " << compression);
            std::string copy = path("lsb.tif");
            ASSERT_TRUE(tool(std::string("tiffcp -f lsb2msb -c ") + compression + " -r 5 " +
                             test::quoted(source) + " " + test::quoted(copy)));
            ASSERT_NE(tiffinfo(copy).text.find("lsb-to-msb"), std::string::npos);
            expectLoadsLikePeers(copy, 0, 0);
        }
    }
}

TEST_F(TiffInteropTest, SamplesTheReaderCannotTakeAreRefused) {
    std::string rgb = path("rgb.tif");
    ASSERT_TRUE(convert(std::string(kPlasma) + " -depth 8 -type TrueColor -compress None", rgb));
    struct Case {
        const char* name;
        std::string make;  // a command that writes the file
    };
    const std::string file = path("refused.tif");
    const std::string convertTo =
        test::quoted(test::convertTool()) + " " + kPlasma + " -type TrueColor -compress None ";
    const Case cases[] = {
        {"16-bit RGB", convertTo + "-depth 16 " + test::quoted(file)},
        // ImageMagick 6.9 writes the file but reports a predictor tag it could not set.
        {"floating-point RGB", convertTo + "-define quantum:format=floating-point -depth 32 " +
                                   test::quoted(file) + "; tiffinfo " + test::quoted(file) +
                                   " | grep -q 'IEEE floating point'"},
        {"separate planes", "tiffcp -p separate " + test::quoted(rgb) + " " + test::quoted(file)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(tool(c.make));
        ZDib image;
        LoadTIFF(image, file, 0);
        EXPECT_EQ(image.error, err::BadFile);
        EXPECT_EQ(image.handle, 0u);
    }
    // The interleaved 8-bit original still loads.
    expectLoadsLikePeers(rgb, 0, 0);
}

TEST_F(TiffInteropTest, ImageNumberPicksAnImageOfAMultiImageFile) {
    std::string file = path("pages.tif");
    ASSERT_TRUE(
        convert("-size 31x17 -seed 1 plasma:fractal -depth 8 -type TrueColor "
                "-size 20x30 -seed 2 plasma:fractal -dither None -colors 60 -type Palette "
                "-size 9x9 gradient:black-white -colorspace Gray -depth 8 "
                "-compress LZW -define tiff:predictor=1",
                file));
    int count = 0;
    ASSERT_EQ(CountFileImages(file, kFormatTiff, count), 0);
    ASSERT_EQ(count, 3);
    expectLoadsLikePeers(file, 1, 0);
    expectLoadsLikePeers(file, 2, 1);
    expectLoadsLikePeers(file, 3, 2);
    ZDib beyond;
    LoadTIFF(beyond, file, 4);
    EXPECT_EQ(beyond.error, err::BadFile);

    // libtiff joins files into one as well, in the other byte order.
    std::string joined = path("joined.tif");
    ASSERT_TRUE(tool("tiffcp -B -c packbits " + test::quoted(file) + " " + test::quoted(file) +
                     " " + test::quoted(joined)));
    expectLoadsLikePeers(joined, 5, 4);
}

// ImageMagick keeps 16-bit colour levels that are not multiples of 257 and
// rounds them; the reader takes their high byte, as libtiff does.
TEST_F(TiffInteropTest, ColorMapLevelsBetweenMultiplesOf257TakeTheirHighByte) {
    std::string file = path("fine-map.tif");
    ASSERT_TRUE(convert(std::string(kPlasma) + " -dither None -colors 50 -type Palette", file));
    ZDib image;
    LoadTIFF(image, file, 0);
    ASSERT_EQ(image.error, 0);
    auto libtiff = libtiffFrame(file, 0);
    ASSERT_TRUE(libtiff.has_value());
    test::RgbImage ours = test::toRgb(image);
    EXPECT_EQ(ours, *libtiff) << test::describeDifference(ours, *libtiff);
    EXPECT_NE(ours, frame(file, 0)) << "the case needs a map ImageMagick rounds differently";
}

// An image with a distinctive table and pixels at every depth.
ZDib pattern(std::int32_t width, std::int32_t height, std::uint32_t depth, unsigned seed) {
    ZDib image;
    image.Create(width, height, depth, 0);
    std::vector<PALETTEENTRY> table;
    for (std::uint32_t i = 0; i < image.colorsUsed; ++i)
        table.push_back({static_cast<std::uint8_t>(i * 37 + seed),
                         static_cast<std::uint8_t>(250 - i), static_cast<std::uint8_t>(i * 5), 0});
    image.SetPalette(table, true);
    platform::Locked block(image.handle);
    std::uint8_t* pixels = block.data() + image.PixelOffset();
    for (std::size_t i = 0; i < image.PixelBytes(); ++i)
        pixels[i] = static_cast<std::uint8_t>((i * 131 + i / 7 + seed) ^ (i >> 3));
    return image;
}

TEST_F(TiffInteropTest, PeersReadWhatWeWrite) {
    struct Size {
        std::int32_t width, height;
    };
    for (std::uint32_t depth : {1u, 4u, 8u, 24u}) {
        for (int compression : {0, 1}) {
            for (Size size : {Size{37, 23}, Size{5, 3}, Size{300, 90}}) {
                SCOPED_TRACE(testing::Message() << depth << " bits, compression " << compression
                                                << ", " << size.width << "x" << size.height);
                ZDib image = pattern(size.width, size.height, depth, 3);
                std::string file = path("ours.tif");
                StoreTIFF(image, file, compression, false);
                ASSERT_EQ(image.error, 0);
                expectPeersReadOurFile(file, {&image});
            }
        }
    }
}

TEST_F(TiffInteropTest, PeersReadEveryImageAfterAppending) {
    std::vector<ZDib> images;
    images.push_back(pattern(40, 30, 8, 1));
    images.push_back(pattern(17, 11, 24, 2));
    images.push_back(pattern(23, 9, 1, 3));
    images.push_back(pattern(15, 8, 4, 4));
    std::string file = path("appended.tif");
    StoreTIFF(images[0], file, 0, false);
    ASSERT_EQ(images[0].error, 0);
    for (std::size_t i = 1; i < images.size(); ++i) {
        StoreTIFF(images[i], file, static_cast<int>(i % 2), true);
        ASSERT_EQ(images[i].error, 0);
    }
    std::vector<const ZDib*> all;
    for (const ZDib& image : images) all.push_back(&image);
    expectPeersReadOurFile(file, all);
}

TEST_F(TiffInteropTest, AppendingToALibtiffFileKeepsItReadable) {
    std::string file = path("theirs.tif");
    ASSERT_TRUE(convert(std::string(kPlasma) + " -depth 8 -type TrueColor -compress LZW "
                                               "-define tiff:predictor=1",
                        file));
    auto first = frame(file, 0);
    ASSERT_TRUE(first.has_value());
    ZDib added = pattern(12, 10, 8, 5);
    StoreTIFF(added, file, 1, true);
    ASSERT_EQ(added.error, 0);

    Info info = tiffinfo(file);
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.complaints, "");
    EXPECT_EQ(frame(file, 0), first);
    EXPECT_EQ(frame(file, 1), test::toRgb(added));
}

}  // namespace
}  // namespace pm32
