#include "formats/count_images.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/diagnostics.h"
#include "formats/format_codes.h"
#include "platform/message_box.h"
#include "tests/support/peer_tools.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using test::TempDir;
using test::writeFile;
using Bytes = std::vector<std::uint8_t>;
// Error number and count, compared as one.
using Counted = std::pair<int, int>;

constexpr Counted kBadFile{err::BadFile, 0};

Counted countImages(const std::string& path, int format = kFormatAny) {
    int count = -7;  // must be overwritten on every path
    ErrorNumber error = CountFileImages(path, format, count);
    return {error, count};
}

// A TIFF file laid out as the header and then each directory in turn;
// directory i has entryCounts[i] entries and points at directory i + 1, the
// last at 0.
class TiffBytes {
  public:
    TiffBytes(const std::vector<int>& entryCounts, bool bigEndian) : bigEndian_(bigEndian) {
        bytes_ = {bigEndian ? Bytes{'M', 'M'} : Bytes{'I', 'I'}};
        append16(42);
        append32(8);
        for (int entries : entryCounts) {
            directories_.push_back(static_cast<std::uint32_t>(bytes_.size()));
            append16(static_cast<std::uint16_t>(entries));
            for (int e = 0; e < entries; ++e) {
                append16(static_cast<std::uint16_t>(256 + e));  // tag
                append16(3);                                    // SHORT
                append32(1);                                    // count
                append32(1);                                    // value
            }
            nextFields_.push_back(bytes_.size());
            append32(0);
        }
        for (std::size_t i = 0; i + 1 < directories_.size(); ++i) link(i, directories_[i + 1]);
    }

    // Points directory i's next-directory offset at target.
    void link(std::size_t i, std::uint32_t target) { put32(nextFields_[i], target); }
    void setMagic(std::uint16_t magic) { put16(2, magic); }
    void setFirstOffset(std::uint32_t offset) { put32(4, offset); }
    std::uint32_t directory(std::size_t i) const { return directories_[i]; }
    const Bytes& bytes() const { return bytes_; }

  private:
    void append16(std::uint16_t value) {
        bytes_.resize(bytes_.size() + 2);
        put16(bytes_.size() - 2, value);
    }
    void append32(std::uint32_t value) {
        bytes_.resize(bytes_.size() + 4);
        put32(bytes_.size() - 4, value);
    }
    void put16(std::size_t at, std::uint16_t value) { put(at, value, 2); }
    void put32(std::size_t at, std::uint32_t value) { put(at, value, 4); }
    void put(std::size_t at, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            int shift = 8 * (bigEndian_ ? size - 1 - i : i);
            bytes_[at + i] = static_cast<std::uint8_t>(value >> shift);
        }
    }

    bool bigEndian_;
    Bytes bytes_;
    std::vector<std::uint32_t> directories_;
    std::vector<std::size_t> nextFields_;
};

// A GIF stream built block by block. Sub-block payloads are filled with ','
// so that a walk which reads data as blocks would count images that are not
// there.
class GifBytes {
  public:
    explicit GifBytes(const std::string& version = "89a", int globalTableBits = 2) {
        raw({'G', 'I', 'F'});
        raw(Bytes(version.begin(), version.end()));
        raw({1, 0, 1, 0, tableFlags(globalTableBits), 0, 0});
        colorTable(globalTableBits);
    }

    GifBytes& image(const std::vector<int>& subBlocks = {3}, int localTableBits = 0) {
        raw({',', 0, 0, 0, 0, 1, 0, 1, 0, tableFlags(localTableBits)});
        colorTable(localTableBits);
        raw({2});  // LZW minimum code size
        return subBlocksOf(subBlocks);
    }

    GifBytes& extension(std::uint8_t label, const std::vector<int>& subBlocks) {
        raw({'!', label});
        return subBlocksOf(subBlocks);
    }

    GifBytes& trailer() { return raw({';'}); }

    GifBytes& raw(const Bytes& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
        return *this;
    }

    const Bytes& bytes() const { return bytes_; }

  private:
    static std::uint8_t tableFlags(int bits) {
        return bits == 0 ? 0 : static_cast<std::uint8_t>(0x80 | (bits - 1));
    }
    void colorTable(int bits) {
        if (bits > 0) raw(Bytes(3u << bits, ','));
    }
    GifBytes& subBlocksOf(const std::vector<int>& sizes) {
        for (int size : sizes) {
            raw({static_cast<std::uint8_t>(size)});
            raw(Bytes(size, ','));
        }
        return raw({0});
    }

    Bytes bytes_;
};

// A graphic control extension, as most GIF89a writers put before each image.
constexpr std::uint8_t kGraphicControl = 0xF9;

class CountImagesTest : public ::testing::Test {
  protected:
    Counted countBytes(const std::string& name, const Bytes& bytes, int format = kFormatAny) {
        std::string path = dir_.path(name);
        writeFile(path, bytes);
        return countImages(path, format);
    }

    TempDir dir_;
};

// --- choosing what to count ---

TEST_F(CountImagesTest, OtherFormatsCountOneWithoutReadingTheFile) {
    Bytes junk = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    EXPECT_EQ(countBytes("photo.jpg", junk), (Counted{0, 1}));
    EXPECT_EQ(countBytes("photo.bmp", junk), (Counted{0, 1}));
    EXPECT_EQ(countBytes("photo.qzi", junk), (Counted{0, 1}));
    EXPECT_EQ(countBytes("photo.xyz", junk), (Counted{0, 1}));
    EXPECT_EQ(countBytes("photo.tiff", junk), (Counted{0, 1}));
    EXPECT_EQ(countBytes("photo.gif", junk, kFormatPng), (Counted{0, 1}));
    EXPECT_EQ(countBytes("photo.gif", junk, kFormatBmp), (Counted{0, 1}));
    EXPECT_EQ(countImages(dir_.path("missing.jpg")), (Counted{err::FileMissing, 0}))
        << "the file is opened whatever its format";
}

TEST_F(CountImagesTest, ShortNamesAreRefusedWhenChoosingByName) {
    // Short names are relative, so they are looked up from inside the folder.
    std::string previous = std::filesystem::current_path().string();
    std::filesystem::current_path(dir_.path(""));
    writeFile(dir_.path(".gif"), GifBytes().image().trailer().bytes());
    writeFile(dir_.path("a.gi"), GifBytes().image().trailer().bytes());
    writeFile(dir_.path("a.gif"), GifBytes().image().trailer().bytes());
    Counted shortDot = countImages(".gif");
    Counted shortName = countImages("a.gi");
    Counted fiveCharacters = countImages("a.gif");
    std::filesystem::current_path(previous);
    EXPECT_EQ(shortDot, kBadFile);
    EXPECT_EQ(shortName, kBadFile);
    EXPECT_EQ(fiveCharacters, (Counted{0, 1})) << "five characters";
    EXPECT_EQ(countImages(""), (Counted{err::FileMissing, 0}));
}

TEST_F(CountImagesTest, MissingGifAndTiffFilesAreMissing) {
    constexpr Counted kMissing{err::FileMissing, 0};
    EXPECT_EQ(countImages(dir_.path("missing.gif")), kMissing);
    EXPECT_EQ(countImages(dir_.path("missing.TIF")), kMissing);
    EXPECT_EQ(countImages(dir_.path("missing.dat"), kFormatGif), kMissing);
    EXPECT_EQ(countImages("x", kFormatTiff), kMissing) << "the short-name rule is for format 0";
    EXPECT_EQ(countImages(dir_.path(""), kFormatGif), kMissing) << "a directory is no file";
}

TEST_F(CountImagesTest, TheFormatCodeOverridesTheName) {
    Bytes tiff = TiffBytes({5, 6, 7}, false).bytes();
    Bytes gif = GifBytes().image().image().trailer().bytes();
    EXPECT_EQ(countBytes("pages.dat", tiff, kFormatTiff), (Counted{0, 3}));
    EXPECT_EQ(countBytes("frames.dat", gif, kFormatGif), (Counted{0, 2}));
    EXPECT_EQ(countBytes("pages.gif", tiff, kFormatTiff), (Counted{0, 3}));
    EXPECT_EQ(countBytes("frames.tif", gif, kFormatGif), (Counted{0, 2}));
    EXPECT_EQ(countBytes("pages.tif", tiff, kFormatGif), kBadFile);
    EXPECT_EQ(countBytes("upper.TIF", tiff), (Counted{0, 3}));
    EXPECT_EQ(countBytes("upper.GiF", gif), (Counted{0, 2}));
}

// --- TIFF ---

class TiffCount : public CountImagesTest, public ::testing::WithParamInterface<bool> {
  protected:
    Counted count(const TiffBytes& tiff) { return countBytes("t.tif", tiff.bytes()); }
    Counted count(const std::vector<int>& entryCounts) {
        return count(TiffBytes(entryCounts, GetParam()));
    }
};

TEST_P(TiffCount, CountsEveryDirectoryInTheChain) {
    EXPECT_EQ(count({12}), (Counted{0, 1}));
    EXPECT_EQ(count({4, 40}), (Counted{0, 2}));
    EXPECT_EQ(count(std::vector<int>(25, 9)), (Counted{0, 25}));
}

TEST_P(TiffCount, EntryCountsOutsideFourToFortyAreRefused) {
    EXPECT_EQ(count({4, 41}), kBadFile);
    EXPECT_EQ(count({3}), kBadFile);
    EXPECT_EQ(count({10, 0}), kBadFile);
    EXPECT_EQ(count({40, 40, 200}), kBadFile);
}

TEST_P(TiffCount, NoDirectoryCountsZero) {
    TiffBytes tiff({8}, GetParam());
    tiff.setFirstOffset(0);
    EXPECT_EQ(count(tiff), (Counted{0, 0}));
}

TEST_P(TiffCount, BadMagicIsRefused) {
    TiffBytes tiff({8}, GetParam());
    tiff.setMagic(43);
    EXPECT_EQ(count(tiff), kBadFile);
    tiff.setMagic(42 << 8);
    EXPECT_EQ(count(tiff), kBadFile);
}

TEST_P(TiffCount, LoopingChainsAreRefused) {
    TiffBytes toFirst({5, 6, 7}, GetParam());
    toFirst.link(2, toFirst.directory(0));
    EXPECT_EQ(count(toFirst), kBadFile);

    TiffBytes toItself({5}, GetParam());
    toItself.link(0, toItself.directory(0));
    EXPECT_EQ(count(toItself), kBadFile);

    TiffBytes lateLoop(std::vector<int>(30, 4), GetParam());
    lateLoop.link(29, lateLoop.directory(17));
    EXPECT_EQ(count(lateLoop), kBadFile);
}

TEST_P(TiffCount, DirectoriesOutsideTheFileAreRefused) {
    TiffBytes past({5, 6}, GetParam());
    past.link(0, static_cast<std::uint32_t>(past.bytes().size()) + 100);
    EXPECT_EQ(count(past), kBadFile);

    TiffBytes far({5}, GetParam());
    far.setFirstOffset(0xFFFFFFF0u);
    EXPECT_EQ(count(far), kBadFile);
}

TEST_P(TiffCount, TruncatedFilesAreRefused) {
    const Bytes whole = TiffBytes({6, 6}, GetParam()).bytes();
    // Every cut: in the header, the entry count, the entries and the last
    // next-directory offset.
    for (std::size_t size = 0; size < whole.size(); ++size) {
        EXPECT_EQ(countBytes("cut.tif", Bytes(whole.begin(), whole.begin() + size)), kBadFile)
            << "cut to " << size << " of " << whole.size() << " bytes";
    }
}

INSTANTIATE_TEST_SUITE_P(ByteOrders, TiffCount, ::testing::Values(false, true),
                         [](const auto& test) { return test.param ? "MM" : "II"; });

TEST_F(CountImagesTest, TiffByteOrderMarkMustBeIIOrMM) {
    Bytes tiff = TiffBytes({8}, false).bytes();
    for (const char* mark : {"IM", "MI", "ii", "\0\0"}) {
        tiff[0] = static_cast<std::uint8_t>(mark[0]);
        tiff[1] = static_cast<std::uint8_t>(mark[1]);
        EXPECT_EQ(countBytes("t.tif", tiff), kBadFile) << mark;
    }
    EXPECT_EQ(countBytes("t.tif", GifBytes().image().trailer().bytes()), kBadFile);
}

// However large the file, a loop is found within a turn of it rather than
// after a walk through the whole file's worth of directories.
TEST_F(CountImagesTest, TiffLoopInAHugeFileEndsAtOnce) {
    TiffBytes tiff({6}, false);
    tiff.link(0, tiff.directory(0));
    std::string path = dir_.path("huge.tif");
    writeFile(path, tiff.bytes());
    std::filesystem::resize_file(path, std::uintmax_t{1} << 30);  // sparse: costs no disk
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(countImages(path), kBadFile);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// Directories that share bytes form no loop, yet no real file has them; with
// room for only one, a chain of three is refused.
TEST_F(CountImagesTest, TiffDirectoriesThatOverlapAreRefused) {
    // Directory i sits at 8 + 6i with 4 entries, so its count and its
    // next-directory offset never collide with those of the others.
    constexpr int kDirectories = 3;
    Bytes tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};
    tiff.resize(8 + 6 * (kDirectories - 1) + 54);
    for (int i = 0; i < kDirectories; ++i) {
        std::size_t at = 8 + 6 * i;
        tiff[at] = 4;
        std::uint32_t next = i + 1 < kDirectories ? static_cast<std::uint32_t>(at + 6) : 0;
        for (int b = 0; b < 4; ++b) tiff[at + 50 + b] = static_cast<std::uint8_t>(next >> (8 * b));
    }
    EXPECT_EQ(countBytes("overlap.tif", tiff), kBadFile);
}

// --- GIF ---

TEST_F(CountImagesTest, GifCountsImageDescriptors) {
    EXPECT_EQ(countBytes("a.gif", GifBytes().trailer().bytes()), (Counted{0, 0}));
    EXPECT_EQ(countBytes("a.gif", GifBytes().image().trailer().bytes()), (Counted{0, 1}));
    EXPECT_EQ(countBytes("a.gif", GifBytes("87a").image().image({255, 255, 7}).trailer().bytes()),
              (Counted{0, 2}));
    EXPECT_EQ(countBytes("a.gif", GifBytes("89a", 0).image({1}, 8).image({}, 1).trailer().bytes()),
              (Counted{0, 2}))
        << "local colour tables, no global one, an image without data sub-blocks";
}

TEST_F(CountImagesTest, GifColourTablesOfEverySizeAreSkipped) {
    for (int bits = 1; bits <= 8; ++bits) {
        GifBytes gif("89a", bits);
        gif.image({4}, 9 - bits).trailer();
        EXPECT_EQ(countBytes("a.gif", gif.bytes()), (Counted{0, 1})) << bits << " bits";
    }
}

TEST_F(CountImagesTest, GifExtensionsAreSkippedWhateverTheirLabel) {
    GifBytes gif;
    gif.extension(255, {11, 3})     // application
        .extension(254, {200, 17})  // comment
        .extension(kGraphicControl, {4})
        .image()
        .extension(1, {12, 5})  // plain text
        .extension(0x42, {9})
        .extension(kGraphicControl, {4})
        .image({255, 255, 255})
        .trailer();
    EXPECT_EQ(countBytes("a.gif", gif.bytes()), (Counted{0, 2}));
}

TEST_F(CountImagesTest, GifBytesAfterTheTrailerAreIgnored) {
    GifBytes gif;
    gif.image().trailer().raw({',', 0, 0, 'x'});
    EXPECT_EQ(countBytes("a.gif", gif.bytes()), (Counted{0, 1}));
}

TEST_F(CountImagesTest, GifSignatureAndVersionAreChecked) {
    EXPECT_EQ(countBytes("a.gif", GifBytes("88a").image().trailer().bytes()), kBadFile);
    EXPECT_EQ(countBytes("a.gif", GifBytes("89b").image().trailer().bytes()), kBadFile);
    EXPECT_EQ(countBytes("a.gif", GifBytes("89A").image().trailer().bytes()), kBadFile);
    Bytes lower = GifBytes().image().trailer().bytes();
    lower[0] = 'g';
    EXPECT_EQ(countBytes("a.gif", lower), kBadFile);
    EXPECT_EQ(countBytes("a.gif", TiffBytes({8}, false).bytes()), kBadFile);
}

TEST_F(CountImagesTest, GifUnknownBlocksAreRefused) {
    EXPECT_EQ(countBytes("a.gif", GifBytes().image().raw({0}).trailer().bytes()), kBadFile);
    EXPECT_EQ(countBytes("a.gif", GifBytes().raw({'x'}).image().trailer().bytes()), kBadFile);
}

TEST_F(CountImagesTest, TruncatedGifsAreRefusedWhereverTheyEnd) {
    GifBytes gif;
    gif.extension(255, {11, 3}).image({20, 5}, 2).extension(254, {6}).image({9}).trailer();
    const Bytes& whole = gif.bytes();
    for (std::size_t size = 0; size < whole.size(); ++size) {
        EXPECT_EQ(countBytes("cut.gif", Bytes(whole.begin(), whole.begin() + size)), kBadFile)
            << "cut to " << size << " of " << whole.size() << " bytes";
    }
    EXPECT_EQ(countBytes("whole.gif", whole), (Counted{0, 2}));
}

// A length byte that promises more than the file holds must end the walk, not
// send it on forever at the end of the file.
TEST_F(CountImagesTest, GifSubBlocksRunningPastTheEndAreRefused) {
    GifBytes gif;
    gif.image().raw({',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 200, ',', ','});
    EXPECT_EQ(countBytes("a.gif", gif.bytes()), kBadFile);
    GifBytes extension;
    extension.raw({'!', 254, 255});
    EXPECT_EQ(countBytes("b.gif", extension.bytes()), kBadFile);
}

// Many images well beyond one staging buffer, with blocks that straddle refills.
TEST_F(CountImagesTest, GifLargerThanTheStagingBufferCountsEveryImage) {
    GifBytes gif("89a", 8);
    for (int i = 0; i < 120; ++i) {
        gif.extension(kGraphicControl, {4});
        gif.image(std::vector<int>(1 + i % 7, 250 - i), i % 3 == 0 ? 8 : 0);
    }
    gif.trailer();
    ASSERT_GT(gif.bytes().size(), 8u * 8192);
    EXPECT_EQ(countBytes("big.gif", gif.bytes()), (Counted{0, 120}));
}

// --- diagnostics ---

// The location codes shown while counting, with every diagnostic shown. The
// level is read once per process, so this runs in a death-test child.
class CountDiagnostics : public CountImagesTest {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    struct Case {
        std::string name;
        Bytes bytes;
        int format;
        std::vector<int> locations;
    };

    [[noreturn]] static void checkAll(const std::vector<Case>& cases) {
        TempDir dir;
        std::string profile = dir.path("pixmill.ini");
        test::writeText(profile, "[Pixmill]\nDebug=0\n");
        ::setenv("PIXMILL_PROFILE", profile.c_str(), 1);
        std::filesystem::current_path(dir.path(""));
        std::vector<std::string> shown;
        platform::SetMessageBoxHandler([&](std::string_view text, std::string_view, std::uint32_t) {
            shown.emplace_back(text);
            return platform::BoxAnswer::Ignore;
        });
        int mismatches = 0;
        for (const Case& c : cases) {
            std::string path = dir.path(c.name);
            if (!c.bytes.empty()) writeFile(path, c.bytes);
            shown.clear();
            int count = 0;
            CountFileImages(c.name.size() < 5 ? c.name : path, c.format, count);
            std::vector<std::string> expected;
            for (int location : c.locations) expected.push_back(DiagnosticText(location));
            if (shown != expected) {
                ++mismatches;
                std::cerr << c.name << ": " << shown.size() << " diagnostics, expected "
                          << expected.size() << "\n";
                for (const auto& text : shown) std::cerr << "  shown " << text << "\n";
            }
        }
        std::exit(mismatches);
    }
};

TEST_F(CountDiagnostics, EachFailureNamesItsSite) {
    GifBytes withGraphicControl;
    withGraphicControl.extension(kGraphicControl, {4}).extension(254, {3}).image().trailer();
    const std::vector<Case> cases = {
        {"a.gi", GifBytes().image().trailer().bytes(), kFormatAny, {9226}},
        {"missing.gif", {}, kFormatAny, {9176, 9227}},
        {"ok.gif", GifBytes().image().trailer().bytes(), kFormatAny, {}},
        {"bad.gif", Bytes{'G', 'I', 'X', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0}, kFormatAny, {9212}},
        {"ver.gif", GifBytes("88a").trailer().bytes(), kFormatAny, {9213}},
        {"end.gif", GifBytes().image().bytes(), kFormatAny, {9272}},
        {"block.gif", GifBytes().image().raw({7}).bytes(), kFormatAny, {9273}},
        {"gce.gif", withGraphicControl.bytes(), kFormatAny, {9211}},
        {"mark.tif", Bytes{'I', 'M', 42, 0, 8, 0, 0, 0}, kFormatAny, {9215}},
        {"magic.tif", Bytes{'M', 'M', 42, 0, 0, 0, 0, 8}, kFormatAny, {9215}},
        {"fine.tif", TiffBytes({4, 40}, true).bytes(), kFormatAny, {}},
    };
    EXPECT_EXIT(checkAll(cases), ::testing::ExitedWithCode(0), "");
}

// --- files written by other tools ---

class CountInterop : public CountImagesTest {
  protected:
    void SetUp() override {
        convert_ = test::convertTool();
        if (convert_.empty()) PM32_MISSING_PEER() << "ImageMagick's convert is not installed";
    }

    // Runs convert with the arguments and the output file; returns its path.
    std::string convert(const std::string& arguments, const std::string& name) {
        std::string path = dir_.path(name);
        std::string command = test::quoted(convert_) + " " + arguments + " " + test::quoted(path);
        EXPECT_EQ(test::run(command), 0) << command;
        return path;
    }

    std::string convert_;
};

TEST_F(CountInterop, ImageMagickGifs) {
    EXPECT_EQ(countImages(convert("-size 8x8 xc:red", "one.gif")), (Counted{0, 1}));
    EXPECT_EQ(countImages(convert("-size 8x8 xc:red xc:blue xc:green", "three.gif")),
              (Counted{0, 3}));
    EXPECT_EQ(countImages(convert("-size 8x8 xc:red xc:blue xc:green -loop 0", "loop.gif")),
              (Counted{0, 3}));
    EXPECT_EQ(countImages(convert("-size 8x8 xc:red xc:blue -comment 'made for counting' -loop 0",
                                  "comment.gif")),
              (Counted{0, 2}));
    EXPECT_EQ(countImages(convert("-size 8x8 xc:red xc:none -dispose background", "alpha.gif")),
              (Counted{0, 2}));
}

TEST_F(CountInterop, ImageMagickGifWithFramesLargerThanTheStagingBuffer) {
    std::string path = convert(
        "-seed 7 -size 160x160 xc:gray +noise Random xc:gray +noise Random "
        "xc:gray +noise Random xc:gray +noise Random -loop 0",
        "noise.gif");
    ASSERT_GT(test::readFile(path).size(), 4u * 8192);
    EXPECT_EQ(countImages(path), (Counted{0, 4}));
}

TEST_F(CountInterop, ImageMagickTiffsInBothByteOrders) {
    EXPECT_EQ(countImages(convert("-size 8x8 xc:red", "one.tif")), (Counted{0, 1}));
    EXPECT_EQ(countImages(convert("-size 8x8 xc:red xc:blue xc:green -endian LSB", "lsb.tif")),
              (Counted{0, 3}));
    EXPECT_EQ(countImages(convert("-size 8x8 xc:red xc:blue -endian MSB", "msb.tif")),
              (Counted{0, 2}));
    EXPECT_EQ(countImages(convert("-size 40x30 xc:red xc:blue gradient: -compress lzw", "lzw.tif")),
              (Counted{0, 3}));
}

TEST_F(CountInterop, TiffcpInBothByteOrders) {
    if (test::run("command -v tiffcp >/dev/null") != 0)
        PM32_MISSING_PEER() << "tiffcp is not installed";
    std::string two = convert("-size 8x8 xc:red xc:blue", "two.tif");
    std::string three = convert("-size 16x4 xc:green xc:white xc:black", "three.tif");
    for (const char* order : {"-B", "-L"}) {
        std::string out = dir_.path(std::string("joined") + order + ".tif");
        std::string command = "tiffcp " + std::string(order) + " " + test::quoted(two) + " " +
                              test::quoted(three) + " " + test::quoted(out);
        ASSERT_EQ(test::run(command), 0) << command;
        Bytes bytes = test::readFile(out);
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes[0], order[1] == 'B' ? 'M' : 'I');
        EXPECT_EQ(countImages(out), (Counted{0, 5})) << order;
    }
}

}  // namespace
}  // namespace pm32
