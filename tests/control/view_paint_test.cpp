#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "control/zview.h"
#include "engine/dib_layout.h"
#include "platform/window/system_metrics.h"
#include "tests/control/test_site.h"
#include "tests/support/qt_print.h"
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

// Which image column (or row) each client pixel shows by the painting rules,
// -1 where BackColor shows: the destination extent rounded up to whole
// ScaleScreen steps, cut to the display size with the whole image as source,
// else ScaleImage source pixels for every ScaleScreen step, sampled nearest.
std::vector<int> shownAlong(int client, int display, int image, int origin, int scaleImage,
                            int scaleScreen) {
    std::int64_t extent = (std::int64_t{client} + scaleScreen - 1) / scaleScreen * scaleScreen;
    std::int64_t source = extent / scaleScreen * scaleImage;
    if (extent >= display) {
        extent = display;
        source = image;
    }
    std::vector<int> shown(static_cast<std::size_t>(client), -1);
    for (int p = 0; p < client && p < extent; ++p)
        shown[static_cast<std::size_t>(p)] = origin + static_cast<int>(p * source / extent);
    return shown;
}

// An image's pixels as the engine reads them, top row first.
struct EngineColors {
    explicit EngineColors(HGLOBAL dib)
        : width(static_cast<int>(HeaderField(dib, dib::kWidth))),
          height(static_cast<int>(HeaderField(dib, dib::kHeight))) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) colors.push_back(qColor(ColorAtPixel(dib, x, y)));
    }
    QRgb at(int x, int y) const { return colors[static_cast<std::size_t>(y * width + x)]; }

    int width;
    int height;
    std::vector<QRgb> colors;
};

// The client area as the painting rules show the image, worked out pixel by
// pixel from the engine's own reading of it, with red BackColor.
QImage referenceView(const EngineColors& image, const control::ZView& view) {
    const int width = image.width;
    const int height = image.height;
    std::vector<int> columns = shownAlong(view.ClientWidth(), view.DisplayWidth(), width,
                                          view.XOrigin(), view.ScaleImage(), view.ScaleScreen());
    std::vector<int> rows = shownAlong(view.ClientHeight(), view.DisplayHeight(), height,
                                       view.YOrigin(), view.ScaleImage(), view.ScaleScreen());
    QImage expected(view.ClientWidth(), view.ClientHeight(), QImage::Format_RGB32);
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            int column = columns[static_cast<std::size_t>(x)];
            int row = rows[static_cast<std::size_t>(y)];
            expected.setPixel(x, y, column < 0 || row < 0 ? kRed : image.at(column, row));
        }
    return expected;
}

// An image of the depth whose pixels vary along both axes, so that a wrong
// sample shows; 37 x 29 leaves partial bytes at the end of 1- and 4-bit rows.
OwnedDib distinctDib(int depth) {
    const int width = 37;
    const int height = 29;
    if (depth == 24)
        return TrueColorDib(width, height, [](int x, int y) {
            return Rgb{static_cast<std::uint8_t>(x * 6), static_cast<std::uint8_t>(y * 8),
                       static_cast<std::uint8_t>(x * 7 + y * 13)};
        });
    std::vector<Rgb> table(1u << depth);
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = {static_cast<std::uint8_t>(i * 37 + 5), static_cast<std::uint8_t>(255 - i),
                    static_cast<std::uint8_t>(i * 11)};
    return PaletteDib(depth, width, height, table, [depth](int x, int y) {
        return static_cast<unsigned>(x * 3 + y * 5 + x / 4) % (1u << depth);
    });
}

TEST(ViewPaint, EveryDepthScaleAndOriginPaintsAsTheRulesSay) {
    struct Scale {
        int image;
        int screen;
    };
    for (int depth : {1, 4, 8, 24}) {
        const OwnedDib dib = distinctDib(depth);
        const EngineColors colors(dib.get());
        for (Scale scale : {Scale{1, 1}, Scale{1, 3}, Scale{3, 1}, Scale{2, 3}, Scale{3, 2},
                            Scale{5, 4}, Scale{1, 7}})
            for (QPoint at : {QPoint(0, 0), QPoint(20, 15), QPoint(36, 28)}) {
                std::ostringstream where;
                where << depth << " bit, " << scale.image << ":" << scale.screen << " at " << at.x()
                      << ", " << at.y();
                PlacedControl p(QSize(40 + kBar, 30 + kBar));
                p.put("BackColor", Variant::I4(kRedBack));
                p.put("ScrollBars", i2(3));
                p.call("ImportDib",
                       {Variant::I4(static_cast<std::int32_t>(dib.get())), Variant::Bool(false)});
                p.call("Scale", {i2(scale.image), i2(scale.screen)});
                p.call("RePos", {i2(at.x()), i2(at.y()), i2(0), i2(0)});
                const control::ZView& view = p.control->View();
                bool ok = false;
                QImage shot = p.site->window()->Snapshot(&ok);
                ASSERT_TRUE(ok) << where.str();
                ASSERT_EQ(shot, referenceView(colors, view)) << where.str();

                // Scrolling paints only the uncovered strips onto the moved pixels.
                p.site->window()->PumpMessages();
                p.site->window()->ScrollBarAction(ScrollBar::Horizontal, ScrollCode::LineUp);
                p.site->window()->ScrollBarAction(ScrollBar::Vertical, ScrollCode::LineDown);
                ASSERT_EQ(p.site->window()->Surface(), referenceView(colors, view))
                    << where.str() << " scrolled to " << view.XOrigin() << ", " << view.YOrigin();
            }
    }
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

TEST(ViewPaint, AOneStepScrollPaintsOnlyTheUncoveredStrip) {
    Painted v(QSize(60 + kBar, 50 + kBar), 100, 100);
    v.p.put("ScrollBars", i2(3));
    v.p.call("Scale", {i2(1), i2(2)});
    v.window().PumpMessages();
    ASSERT_EQ(v.window().ClientSize(), QSize(60, 50));
    v.window().ScrollBarAction(ScrollBar::Vertical, ScrollCode::LineDown);
    EXPECT_EQ(v.window().LastPainted(), QRegion(0, 48, 60, 2));
    v.window().ScrollBarAction(ScrollBar::Horizontal, ScrollCode::LineDown);
    EXPECT_EQ(v.window().LastPainted(), QRegion(58, 0, 2, 50));
    v.p.call("RePos", {i2(0), i2(0), i2(0), i2(0)});
    EXPECT_EQ(v.window().LastPainted(), QRegion(0, 0, 2, 50) + QRegion(0, 0, 60, 2));
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

TEST(ViewPaint, APaintReadsOnlyTheImageItWasGivenAndReports20136WhenItIsGone) {
    // The caller keeps its block (no transfer) and then changes or frees it
    // behind the control's back; the view reads the block at every paint.
    const std::function<void(HGLOBAL)> changes[] = {
        [](HGLOBAL dib) {
            platform::Locked block(dib);
            writeLe32(block.data() + dib::kHeight, 5000);
        },
        [](HGLOBAL dib) {
            platform::Locked block(dib);
            writeLe16(block.data() + dib::kBitCount, 8);
        },
        [](HGLOBAL dib) { platform::GlobalFree(dib); },
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        PlacedControl p(QSize(30, 30));
        OwnedDib dib = TrueColorDib(20, 20, pattern);
        p.call("ImportDib",
               {Variant::I4(static_cast<std::int32_t>(dib.get())), Variant::Bool(false)});
        bool ok = false;
        p.site->window()->Snapshot(&ok);
        ASSERT_TRUE(ok) << i;
        changes[i](dib.get());
        p.site->window()->Snapshot(&ok);
        EXPECT_FALSE(ok) << i;
        EXPECT_EQ(p.get("ErrorNumber").toI4(), 20136) << i;
        if (i + 1 == std::size(changes)) dib.take();
    }
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

TEST(ViewMemory, TheLargestImagesCostWhatTheWindowShowsNotWhatTheyHold) {
    // 32767 x 32767 pixels take 134 MB at 1 bit and 1 GB at 8 bits; showing
    // them in 320 x 200 pixels must cost what a small image there costs.
    constexpr std::size_t kBudget = 300'000'000;
    for (int depth : {1, 8}) {
        std::vector<std::size_t> held;
        for (int side : {400, 32767}) {
            HGLOBAL image = 0;
            ASSERT_EQ(CreateDib(static_cast<std::uint32_t>(depth), side, side, 0, image), 0);
            const QRgb first = qColor(ColorTable(image).front());
            PlacedControl p(QSize(320, 200));
            EXPECT_TRUE(p.site->window()->Surface().isNull()) << "no pixels before a paint";
            p.call("ImportDib",
                   {Variant::I4(static_cast<std::int32_t>(image)), Variant::Bool(true)});
            p.site->window()->PumpMessages();
            ASSERT_EQ(p.site->window()->Surface().pixel(319, 199), first) << depth;
            const auto shown = [&p] {
                return p.control->View().DisplayBytes() +
                       static_cast<std::size_t>(p.site->window()->Surface().sizeInBytes());
            };
            held.push_back(shown());
            p.put("AutoScale", Variant::Bool(true));
            p.site->window()->PumpMessages();
            ASSERT_EQ(p.site->window()->Surface().pixel(0, 0), first) << depth;
            EXPECT_LT(shown(), kBudget) << depth << " bit, fitted";
        }
        EXPECT_EQ(held[1], held[0]) << depth << " bit at 1:1";
        EXPECT_LT(held[1], kBudget) << depth << " bit at 1:1";
    }
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
