#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "control/zview.h"
#include "platform/window/system_metrics.h"
#include "tests/control/test_site.h"
#include "tests/support/test_dibs.h"

namespace pm32::test {
namespace {

using platform::ScrollBar;
using platform::ScrollCode;

Rgb pattern(int x, int y) {
    return {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
            static_cast<std::uint8_t>(x * 7 + y * 13)};
}

QRgb qColor(Rgb c) { return qRgb(c.red, c.green, c.blue); }

constexpr std::int32_t kRedBack = 0x0000FF;
const QRgb kRed = qRgb(255, 0, 0);
const int kBar = platform::HorizontalScrollBarHeight();

// A shown control in a headless window of the outside size, holding a
// patterned true-colour image, with a red BackColor.
struct Painted {
    Painted(QSize window, int width, int height, bool userMode = true) : p(window, userMode) {
        p.put("BackColor", Variant::I4(kRedBack));
        p.call("ImportDib",
               {Variant::I4(static_cast<std::int32_t>(TrueColorDib(width, height, pattern).take())),
                Variant::Bool(true)});
        p.site->clearEvents();
    }
    const control::ZView& view() const { return p.control->View(); }
    platform::HeadlessWindowHost& window() { return *p.site->window(); }
    QImage snapshot(bool* ok = nullptr) {
        bool painted = false;
        QImage image = window().Snapshot(&painted);
        if (ok != nullptr) *ok = painted;
        return image;
    }
    int paints() const {
        return static_cast<int>(std::count(p.site->events.begin(), p.site->events.end(), "Paint"));
    }

    PlacedControl p;
};

// Where the client area differs from the image shown from the view's origin
// at its scale with red beyond the display size; empty when nowhere.
std::string differenceFromView(const QImage& shot, const control::ZView& view) {
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            bool image = x < view.DisplayWidth() && y < view.DisplayHeight();
            QRgb expected =
                image ? qColor(pattern(view.XOrigin() + x * view.ScaleImage() / view.ScaleScreen(),
                                       view.YOrigin() + y * view.ScaleImage() / view.ScaleScreen()))
                      : kRed;
            if (shot.pixel(x, y) != expected) {
                std::ostringstream text;
                text << "client pixel (" << x << ", " << y << ") is " << std::hex
                     << shot.pixel(x, y) << ", not " << expected;
                return text.str();
            }
        }
    return {};
}

TEST(ViewPaint, BackColorFillsTheStripsRightOfAndBelowASmallImage) {
    Painted v(QSize(40, 30), 10, 8);
    bool ok = false;
    QImage shot = v.snapshot(&ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(shot.size(), QSize(40, 30));
    EXPECT_EQ(differenceFromView(shot, v.view()), "");
    EXPECT_EQ(shot.pixel(9, 7), qColor(pattern(9, 7)));
    EXPECT_EQ(shot.pixel(10, 0), kRed);
    EXPECT_EQ(shot.pixel(0, 8), kRed);
    EXPECT_EQ(shot.pixel(39, 29), kRed) << "the strips reach the last column and row";
}

TEST(ViewPaint, AScrolledViewShowsTheImageFromItsOriginAtItsScale) {
    Painted v(QSize(100 + kBar, 80 + kBar), 120, 90);
    v.p.put("ScrollBars", i2(3));
    v.p.call("Scale", {i2(1), i2(2)});
    v.p.call("RePos", {i2(30), i2(20), i2(0), i2(0)});
    ASSERT_EQ(v.view().XOrigin(), 30);
    EXPECT_EQ(differenceFromView(v.snapshot(), v.view()), "");
    v.p.call("Scale", {i2(2), i2(3)});
    EXPECT_EQ(v.view().XOrigin(), 30) << "still within the maximum of 52";
    EXPECT_EQ(differenceFromView(v.snapshot(), v.view()), "");
    v.p.call("Scale", {i2(2), i2(1)});
    EXPECT_EQ(v.view().XOrigin(), 0) << "the whole image fits again";
    EXPECT_EQ(differenceFromView(v.snapshot(), v.view()), "");
}

TEST(ViewPaint, ScrollingRepaintsOnlyWhatItUncoversAndStillShowsTheView) {
    Painted v(QSize(60 + kBar, 50 + kBar), 100, 100);
    v.p.put("ScrollBars", i2(3));
    v.p.call("Scale", {i2(1), i2(2)});
    v.window().PumpMessages();
    int paintsBefore = v.window().PaintCount();
    v.window().ScrollBarAction(ScrollBar::Horizontal, ScrollCode::LineDown);
    v.window().ScrollBarAction(ScrollBar::Vertical, ScrollCode::PageDown);
    v.window().ScrollBarAction(ScrollBar::Horizontal, ScrollCode::ThumbTrack, 20);
    v.window().ScrollBarAction(ScrollBar::Horizontal, ScrollCode::LineUp);
    EXPECT_EQ(v.window().PaintCount(), paintsBefore + 4) << "each movement updates the window";
    EXPECT_EQ(v.view().XOrigin(), 19);
    EXPECT_EQ(v.view().YOrigin(), 10);
    EXPECT_EQ(differenceFromView(v.window().Surface(), v.view()), "");
}

TEST(ViewPaint, PaintFiresPaintAndAFailedPaintReports20136) {
    // With only a vertical bar asked for and no room for it, the view lays
    // out a client narrower than the window: an origin at its maximum then
    // leaves the window wider than the image behind it.
    Painted v(QSize(50, 50), 60, 40);
    v.p.put("ScrollBars", i2(2));
    ASSERT_FALSE(v.window().ScrollBarPresent(ScrollBar::Vertical));
    ASSERT_EQ(v.view().ClientWidth(), 50 - kBar);
    v.p.call("RePos", {i2(59), i2(0), i2(33), i2(0)});
    ASSERT_EQ(v.view().XOrigin(), 26);
    v.p.site->clearEvents();
    bool ok = true;
    v.snapshot(&ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(v.p.get("ErrorNumber").toI4(), 20136);
    EXPECT_EQ(v.paints(), 0);
    v.p.call("RePos", {i2(0), i2(0), i2(0), i2(0)});
    v.p.site->clearEvents();
    v.snapshot(&ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(v.paints(), 1);
}

TEST(ViewPaint, DesignTimeShowsOnlyTheBackColor) {
    Painted v(QSize(30, 30), 10, 10, false);
    QImage shot = v.snapshot();
    EXPECT_EQ(shot.pixel(0, 0), kRed);
    EXPECT_EQ(shot.pixel(29, 29), kRed);
    EXPECT_EQ(v.paints(), 0) << "Paint is a run-time event";
}

TEST(ViewPaint, PaletteImagesShowTheirColourTableAndItsChanges) {
    PlacedControl p(QSize(8, 8));
    std::vector<Rgb> table(256);
    table[0] = {255, 0, 0};
    table[1] = {0, 255, 0};
    OwnedDib dib = PaletteDib(8, 4, 4, table, [](int x, int y) { return (x + y) % 2u; });
    p.call("ImportDib", {Variant::I4(static_cast<std::int32_t>(dib.take())), Variant::Bool(true)});
    QImage shot = p.site->window()->Snapshot(nullptr);
    EXPECT_EQ(shot.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(1, 0), qRgb(0, 255, 0));

    std::vector<PALETTEENTRY> entries(256, PALETTEENTRY{0, 0, 0, 0});
    entries[0] = {0, 0, 255, 0};
    entries[1] = {255, 255, 0, 0};
    HPALETTE palette = platform::CreatePalette(entries);
    p.put("hPalette", Variant::I4(static_cast<std::int32_t>(palette)));
    platform::DeletePalette(palette);
    shot = p.site->window()->Snapshot(nullptr);
    EXPECT_EQ(shot.pixel(0, 0), qRgb(0, 0, 255)) << "a new colour table shows at once";
    EXPECT_EQ(shot.pixel(1, 0), qRgb(255, 255, 0));
}

TEST(ViewLifecycle, TheScreenBitmapLivesWhileTheWindowShowsAnImage) {
    Painted v(QSize(20, 20), 10, 10);
    EXPECT_TRUE(v.view().HasScreenBitmap());
    v.window().Show(false);
    EXPECT_FALSE(v.view().HasScreenBitmap());
    v.window().Show(true);
    EXPECT_TRUE(v.view().HasScreenBitmap());
    v.p.call("Clear");
    EXPECT_FALSE(v.view().HasScreenBitmap());
    EXPECT_EQ(v.snapshot().pixel(0, 0), kRed);
    v.p.call("Init", {i2(24), i2(5), i2(5), Variant::I4(0x00FF00)});
    EXPECT_EQ(v.snapshot().pixel(0, 0), qRgb(0, 255, 0));
    v.window().Destroy();
    EXPECT_FALSE(v.view().HasScreenBitmap());
    EXPECT_EQ(v.p.control->Host(), nullptr);
    v.p.put("ScrollBars", i2(3));
    v.p.call("Refresh");
    EXPECT_EQ(v.p.get("hWnd").toI4(), 0);
}

TEST(ViewLifecycle, RefreshAndBackColorRepaint) {
    Painted v(QSize(20, 20), 10, 10);
    v.window().PumpMessages();
    int paints = v.window().PaintCount();
    v.p.call("Refresh");
    EXPECT_EQ(v.window().PaintCount(), paints + 1);
    EXPECT_TRUE(v.window().PendingPaint().isEmpty());
    int invalidations = v.window().InvalidateCount();
    v.p.put("BackColor", Variant::I4(0x00FF00));
    EXPECT_EQ(v.window().InvalidateCount(), invalidations + 1);
    v.window().PumpMessages();
    EXPECT_EQ(v.window().Surface().pixel(15, 15), qRgb(0, 255, 0));
}

}  // namespace
}  // namespace pm32::test
