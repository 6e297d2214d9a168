#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "formats/gif.h"
#include "platform/global_memory.h"
#include "tests/support/peer_tools.h"
#include "tests/support/rgb_image.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using Bytes = std::vector<std::uint8_t>;

bool haveTool(const std::string& name) {
    return test::run("command -v " + name + " >/dev/null 2>&1") == 0;
}

// Checks our reader against GIF files made by ImageMagick and by giflib's
// tools, and our writer against both as readers.
class GifInteropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::convertTool().empty())
            PM32_MISSING_PEER() << "ImageMagick's convert was not found";
        if (!haveTool("gifbuild") || !haveTool("giftext") || !haveTool("gif2rgb"))
            PM32_MISSING_PEER() << "giflib's tools were not found";
    }

    std::string path(const std::string& name) const { return dir_.path(name); }

    bool convert(const std::string& arguments, const std::string& target) {
        return test::run(test::quoted(test::convertTool()) + " " + arguments + " " +
                         test::quoted(target) + " 2>/dev/null") == 0;
    }

    // ImageMagick's pixels of image n (from 0) in its own rectangle, which
    // is what our reader returns: the screen size and offsets play no part.
    std::optional<test::RgbImage> frameWithConvert(const std::string& file, int n) {
        std::string ppm = path("frame.ppm");
        std::string command = test::quoted(test::convertTool()) + " " +
                              test::quoted(file + "[" + std::to_string(n) + "]") +
                              " +repage -strip -depth 8 " + test::quoted("ppm:" + ppm) +
                              " 2>/dev/null";
        if (test::run(command) != 0) return std::nullopt;
        return test::readPpm(ppm);
    }

    // giflib's rendering of the logical screen (gif2rgb), as RGB bytes.
    std::optional<test::RgbImage> screenWithGif2rgb(const std::string& file, int width,
                                                    int height) {
        std::string rgb = path("screen.rgb");
        if (test::run("gif2rgb -1 -o " + test::quoted(rgb) + " " + test::quoted(file) +
                      " >/dev/null 2>&1") != 0)
            return std::nullopt;
        Bytes bytes = test::readFile(rgb);
        if (bytes.size() != static_cast<std::size_t>(width) * height * 3) return std::nullopt;
        return test::RgbImage{width, height, bytes};
    }

    // giftext walks every block and skips the image data by its sub-blocks.
    bool giftextAccepts(const std::string& file) {
        std::string out = path("giftext.txt");
        if (test::run("giftext " + test::quoted(file) + " >" + test::quoted(out) + " 2>&1") != 0)
            return false;
        return test::readText(out).find("GIF file terminated normally.") != std::string::npos;
    }

    // gifbuild -d decodes every image in full with giflib (DGifSlurp).
    bool gifbuildDumps(const std::string& file) {
        std::string out = path("dump.txt");
        if (test::run("gifbuild -d " + test::quoted(file) + " >" + test::quoted(out) + " 2>&1") !=
            0)
            return false;
        std::string dump = test::readText(out);
        return dump.find("image bits") != std::string::npos &&
               dump.find("GIF-LIB error") == std::string::npos;
    }

    // Runs gifbuild on a text description; the file is written by giflib.
    // Empty on success, else what gifbuild said.
    std::string gifbuild(const std::string& description, const std::string& target) {
        std::string text = path("description.txt");
        std::string errors = path("gifbuild.txt");
        test::writeText(text, description);
        if (test::run("gifbuild " + test::quoted(text) + " >" + test::quoted(target) + " 2>" +
                      test::quoted(errors)) == 0)
            return {};
        return "gifbuild failed: " + test::readText(errors);
    }

    void expectFrameLikeImageMagick(const std::string& file, int imageNumber, int frame) {
        ZDib image;
        LoadGIF(image, file, imageNumber);
        ASSERT_EQ(image.error, 0);
        auto theirs = frameWithConvert(file, frame);
        ASSERT_TRUE(theirs.has_value());
        test::RgbImage ours = test::toRgb(image);
        EXPECT_EQ(ours, *theirs) << test::describeDifference(ours, *theirs);
    }

  private:
    test::TempDir dir_;
};

TEST_F(GifInteropTest, FilesWrittenByImageMagickLoadToItsPixels) {
    struct PeerFile {
        const char* name;
        const char* source;
        const char* options;
    };
    const PeerFile files[] = {
        {"two colours", "-size 37x23 -seed 7 plasma:fractal", "-dither None -colors 2"},
        {"16 colours", "-size 37x23 -seed 7 plasma:fractal", "-dither None -colors 16"},
        {"200 colours", "-size 37x23 -seed 7 plasma:fractal", "-dither None -colors 200"},
        {"256 colours dithered", "-size 120x90 -seed 3 plasma:fractal", "-colors 256"},
        {"interlaced", "-size 61x47 -seed 9 plasma:fractal",
         "-dither None -colors 64 -interlace GIF"},
        {"one pixel", "-size 1x1 xc:orange", ""},
        {"one row", "-size 301x1 gradient:red-blue", "-colors 100"},
        {"one column", "-size 1x77 gradient:white-green", "-colors 30 -interlace GIF"},
        {"with comment", "-size 20x20 pattern:checkerboard", "-comment hello"},
    };
    for (const PeerFile& peer : files) {
        SCOPED_TRACE(peer.name);
        std::string file = path("peer.gif");
        ASSERT_TRUE(convert(std::string(peer.source) + " " + peer.options, "GIF:" + file));
        expectFrameLikeImageMagick(file, 0, 0);
    }
}

TEST_F(GifInteropTest, ImageMagickFramesWithLocalTablesAndOffsetsLoadByNumber) {
    std::string file = path("frames.gif");
    // Parentheses are escaped for the shell that runs convert.
    ASSERT_TRUE(
        convert("-size 40x30 -seed 4 plasma:fractal -dither None -colors 100 "
                "\\( -size 17x9 gradient:red-blue -dither None -colors 12 -repage +5+3 \\) "
                "\\( -size 25x25 pattern:checkerboard -colors 2 -repage +2+1 \\) "
                "\\( -size 33x8 -seed 5 plasma:fractal -dither None -colors 40 "
                "-repage +3+9 \\)",
                file));
    std::string text = path("frames.txt");
    ASSERT_EQ(test::run("giftext " + test::quoted(file) + " >" + test::quoted(text)), 0);
    ASSERT_NE(test::readText(text).find("Image Has Color Map"), std::string::npos)
        << "the case needs local colour tables";
    for (int frame = 0; frame < 4; ++frame) {
        SCOPED_TRACE(frame);
        expectFrameLikeImageMagick(file, frame + 1, frame);
    }
    ZDib beyond;
    LoadGIF(beyond, file, 5);
    EXPECT_EQ(beyond.error, 0);
    EXPECT_EQ(beyond.height, 0) << "past the last image only the palette comes back";
    FreeDib(beyond.Release());
}

// A gifbuild description: indices are written as two hex digits each.
struct Description {
    std::string text;

    Description& screen(int width, int height, int colors, int mapEntries) {
        std::ostringstream out;
        out << "screen width " << width << "\nscreen height " << height << "\nscreen colors "
            << colors << "\nscreen background 0\n\n";
        text += out.str();
        if (mapEntries > 0) map("screen map", mapEntries, 0);
        return *this;
    }
    Description& map(const std::string& heading, int entries, int salt) {
        std::ostringstream out;
        out << heading << "\n";
        for (int i = 0; i < entries; ++i)
            out << "\trgb " << (i * 37 + salt) % 256 << " " << (255 - i * 11 % 256 + salt) % 256
                << " " << (i * 5 + salt * 3) % 256 << "\n";
        out << "end\n\n";
        text += out.str();
        return *this;
    }
    Description& comment(const std::string& words) {
        text += "comment\n" + words + "\nend\n\n";
        return *this;
    }
    // Pixels in display order; gifbuild interlaces them itself.
    Description& image(int width, int height, int modulo, bool interlaced, int localEntries = 0) {
        std::ostringstream out;
        out << "image # 1\nimage left 0\nimage top 0\n";
        if (interlaced) out << "image interlaced\n";
        text += out.str();
        if (localEntries > 0) map("image map", localEntries, 17);
        out.str("");
        out << "image bits " << width << " by " << height << " hex\n";
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                char hex[9];
                std::snprintf(hex, sizeof hex, "%02x",
                              static_cast<unsigned>((x * 3 + y * 5 + x * y / 7) % modulo));
                out << hex;
            }
            out << "\n";
        }
        out << "\n";
        text += out.str();
        return *this;
    }
};

TEST_F(GifInteropTest, FilesWrittenByGiflibLoadToThePeersPixels) {
    struct PeerFile {
        const char* name;
        Description description;
        std::uint32_t depth;
        const char* version;
    };
    const PeerFile files[] = {
        {"1-bit", Description{}.screen(13, 5, 2, 2).image(13, 5, 2, false), 1, "87a"},
        {"4-bit", Description{}.screen(29, 11, 16, 16).image(29, 11, 16, false), 4, "87a"},
        {"8-bit", Description{}.screen(64, 48, 256, 256).image(64, 48, 256, false), 8, "87a"},
        {"4-bit interlaced", Description{}.screen(17, 21, 16, 16).image(17, 21, 16, true), 4,
         "87a"},
        {"8-bit interlaced", Description{}.screen(50, 33, 256, 256).image(50, 33, 256, true), 8,
         "87a"},
        {"comment first",
         Description{}.screen(23, 9, 16, 16).comment("made by gifbuild").image(23, 9, 16, false), 4,
         "89a"},
        {"local table only", Description{}.screen(19, 7, 256, 0).image(19, 7, 256, false, 256), 8,
         "87a"},
        {"local table wider than the screen",
         Description{}.screen(15, 6, 2, 2).image(15, 6, 4, true, 4), 4, "87a"},
    };
    for (const PeerFile& peer : files) {
        SCOPED_TRACE(peer.name);
        std::string file = path("giflib.gif");
        ASSERT_EQ(gifbuild(peer.description.text, file), "");
        Bytes bytes = test::readFile(file);
        ASSERT_GT(bytes.size(), 13u);
        ASSERT_EQ(std::string(bytes.begin() + 3, bytes.begin() + 6), peer.version);
        ZDib image;
        LoadGIF(image, file, 1);
        ASSERT_EQ(image.error, 0);
        EXPECT_EQ(image.depth, peer.depth);
        test::RgbImage ours = test::toRgb(image);
        auto magick = frameWithConvert(file, 0);
        ASSERT_TRUE(magick.has_value());
        EXPECT_EQ(ours, *magick) << "ImageMagick: " << test::describeDifference(ours, *magick);
        auto giflib = screenWithGif2rgb(file, ours.width, ours.height);
        ASSERT_TRUE(giflib.has_value());
        EXPECT_EQ(ours, *giflib) << "giflib: " << test::describeDifference(ours, *giflib);
    }
}

TEST_F(GifInteropTest, SeveralGiflibImagesLoadByNumber) {
    Description description;
    description.screen(40, 40, 256, 256).image(40, 40, 256, false);
    description.comment("second").image(21, 13, 16, true, 16);
    description.image(9, 30, 2, false, 2).image(33, 3, 256, true);
    std::string file = path("several.gif");
    ASSERT_EQ(gifbuild(description.text, file), "");
    for (int frame = 0; frame < 4; ++frame) {
        SCOPED_TRACE(frame);
        expectFrameLikeImageMagick(file, frame + 1, frame);
    }
}

// An image of the depth with pixels that are neither flat nor noise.
ZDib ourImage(std::int32_t width, std::int32_t height, std::uint32_t depth, std::uint32_t seed) {
    ZDib image;
    image.Create(width, height, depth, 0);
    std::vector<PALETTEENTRY> table;
    for (std::uint32_t i = 0; i < image.colorsUsed; ++i)
        table.push_back({static_cast<std::uint8_t>(i * 29 + seed), static_cast<std::uint8_t>(i * 3),
                         static_cast<std::uint8_t>(255 - i), 0});
    image.SetPalette(table, true);
    platform::Locked block(image.handle);
    std::uint8_t* pixels = block.data() + image.PixelOffset();
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < image.PixelBytes(); ++i) {
        state = state * 1103515245u + 12345u;
        // Mostly runs, with noise in every third row band.
        bool noisy = (i / image.rowBytes) % 3 == 0;
        pixels[i] = static_cast<std::uint8_t>(noisy ? state >> 24 : (i / 9) * 7);
    }
    return image;
}

// The first pixels of a de Bruijn sequence over 16 symbols: 239 codes
// without a repeated pair, the last of which fills the 8-bit code space,
// so the end code must go out 9 bits wide.
ZDib endCodeWideningImage() {
    std::vector<int> sequence;
    std::vector<int> a(32, 0);
    auto build = [&](auto& self, int t, int p) -> void {
        if (t > 2) {
            if (2 % p == 0) sequence.insert(sequence.end(), a.begin() + 1, a.begin() + p + 1);
            return;
        }
        a[t] = a[t - p];
        self(self, t + 1, p);
        for (int j = a[t - p] + 1; j < 16; ++j) {
            a[t] = j;
            self(self, t + 1, t);
        }
    };
    build(build, 1, 1);
    ZDib image;
    image.Create(239, 1, 4, 0);
    std::vector<PALETTEENTRY> table;
    for (int i = 0; i < 16; ++i)
        table.push_back(
            {static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(i * 9), 7, 0});
    image.SetPalette(table, true);
    platform::Locked block(image.handle);
    std::uint8_t* row = block.data() + image.PixelOffset();
    for (int x = 0; x < 239; ++x) {
        int value = sequence[static_cast<std::size_t>(x)];
        row[x / 2] = static_cast<std::uint8_t>(row[x / 2] | (x % 2 ? value : value << 4));
    }
    return image;
}

TEST_F(GifInteropTest, FilesWeWriteAreReadByImageMagickAndGiflibToOurPixels) {
    std::vector<std::pair<std::string, ZDib>> images;
    for (std::uint32_t depth : {1u, 4u, 8u}) {
        struct Size {
            std::int32_t width, height;
        };
        for (Size size : {Size{1, 1}, Size{5, 3}, Size{37, 23}, Size{301, 200}}) {
            std::ostringstream name;
            name << depth << " bits " << size.width << "x" << size.height;
            images.emplace_back(name.str(), ourImage(size.width, size.height, depth, depth * 7));
        }
    }
    images.emplace_back("end code widened", endCodeWideningImage());
    for (auto& [name, image] : images) {
        SCOPED_TRACE(name);
        ASSERT_EQ(image.error, 0);
        std::string file = path("ours.gif");
        StoreGIF(image, file);
        ASSERT_EQ(image.error, 0);
        test::RgbImage ours = test::toRgb(image);
        EXPECT_TRUE(giftextAccepts(file));
        EXPECT_TRUE(gifbuildDumps(file));
        auto giflib = screenWithGif2rgb(file, ours.width, ours.height);
        ASSERT_TRUE(giflib.has_value());
        EXPECT_EQ(ours, *giflib) << "giflib: " << test::describeDifference(ours, *giflib);
        auto magick = frameWithConvert(file, 0);
        ASSERT_TRUE(magick.has_value());
        EXPECT_EQ(ours, *magick) << "ImageMagick: " << test::describeDifference(ours, *magick);
    }
}

}  // namespace
}  // namespace pm32
