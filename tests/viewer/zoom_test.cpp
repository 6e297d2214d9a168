#include "viewer/zoom.h"

#include <gtest/gtest.h>

namespace pm32::viewer {
namespace {

TEST(ZoomRatios, StepsFitsAndLabels) {
    const struct {
        ZoomRatio from;
        ZoomRatio in;
        ZoomRatio out;
    } steps[] = {{{1, 1}, {3, 2}, {2, 3}},    {{3, 2}, {2, 1}, {1, 1}},
                 {{16, 1}, {16, 1}, {12, 1}}, {{1, 16}, {1, 12}, {1, 16}},
                 {{5, 7}, {1, 1}, {2, 3}},    {{200, 51}, {4, 1}, {3, 1}}};
    for (const auto& step : steps) {
        EXPECT_EQ(StepIn(step.from), step.in) << RatioText(step.from).toStdString();
        EXPECT_EQ(StepOut(step.from), step.out) << RatioText(step.from).toStdString();
    }
    EXPECT_EQ(RatioText({3, 2}).toStdString(), "3:2");
    EXPECT_EQ(Reduced(600, 400), (ZoomRatio{3, 2}));
    EXPECT_EQ(Reduced(0, 5), (ZoomRatio{1, 5}));
    const ZoomRatio huge = Reduced(70000, 3);
    EXPECT_LE(huge.screen, 32767);
    EXPECT_NEAR(static_cast<double>(huge.screen) / huge.image, 70000.0 / 3, 70000.0 / 3 * 0.05);

    // The control's own example: 640 x 480 in 320 x 200 is 200:480.
    EXPECT_EQ(FitRatio({640, 480}, {320, 200}), (ZoomRatio{5, 12}));
    EXPECT_EQ(FitRatio({100, 50}, {800, 600}), (ZoomRatio{8, 1}));
    // 300 / 51 = 5.88: 23:4 is the closest with at most four image units.
    EXPECT_EQ(AreaRatio({51, 51}, {400, 300}), (ZoomRatio{23, 4}));
    EXPECT_EQ(AreaRatio({300, 200}, {100, 100}), (ZoomRatio{1, 3}));
}

// The area ratio never passes the fit and keeps the image units small.
TEST(ZoomRatios, AreaRatioStaysWithinTheFit) {
    const std::pair<QSize, QSize> cases[] = {{{51, 51}, {400, 300}},
                                             {{7, 3}, {500, 500}},
                                             {{300, 200}, {100, 100}},
                                             {{10, 10}, {10, 10}},
                                             {{1000, 10}, {333, 400}}};
    for (const auto& [image, area] : cases) {
        const ZoomRatio ratio = AreaRatio(image, area);
        EXPECT_LE(static_cast<long long>(image.width()) * ratio.screen / ratio.image, area.width());
        EXPECT_LE(static_cast<long long>(image.height()) * ratio.screen / ratio.image,
                  area.height());
        const ZoomRatio fit = FitRatio(image, area);
        if (fit.screen > fit.image) {
            EXPECT_LE(ratio.image, 4);
        }
        // Within one image unit of the fit.
        EXPECT_GE(static_cast<double>(ratio.screen + 1) / ratio.image,
                  static_cast<double>(fit.screen) / fit.image);
    }
}

TEST(ZoomRatios, InitialZoomFollowsSmallAndLarge) {
    const QSize area(800, 600);
    EXPECT_EQ(InitialRatio({100, 50}, area, true, true), (ZoomRatio{8, 1}));
    EXPECT_EQ(InitialRatio({100, 50}, area, false, true), (ZoomRatio{1, 1}));
    EXPECT_EQ(InitialRatio({1600, 1000}, area, true, true), (ZoomRatio{1, 2}));
    EXPECT_EQ(InitialRatio({1600, 1000}, area, true, false), (ZoomRatio{1, 1}));
    EXPECT_EQ(InitialRatio({800, 600}, area, false, false), (ZoomRatio{1, 1}));
}

}  // namespace
}  // namespace pm32::viewer
