#include "engine/dumps.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "engine/zdib.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using test::readText;
using test::TempDir;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(MessageList, ListsNinetySixControlAndEightyEightEngineLines) {
    TempDir dir;
    ASSERT_EQ(WriteMessageList(dir.path("messages.txt")), 0);
    auto lines = linesOf(readText(dir.path("messages.txt")));
    ASSERT_EQ(lines.size(), 1u + 96 + 1 + 1 + 88);
    EXPECT_EQ(lines[0], "******** Control Messages **********");
    EXPECT_EQ(lines[1], "   20300 This control does not support that type of picture");
    EXPECT_EQ(lines[33], "   20332 ***** MISSING ******");
    EXPECT_EQ(lines[96], "   20395 Clipboard Destination parmeter must be a short");
    EXPECT_EQ(lines[97], "");
    EXPECT_EQ(lines[98], "******** Engine Messages **********");
    EXPECT_EQ(lines[99], "   20100 The specified file does not exist");
    EXPECT_EQ(lines[99 + 69], "   20169 ***** MISSING ******");
    EXPECT_EQ(lines.back(), "   20187 Bad blue color range");
}

TEST(MessageList, AFileThatCannotBeCreatedIs20340) {
    EXPECT_EQ(WriteMessageList("/nonexistent-dir/messages.txt"), err::OpenFileFailure);
}

TEST(ImageDump, TrueColourRowsWrapAfterFifteenBytes) {
    TempDir dir;
    ZDib image;
    image.Create(6, 2, 24, 0x00010203);
    auto rows = image.BuildRowTable();
    rows[1][0] = 200;  // top picture line, first blue byte
    image.CommitRowTable();
    image.Dump(dir.path("dump.txt"), 0);
    ASSERT_EQ(image.error, 0);
    // Bytes print as stored (blue, green, red), under the heading's r g b.
    std::string pixels15 = "   1   2   3   1   2   3   1   2   3   1   2   3   1   2   3";
    std::string expected =
        "  width=6  height=2  bits deep=24  bytes per line=20\n"
        "\n******* IMAGE DATA *******\n\n"
        "                      r   g   b   r   g   b   r   g   b   r   g   b   r   g   b\n"
        "line    1 col    0:" +
        pixels15 +
        "\n"
        "          col    5:   1   2   3   0   0\n"
        "line    0 col    0: 200   2   3" +
        pixels15.substr(12) +
        "\n"
        "          col    5:   1   2   3   0   0\n";
    EXPECT_EQ(readText(dir.path("dump.txt")), expected);
}

TEST(ImageDump, PaletteDumpMarksTheFirstUnusedEntry) {
    TempDir dir;
    ZDib image;
    image.Create(2, 1, 1, 0x00FFFFFF);
    image.Dump(dir.path("dump.txt"), 2);
    ASSERT_EQ(image.error, 0);
    auto lines = linesOf(readText(dir.path("dump.txt")));
    ASSERT_EQ(lines.size(), 1u + 7 + 1 + 256);
    EXPECT_EQ(lines[0], "  width=2  height=1  bits deep=1  bytes per line=4  colors in palette=2");
    EXPECT_EQ(lines[1], "******* Palette *******");
    EXPECT_EQ(lines[2], "  colors in palette=2");
    EXPECT_EQ(lines[3], "   PC_NOCOLLAPSE=4");
    EXPECT_EQ(lines[4], "   PC_RESERVED=1");
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "***** Palette *****");
    EXPECT_EQ(lines[7], "Entry  Red Green  Blue Reserved");
    EXPECT_EQ(lines[8], "    0   0      0     0    0");
    EXPECT_EQ(lines[9], "    1 255    255   255    0");
    EXPECT_EQ(lines[10], "*-*-*- Entries below not used *-*-*-");
    EXPECT_EQ(lines[11], "    2   0      0     0    0");
    EXPECT_EQ(lines.back(), "  255   0      0     0    0");
}

TEST(ImageDump, OptionsChooseTheSections) {
    TempDir dir;
    ZDib image;
    image.Create(3, 1, 8, 0x00000080);
    image.Dump(dir.path("both.txt"), 0);
    image.Dump(dir.path("pixels.txt"), 1);
    ASSERT_EQ(image.error, 0);
    std::string both = readText(dir.path("both.txt"));
    std::string pixels = readText(dir.path("pixels.txt"));
    EXPECT_NE(both.find("  255 128      0     0    0\n"), std::string::npos);
    EXPECT_EQ(both.find("*-*-*-"), std::string::npos) << "a full table has no unused entry";
    EXPECT_EQ(pixels.find("Palette"), std::string::npos);
    EXPECT_NE(pixels.find("line    0 col    0: 255 255 255 255\n"), std::string::npos);
    EXPECT_EQ(both.substr(both.size() - pixels.size() + pixels.find('\n') + 1),
              pixels.substr(pixels.find('\n') + 1));
}

TEST(ImageDump, OptionAndImageChecksComeInOrder) {
    TempDir dir;
    ZDib trueColour;
    trueColour.Create(1, 1, 24, 0);
    trueColour.Dump(dir.path("x.txt"), 2);
    EXPECT_EQ(trueColour.error, err::TrueColorHasNoPalette);
    trueColour.Dump(dir.path("x.txt"), 3);
    EXPECT_EQ(trueColour.error, err::BadDumpOption);
    trueColour.Dump(dir.path("x.txt"), -1);
    EXPECT_EQ(trueColour.error, err::BadDumpOption);
    ZDib empty;
    empty.Dump(dir.path("x.txt"), 0);
    EXPECT_EQ(empty.error, err::InvalidPicture);
    trueColour.error = 0;
    trueColour.Dump("/nonexistent-dir/x.txt", 1);
    EXPECT_EQ(trueColour.error, err::BadFile);
}

TEST(PaletteDump, FromPaletteEntriesKeepsTheFlags) {
    TempDir dir;
    std::vector<platform::PALETTEENTRY> entries = {{10, 20, 30, platform::PC_NOCOLLAPSE}};
    ASSERT_EQ(AppendPaletteDump(dir.path("p.txt"), 1, entries), 0);
    auto lines = linesOf(readText(dir.path("p.txt")));
    EXPECT_EQ(lines[7], "    0  10     20    30    4");
    EXPECT_EQ(lines[8], "*-*-*- Entries below not used *-*-*-");
    EXPECT_EQ(AppendPaletteDump("/nonexistent-dir/p.txt", 1, entries), 4);
}

}  // namespace
}  // namespace pm32
