#include "platform/gdi/dib_section.h"

#include <gtest/gtest.h>

#include <vector>

namespace pm32::test {
namespace {

using platform::gdi::ColorTable;
using platform::gdi::DibPixels;
using platform::gdi::DibSection;

DibPixels pixelsOf(std::vector<std::uint8_t>& rows, int width, int height, int depth,
                   int rowBytes) {
    return {width, height, static_cast<std::uint32_t>(depth), static_cast<std::uint64_t>(rowBytes),
            rows};
}

TEST(DibSection, ReadsRowsBottomUpThroughTheColourTable) {
    // 4-bit, 3 x 2: bottom row indices 1 2 3, top row 4 5 6.
    std::vector<std::uint8_t> rows = {0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0};
    std::vector<QRgb> table;
    for (int i = 0; i < 16; ++i) table.push_back(qRgb(i * 10, i, 255 - i));
    DibSection section(pixelsOf(rows, 3, 2, 4, 4), ColorTable(table));
    ASSERT_TRUE(section.Valid());
    EXPECT_EQ(section.Image().pixel(0, 0), table[4]);
    EXPECT_EQ(section.Image().pixel(2, 0), table[6]);
    EXPECT_EQ(section.Image().pixel(0, 1), table[1]);
    EXPECT_EQ(section.Image().pixel(2, 1), table[3]);
}

TEST(DibSection, WritesBackEveryDepthWithoutTouchingPadding) {
    for (int depth : {1, 4, 8, 24}) {
        const int width = 5, height = 3;
        int rowBytes = depth == 24 ? 16 : depth == 8 ? 8 : 4;
        std::vector<std::uint8_t> rows(static_cast<std::size_t>(rowBytes * height), 0);
        std::vector<QRgb> table;
        if (depth != 24)
            for (int i = 0; i < (1 << depth); ++i) table.push_back(qRgb(i, 255 - i, 7));
        DibSection section(pixelsOf(rows, width, height, depth, rowBytes),
                           depth == 24 ? ColorTable() : ColorTable(table));
        ASSERT_TRUE(section.Valid()) << depth;
        QRgb drawn = depth == 24 ? qRgb(10, 20, 30) : table.back();
        section.Image().setPixel(4, 0, drawn);  // top row, last pixel
        section.WriteBack();
        DibSection reread(pixelsOf(rows, width, height, depth, rowBytes),
                          depth == 24 ? ColorTable() : ColorTable(table));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                QRgb expected = (x == 4 && y == 0) ? drawn : reread.Image().pixel(0, 0);
                EXPECT_EQ(reread.Image().pixel(x, y), expected) << depth << " " << x << "," << y;
            }
        // Bytes past the packed pixels of a row stay as they were.
        int packed = (width * depth + 7) / 8;
        for (int y = 0; y < height; ++y)
            for (int b = packed; b < rowBytes; ++b)
                EXPECT_EQ(rows[static_cast<std::size_t>(y * rowBytes + b)], 0) << depth;
    }
}

TEST(DibSection, UnchangedPixelsKeepADuplicateIndex) {
    // Entries 0 and 2 hold the same colour; pixels using entry 2 must keep it.
    std::vector<std::uint8_t> rows = {2, 2, 0, 0};
    std::vector<QRgb> table(256, qRgb(0, 0, 0));
    table[0] = table[2] = qRgb(200, 0, 0);
    table[1] = qRgb(0, 0, 200);
    DibSection section(pixelsOf(rows, 2, 1, 8, 4), ColorTable(table));
    section.Image().setPixel(1, 0, qRgb(0, 0, 200));
    section.WriteBack();
    EXPECT_EQ(rows[0], 2);
    EXPECT_EQ(rows[1], 1);
}

TEST(DibSection, RefusesRowsTooShortForTheGeometry) {
    std::vector<std::uint8_t> rows(11, 0);
    EXPECT_FALSE(DibSection(pixelsOf(rows, 3, 3, 8, 4), ColorTable({qRgb(0, 0, 0)})).Valid());
    EXPECT_FALSE(DibSection(pixelsOf(rows, 3, 1, 24, 4), ColorTable()).Valid())
        << "a row stride shorter than the packed pixels";
    EXPECT_FALSE(DibSection(pixelsOf(rows, 2, 1, 8, 4), ColorTable()).Valid())
        << "an indexed DIB without a colour table";
    EXPECT_FALSE(DibSection(pixelsOf(rows, 0, 1, 8, 4), ColorTable({qRgb(0, 0, 0)})).Valid());
}

TEST(ColorTable, MatchesTheNearestEntryFirstWinningTies) {
    ColorTable table({qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(255, 0, 0)});
    EXPECT_EQ(table.Match(0x0000F0).rgb(), qRgb(255, 0, 0));  // 0x00BBGGRR
    EXPECT_EQ(table.NearestIndex(qRgb(250, 10, 0)), 1u);
    EXPECT_EQ(table.Match(0xC00000).rgb(), qRgb(0, 0, 255));
    EXPECT_EQ(ColorTable().Match(0x123456).rgb(), qRgb(0x56, 0x34, 0x12));
}

}  // namespace
}  // namespace pm32::test
