#include "control/resize_placement.h"

#include <gtest/gtest.h>

namespace pm32 {

// For the expectations below, found by argument-dependent lookup.
bool operator==(const PictureRect& a, const PictureRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void PrintTo(const PictureRect& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace control {
namespace {

struct Case {
    std::int32_t w, h, x, y;
    PictureRect source, destination;
};

constexpr std::int32_t kHeldWidth = 100;
constexpr std::int32_t kHeldHeight = 50;

void expectPlacements(const std::vector<Case>& cases, bool keepProportions) {
    for (const Case& c : cases) {
        auto placement =
            WholeImageResize(c.w, c.h, kHeldWidth, kHeldHeight, c.x, c.y, keepProportions);
        ASSERT_TRUE(placement.has_value()) << c.w << "x" << c.h << " at " << c.x << "," << c.y;
        EXPECT_EQ(placement->source, c.source) << c.w << "x" << c.h << " at " << c.x << "," << c.y;
        EXPECT_EQ(placement->destination, c.destination)
            << c.w << "x" << c.h << " at " << c.x << "," << c.y;
    }
}

TEST(WholeImageResize, VariableModesStretchBothAxesAndCutTheSourceByTheOrigin) {
    expectPlacements({{20, 10, 0, 0, {0, 0, 20, 10}, {0, 0, 100, 50}},
                      {20, 10, 10, 0, {0, 0, 18, 10}, {10, 0, 100, 50}},
                      {20, 10, -10, 0, {2, 0, 20, 10}, {0, 0, 90, 50}},
                      {20, 10, 0, 5, {0, 0, 20, 9}, {0, 5, 100, 50}},
                      {20, 10, 0, -5, {0, 1, 20, 10}, {0, 0, 100, 45}},
                      {20, 10, -15, 20, {3, 0, 20, 6}, {0, 20, 85, 50}}},
                     false);
}

TEST(WholeImageResize, FixedModesKeepTheIncomingAspect) {
    // Taller than the held image's aspect: the width follows the height.
    expectPlacements({{20, 20, 0, 0, {0, 0, 20, 20}, {0, 0, 50, 50}},
                      {20, 20, 10, 0, {0, 0, 18, 20}, {10, 0, 60, 50}},
                      {20, 20, -10, 0, {2, 0, 20, 20}, {0, 0, 40, 50}},
                      {20, 20, 60, 0, {0, 0, 6, 20}, {60, 0, 100, 50}}},
                     true);
    // Wider: the height follows the width.
    expectPlacements({{40, 10, 0, 5, {0, 0, 40, 9}, {0, 5, 100, 30}},
                      {40, 10, 0, -5, {0, 1, 40, 10}, {0, 0, 100, 20}},
                      {40, 10, 0, 30, {0, 0, 40, 3}, {0, 30, 100, 50}}},
                     true);
    // Same aspect: nothing to keep.
    expectPlacements({{20, 10, 10, 0, {0, 0, 18, 10}, {10, 0, 100, 50}}}, true);
}

TEST(WholeImageResize, OriginsThatLeaveNothingToCopyGiveNothing) {
    for (bool keep : {false, true}) {
        EXPECT_FALSE(WholeImageResize(20, 10, 100, 50, 100, 0, keep)) << keep;
        EXPECT_FALSE(WholeImageResize(20, 10, 100, 50, -100, 0, keep)) << keep;
        EXPECT_FALSE(WholeImageResize(20, 10, 100, 50, 0, 50, keep)) << keep;
        EXPECT_FALSE(WholeImageResize(20, 10, 100, 50, 0, -32768, keep)) << keep;
        EXPECT_FALSE(WholeImageResize(20, 10, 100, 50, 32767, 32767, keep)) << keep;
    }
    // The source's bottom is cut below its top: kept proportions overshoot.
    EXPECT_FALSE(WholeImageResize(40, 10, 100, 50, 0, 40, true));
}

TEST(SelectionResize, VariableModesFillTheSelectionFixedModesFitInside) {
    PictureRect selection{10, 10, 30, 30};
    auto variable = SelectionResize(20, 10, 100, 50, selection, false);
    ASSERT_TRUE(variable);
    EXPECT_EQ(variable->source, (PictureRect{0, 0, 20, 10}));
    EXPECT_EQ(variable->destination, (PictureRect{10, 10, 30, 30}));
    auto fixed = SelectionResize(20, 10, 100, 50, selection, true);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->source, (PictureRect{0, 0, 20, 10}));
    EXPECT_EQ(fixed->destination, (PictureRect{10, 10, 30, 20}));
    auto tall = SelectionResize(10, 20, 100, 50, selection, true);
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->destination, (PictureRect{10, 10, 20, 30}));
}

TEST(SelectionResize, TheDestinationIsClippedToTheImageAndTheSourceFollows) {
    auto clipped = SelectionResize(20, 10, 100, 50, {90, 40, 130, 80}, false);
    ASSERT_TRUE(clipped);
    EXPECT_EQ(clipped->destination, (PictureRect{90, 40, 100, 50}));
    EXPECT_EQ(clipped->source, (PictureRect{0, 0, 5, 2}));
    auto fromLeft = SelectionResize(20, 10, 100, 50, {-20, 0, 20, 10}, false);
    ASSERT_TRUE(fromLeft);
    EXPECT_EQ(fromLeft->destination, (PictureRect{0, 0, 20, 10}));
    EXPECT_EQ(fromLeft->source, (PictureRect{10, 0, 20, 10}));
    EXPECT_FALSE(SelectionResize(20, 10, 100, 50, {10, 10, 10, 30}, false)) << "no width";
    EXPECT_FALSE(SelectionResize(20, 10, 100, 50, {100, 0, 120, 10}, false)) << "outside";
}

}  // namespace
}  // namespace control
}  // namespace pm32
