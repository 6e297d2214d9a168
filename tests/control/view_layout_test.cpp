#include <gtest/gtest.h>

#include <algorithm>

#include "control/zview.h"
#include "platform/window/system_metrics.h"
#include "tests/control/test_site.h"
#include "tests/support/test_dibs.h"

namespace pm32::test {
namespace {

using platform::ScrollBar;
using platform::ScrollCode;
using platform::ScrollRange;

// A shown control in a headless window of the outside size, holding a
// width x height true-colour image.
struct Viewed {
    Viewed(QSize window, int width, int height) : p(window) {
        p.call(
            "ImportDib",
            {Variant::I4(static_cast<std::int32_t>(
                 TrueColorDib(
                     width, height,
                     [](int x, int y) {
                         return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7};
                     })
                     .take())),
             Variant::Bool(true)});
        p.site->clearEvents();
    }
    const control::ZView& view() const { return p.control->View(); }
    platform::HeadlessWindowHost& window() { return *p.site->window(); }
    int pans() const {
        return static_cast<int>(std::count(p.site->events.begin(), p.site->events.end(), "Pan"));
    }
    void scroll(ScrollBar bar, ScrollCode code, int thumb = 0) {
        window().ScrollBarAction(bar, code, thumb);
    }

    PlacedControl p;
};

const int kBar = platform::HorizontalScrollBarHeight();

TEST(ViewScale, AutoScaleFitsTheRelativelyLargerSide) {
    Viewed v(QSize(320, 200), 640, 480);
    v.p.put("AutoScale", Variant::Bool(true));
    EXPECT_EQ(v.p.get("ScaleImage").toI2(), 480) << "480/200 = 2.4 >= 640/320 = 2";
    EXPECT_EQ(v.p.get("ScaleScreen").toI2(), 200);
    EXPECT_EQ(v.view().DisplayWidth(), 266);
    EXPECT_EQ(v.view().DisplayHeight(), 200);
    EXPECT_EQ(v.view().MaxXOrigin(), 0);
    EXPECT_EQ(errorOf([&] { v.p.put("ScaleImage", i2(2)); }), 20379u);
    EXPECT_EQ(errorOf([&] { v.p.call("Scale", {i2(1), i2(1)}); }), 20379u);

    Viewed wide(QSize(320, 200), 640, 300);
    wide.p.put("AutoScale", Variant::Bool(true));
    EXPECT_EQ(wide.p.get("ScaleImage").toI2(), 640) << "300/200 = 1.5 < 640/320 = 2";
    EXPECT_EQ(wide.p.get("ScaleScreen").toI2(), 320);
    EXPECT_EQ(wide.view().DisplayWidth(), 320);
    EXPECT_EQ(wide.view().DisplayHeight(), 150);
}

TEST(ViewScale, AutoScaleWithoutAnImageKeepsTheScales) {
    PlacedControl p(QSize(320, 200));
    p.put("ScaleScreen", i2(3));
    p.put("AutoScale", Variant::Bool(true));
    EXPECT_EQ(p.get("ScaleImage").toI2(), 1);
    EXPECT_EQ(p.get("ScaleScreen").toI2(), 3);
}

TEST(ViewScale, ZoomTwoGivesMaximumOriginTwentyFive) {
    Viewed v(QSize(150, 100), 100, 20);
    v.p.put("ScrollBars", i2(1));
    v.p.call("Scale", {i2(1), i2(2)});
    EXPECT_EQ(v.view().DisplayWidth(), 200);
    EXPECT_EQ(v.view().DisplayHeight(), 40);
    EXPECT_EQ(v.view().ClientWidth(), 150);
    EXPECT_EQ(v.view().MaxXOrigin(), 25) << "150 client pixels show 75 image pixels";
    EXPECT_EQ(v.window().GetScrollRange(ScrollBar::Horizontal), (ScrollRange{0, 25}));
    EXPECT_FALSE(v.window().ScrollBarPresent(ScrollBar::Vertical));
    EXPECT_EQ(v.window().ClientSize(), QSize(150, 100 - kBar));
}

TEST(ViewScale, ThreeImagePixelsToOneScreenPixelMoveInThrees) {
    Viewed v(QSize(40 + kBar, 40 + kBar), 200, 200);
    v.p.put("ScrollBars", i2(3));
    v.p.call("Scale", {i2(3), i2(1)});
    EXPECT_EQ(v.view().DisplayWidth(), 66);
    EXPECT_EQ(v.window().ClientSize(), QSize(40, 40));
    EXPECT_EQ(v.view().MaxXOrigin(), 78) << "200 - 120 = 80, down to a multiple of 3";
    EXPECT_EQ(v.view().MaxYOrigin(), 78);
    EXPECT_EQ(v.window().GetScrollRange(ScrollBar::Horizontal), (ScrollRange{0, 26}));
    v.p.call("RePos", {i2(100), i2(50), i2(0), i2(0)});
    EXPECT_EQ(v.view().XOrigin(), 78);
    EXPECT_EQ(v.view().YOrigin(), 48);
    v.scroll(ScrollBar::Vertical, ScrollCode::LineDown);
    EXPECT_EQ(v.view().YOrigin(), 51);
    EXPECT_EQ(v.window().WindowScrolls().back(), QPoint(0, -1)) << "one unit is one screen pixel";
    EXPECT_EQ(v.window().GetScrollPos(ScrollBar::Vertical), 17);
}

TEST(ViewScale, ScaleChecksBothValuesThenRefreshesAndNotifies) {
    Viewed v(QSize(100, 100), 50, 50);
    EXPECT_EQ(errorOf([&] { v.p.call("Scale", {i2(0), i2(0)}); }), 20344u);
    EXPECT_EQ(errorOf([&] { v.p.call("Scale", {i2(2), i2(0)}); }), 20343u);
    EXPECT_EQ(v.p.get("ScaleImage").toI2(), 1) << "a refused pair sets neither";
    v.p.site->changed.clear();
    v.p.call("Scale", {i2(1), i2(3)});
    EXPECT_EQ(v.view().DisplayWidth(), 150);
    EXPECT_EQ(v.p.site->changed, (std::vector<DispId>{32, 33}));
    EXPECT_TRUE(v.p.control->Modified());
}

TEST(ViewScrollBars, AppearAndDisappearAsTheClientShrinksAndGrows) {
    Viewed v(QSize(200, 200), 100, 80);
    v.p.put("ScrollBars", i2(3));
    auto& w = v.window();
    EXPECT_FALSE(w.ScrollBarPresent(ScrollBar::Horizontal));
    EXPECT_FALSE(w.ScrollBarPresent(ScrollBar::Vertical));

    w.SetWindowSize(QSize(90, 200));
    EXPECT_EQ(w.GetScrollRange(ScrollBar::Horizontal), (ScrollRange{0, 10}));
    EXPECT_FALSE(w.ScrollBarPresent(ScrollBar::Vertical)) << "80 rows fit above the bar";
    EXPECT_EQ(w.ClientSize(), QSize(90, 200 - kBar));
    EXPECT_EQ(v.view().ClientHeight(), 200 - kBar);

    w.SetWindowSize(QSize(90, 90));
    EXPECT_EQ(w.GetScrollRange(ScrollBar::Vertical), (ScrollRange{0, 80 - (90 - kBar)}));
    EXPECT_EQ(w.GetScrollRange(ScrollBar::Horizontal), (ScrollRange{0, 100 - (90 - kBar)}));
    EXPECT_EQ(w.ClientSize(), QSize(90 - kBar, 90 - kBar));
    EXPECT_EQ(v.view().ClientWidth(), 90 - kBar);

    w.SetWindowSize(QSize(100, 80));
    EXPECT_FALSE(w.ScrollBarPresent(ScrollBar::Horizontal)) << "the image fits exactly";
    EXPECT_FALSE(w.ScrollBarPresent(ScrollBar::Vertical));
    EXPECT_EQ(w.ClientSize(), QSize(100, 80));
    EXPECT_EQ(v.view().MaxXOrigin(), 0);
}

TEST(ViewScrollBars, OnlyTheBarsScrollBarsAsksFor) {
    Viewed v(QSize(50, 50), 100, 100);
    v.p.put("ScrollBars", i2(2));
    EXPECT_TRUE(v.window().ScrollBarPresent(ScrollBar::Vertical));
    EXPECT_FALSE(v.window().ScrollBarPresent(ScrollBar::Horizontal));
    v.p.put("ScrollBars", i2(0));
    EXPECT_FALSE(v.window().ScrollBarPresent(ScrollBar::Vertical));
    EXPECT_EQ(v.window().ClientSize(), QSize(50, 50));
}

TEST(ViewScroll, LinesAndPagesStayWithinTheMaximum) {
    Viewed v(QSize(50 + kBar, 50 + kBar), 100, 100);
    v.p.put("ScrollBars", i2(3));
    v.p.put("ScrollBarsLargeChange", i2(20));
    ASSERT_EQ(v.view().MaxXOrigin(), 50);
    v.scroll(ScrollBar::Horizontal, ScrollCode::LineUp);
    EXPECT_EQ(v.pans(), 0) << "nothing moves above 0";
    v.scroll(ScrollBar::Horizontal, ScrollCode::PageDown);
    v.scroll(ScrollBar::Horizontal, ScrollCode::PageDown);
    EXPECT_EQ(v.view().XOrigin(), 40);
    v.scroll(ScrollBar::Horizontal, ScrollCode::PageDown);
    EXPECT_EQ(v.view().XOrigin(), 50);
    EXPECT_EQ(v.window().WindowScrolls().back(), QPoint(-10, 0));
    EXPECT_EQ(v.window().GetScrollPos(ScrollBar::Horizontal), 50);
    v.scroll(ScrollBar::Horizontal, ScrollCode::LineDown);
    EXPECT_EQ(v.pans(), 3) << "nothing moves past the maximum";
    v.scroll(ScrollBar::Horizontal, ScrollCode::LineUp);
    EXPECT_EQ(v.view().XOrigin(), 49);
    v.scroll(ScrollBar::Horizontal, ScrollCode::PageUp);
    v.scroll(ScrollBar::Horizontal, ScrollCode::PageUp);
    v.scroll(ScrollBar::Horizontal, ScrollCode::PageUp);
    EXPECT_EQ(v.view().XOrigin(), 0);
    EXPECT_EQ(v.window().WindowScrolls().back(), QPoint(9, 0)) << "the last nine units";
    EXPECT_EQ(v.pans(), 7);
    v.scroll(ScrollBar::Horizontal, ScrollCode::Top);
    v.scroll(ScrollBar::Horizontal, ScrollCode::ThumbPosition, 30);
    EXPECT_EQ(v.pans(), 7) << "codes without a movement of their own";
}

TEST(ViewScroll, DraggingTheThumbMovesTheViewNotTheBar) {
    Viewed v(QSize(50 + kBar, 50 + kBar), 100, 100);
    v.p.put("ScrollBars", i2(3));
    v.scroll(ScrollBar::Vertical, ScrollCode::ThumbTrack, 30);
    EXPECT_EQ(v.view().YOrigin(), 30);
    EXPECT_EQ(v.window().GetScrollPos(ScrollBar::Vertical), 0);
    EXPECT_EQ(v.window().CursorClip(), v.window().ScrollBarScreenRect(ScrollBar::Vertical));
    v.scroll(ScrollBar::Vertical, ScrollCode::ThumbTrack, 51);
    EXPECT_EQ(v.view().YOrigin(), 30) << "past the maximum the thumb moves nothing";
    v.scroll(ScrollBar::Vertical, ScrollCode::EndScroll);
    EXPECT_EQ(v.window().GetScrollPos(ScrollBar::Vertical), 30);
    EXPECT_FALSE(v.window().CursorClip().has_value());
    EXPECT_EQ(v.pans(), 1);
}

TEST(ViewRePos, ShowsTheImagePixelAtTheClientPointAndFiresPanOnce) {
    Viewed v(QSize(60 + kBar, 60 + kBar), 100, 100);
    v.p.put("ScrollBars", i2(3));
    v.p.call("RePos", {i2(10), i2(10), i2(0), i2(0)});
    EXPECT_EQ(v.view().XOrigin(), 10);
    EXPECT_EQ(v.view().YOrigin(), 10);
    EXPECT_EQ(v.pans(), 1);
    EXPECT_EQ(v.window().GetScrollPos(ScrollBar::Horizontal), 10);
    v.p.call("RePos", {i2(10), i2(10), i2(0), i2(0)});
    EXPECT_EQ(v.pans(), 1) << "repeating moves nothing";
    v.p.call("RePos", {i2(99), i2(50), i2(5), i2(0)});
    EXPECT_EQ(v.view().XOrigin(), 40) << "94 is past the maximum of 40";
    EXPECT_EQ(v.view().YOrigin(), 40);
}

TEST(ViewRePos, RefusalsInOrderChangeNothing) {
    PlacedControl empty(QSize(50, 50));
    EXPECT_EQ(errorOf([&] { empty.call("RePos", {i2(0), i2(0), i2(0), i2(0)}); }), 20306u);

    Viewed v(QSize(50, 50), 100, 100);
    v.p.control->LoadProperties("AutoScale=True\nAutoSize=True\n");
    EXPECT_EQ(errorOf([&] { v.p.call("RePos", {i2(-1), i2(0), i2(99), i2(0)}); }), 20335u);
    v.p.control->LoadProperties("AutoSize=True\n");
    EXPECT_EQ(errorOf([&] { v.p.call("RePos", {i2(-1), i2(0), i2(99), i2(0)}); }), 20334u);
    v.p.control->LoadProperties("");
    v.p.control->View().Refresh();
    EXPECT_EQ(errorOf([&] { v.p.call("RePos", {i2(-1), i2(0), i2(50), i2(0)}); }), 20336u);
    EXPECT_EQ(errorOf([&] { v.p.call("RePos", {i2(0), i2(0), i2(0), i2(-1)}); }), 20336u);
    EXPECT_EQ(errorOf([&] { v.p.call("RePos", {i2(100), i2(0), i2(0), i2(0)}); }), 20337u);
    EXPECT_EQ(errorOf([&] { v.p.call("RePos", {i2(0), i2(-1), i2(0), i2(0)}); }), 20337u);
    EXPECT_EQ(v.pans(), 0);
    EXPECT_EQ(v.p.get("ErrorNumber").toI4(), 20337);
}

TEST(ViewScreenToImage, HalfScaleFromOriginFour) {
    Viewed v(QSize(150, 100), 100, 20);
    v.p.put("ScrollBars", i2(1));
    v.p.call("Scale", {i2(1), i2(2)});
    v.p.call("RePos", {i2(4), i2(0), i2(0), i2(0)});
    ASSERT_EQ(v.view().XOrigin(), 4);
    EXPECT_EQ(v.p.call("ScreenToImageX", {i2(9)}).toI2(), 8);
    EXPECT_EQ(v.p.call("ScreenToImageX", {i2(191)}).toI2(), 99);
    EXPECT_EQ(v.p.call("ScreenToImageX", {i2(192)}).toI2(), -1) << "column 100 is past the image";
    EXPECT_EQ(v.p.call("ScreenToImageX", {i2(1000)}).toI2(), -1);
    EXPECT_EQ(v.p.call("ScreenToImageX", {i2(-20)}).toI2(), -1) << "column -6 is before it";
    EXPECT_EQ(v.p.call("ScreenToImageY", {i2(9)}).toI2(), 4) << "the Y origin is 0";
    EXPECT_EQ(v.p.call("ScreenToImageY", {i2(40)}).toI2(), -1);

    PlacedControl empty;
    EXPECT_EQ(errorOf([&] { empty.call("ScreenToImageX", {i2(0)}); }), 20306u);
    EXPECT_EQ(errorOf([&] { empty.call("ScreenToImageY", {i2(0)}); }), 20306u);
}

TEST(ViewScreenToImage, FollowsTheScalesWithoutAWindow) {
    PlacedControl p;
    p.call("Init", {i2(8), i2(40), i2(40), Variant::I4(0)});
    p.call("Scale", {i2(3), i2(1)});
    EXPECT_EQ(p.call("ScreenToImageX", {i2(5)}).toI2(), 15);
}

TEST(ViewSizing, AutoSizeFitsTheWindowToTheDisplay) {
    Viewed v(QSize(200, 200), 30, 20);
    v.p.call("Scale", {i2(1), i2(2)});
    v.p.put("AutoSize", Variant::Bool(true));
    EXPECT_EQ(v.window().WindowSize(), QSize(60, 40));
    EXPECT_EQ(v.window().ClientSize(), QSize(60, 40));
    v.p.call("Scale", {i2(1), i2(3)});
    EXPECT_EQ(v.window().WindowSize(), QSize(90, 60));
}

TEST(ViewSizing, ModesAskedForWithScrollBarsAreTurnedOffAndRefused) {
    PlacedControl p(QSize(50, 50));
    p.control->LoadProperties("ScrollBars=1\nAutoScale=True\nAutoSize=True\n");
    EXPECT_EQ(errorOf([&] { p.put("AutoScale", Variant::Bool(true)); }), 20312u);
    EXPECT_FALSE(p.get("AutoScale").toBool());
    EXPECT_EQ(errorOf([&] { p.put("AutoSize", Variant::Bool(true)); }), 20313u);
    EXPECT_FALSE(p.get("AutoSize").toBool());
    p.put("ScrollBars", i2(0));
    p.put("AutoSize", Variant::Bool(true));
    EXPECT_EQ(errorOf([&] { p.put("ScrollBars", i2(2)); }), 20310u);
}

TEST(ViewMetrics, TheReportedBarSizesAreWhatTheBarsTake) {
    Viewed v(QSize(50, 50), 100, 100);
    v.p.put("ScrollBars", i2(3));
    EXPECT_EQ(v.p.call("GetHorzSBHeight").toI2(), 50 - v.window().ClientSize().height());
    EXPECT_EQ(v.p.call("GetVertSBWidth").toI2(), 50 - v.window().ClientSize().width());
}

}  // namespace
}  // namespace pm32::test
