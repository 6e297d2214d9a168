#include "color/median_cut.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace pm32 {
namespace {

// Entries along the blue axis only, so the sort order is the key order.
std::vector<ColorListEntry> blueRun(const std::vector<std::uint16_t>& counts) {
    std::vector<ColorListEntry> list;
    for (std::size_t i = 0; i < counts.size(); ++i)
        list.push_back({counts[i], static_cast<std::uint16_t>(i << 10)});
    return list;
}

std::vector<int> blues(const std::vector<PaletteColor>& palette) {
    std::vector<int> values;
    for (const PaletteColor& c : palette) values.push_back(c.blue);
    return values;
}

std::vector<PaletteColor> cut(std::vector<ColorListEntry> list, std::size_t colors) {
    std::vector<PaletteColor> out(colors);
    MedianCut(list, out);
    return out;
}

// Records every message box the host is asked to show.
class BoxRecorder {
  public:
    BoxRecorder() {
        platform::SetMessageBoxHandler(
            [this](std::string_view text, std::string_view, std::uint32_t) {
                texts.emplace_back(text);
                return platform::BoxAnswer::Ok;
            });
    }
    ~BoxRecorder() { platform::SetMessageBoxHandler({}); }

    std::vector<std::string> texts;
};

TEST(MedianCut, EvenCountsSplitWhereTheCursorsMeet) {
    // Blue fields 0..4: the cursors meet on entry 2 with equal sums, so it
    // joins the right box: {0, 1} and {2, 3, 4}. Means of 0, 8 and of 16, 24,
    // 33, requantised.
    EXPECT_EQ(blues(cut(blueRun({1, 1, 1, 1, 1}), 2)), (std::vector<int>{0, 24}));
}

TEST(MedianCut, AHeavyFirstEntryStandsAlone) {
    // The right cursor walks all the way to the heavy entry; colours are plain
    // means, so the heavy entry does not pull the other box.
    EXPECT_EQ(blues(cut(blueRun({10, 1, 1, 1, 1}), 2)), (std::vector<int>{0, 16}));
}

TEST(MedianCut, AHeavierLeftSideKeepsTheMeetingEntry) {
    // They meet on the heavy last entry with the right sum smaller: it would
    // join the left box, which may not take the whole run, so it stays alone.
    EXPECT_EQ(blues(cut(blueRun({1, 1, 1, 1, 10}), 2)), (std::vector<int>{8, 33}));
}

TEST(MedianCut, OddColourCountsGiveTheLeftBoxTheSmallerHalf) {
    // Five fields into 3: the cursors meet on 2, which joins the right box,
    // so {0, 1} takes 3 / 2 = 1 colour and {2, 3, 4} two, cut again into {2}
    // and {3, 4}. Means 4, 16 and 28, requantised to 0, 16 and 24.
    EXPECT_EQ(blues(cut(blueRun({1, 1, 1, 1, 1}), 3)), (std::vector<int>{0, 16, 24}));
    // Seven fields into 3: {0, 1, 2} with one colour, {3, 4, 5, 6} with two,
    // cut into {3} and {4, 5, 6}. Means 8, 24 and 41.
    EXPECT_EQ(blues(cut(blueRun({1, 1, 1, 1, 1, 1, 1}), 3)), (std::vector<int>{8, 24, 41}));
}

TEST(MedianCut, AsManyColoursAsEntriesGivesEachItsOwnBox) {
    std::vector<PaletteColor> out = cut(blueRun({5, 1, 7}), 3);
    EXPECT_EQ(blues(out), (std::vector<int>{0, 8, 16}));
}

TEST(MedianCut, TheWidestFieldIsCutFirstWithTiesGoingToBlue) {
    // Red spans 0..4 and blue 0..2: the cut runs along red.
    std::vector<ColorListEntry> list;
    for (std::uint16_t red = 0; red < 5; ++red)
        list.push_back({1, static_cast<std::uint16_t>((red % 3) << 10 | red)});
    std::vector<PaletteColor> out = cut(list, 2);
    EXPECT_EQ(out[0].red, 0);
    EXPECT_EQ(out[1].red, 24);
    // Blue and green both span 0..3 but order the entries differently: blue
    // decides, leaving (blue 0, green 2) alone.
    auto key = [](int blue, int green) {
        return static_cast<std::uint16_t>(blue << 10 | green << 5);
    };
    std::vector<PaletteColor> tie =
        cut({{1, key(0, 2)}, {1, key(1, 0)}, {1, key(2, 3)}, {1, key(3, 1)}}, 2);
    EXPECT_EQ(tie[0].blue, 0);
    EXPECT_EQ(tie[0].green, 16);
}

TEST(MedianCut, ConsistencyChecksNeverFireOnRealLists) {
    BoxRecorder boxes;
    std::mt19937 random(99);
    std::uniform_int_distribution<int> key(0, 0x7FFF);
    std::uniform_int_distribution<int> count(1, 65535);
    for (int round = 0; round < 200; ++round) {
        std::vector<bool> used(32768);
        std::vector<ColorListEntry> list;
        int size = 2 + round * 20;
        while (static_cast<int>(list.size()) < size) {
            int k = key(random);
            if (used[static_cast<std::size_t>(k)]) continue;
            used[static_cast<std::size_t>(k)] = true;
            list.push_back({static_cast<std::uint16_t>(round % 3 == 0 ? 1 : count(random)),
                            static_cast<std::uint16_t>(k)});
        }
        std::sort(list.begin(), list.end(),
                  [](const ColorListEntry& a, const ColorListEntry& b) { return a.key < b.key; });
        std::size_t colors = 1 + static_cast<std::size_t>(round) % std::min(size - 1, 256);
        std::vector<PaletteColor> out = cut(list, colors);
        for (const PaletteColor& c : out)
            for (int channel : {c.blue, c.green, c.red})
                ASSERT_EQ(channel, (channel & 0xF8) | (channel >> 5)) << "requantised means";
    }
    EXPECT_TRUE(boxes.texts.empty()) << boxes.texts.front();
}

}  // namespace
}  // namespace pm32
