#include <gtest/gtest.h>

#include "tests/control/test_site.h"
#include "tests/support/qt_print.h"
#include "tests/support/test_dibs.h"

namespace pm32::test {
namespace {

using platform::MouseAction;

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kShadow = 0xFF808080;
constexpr QRgb kLight = 0xFFE3E3E3;

// A 60 x 40 window showing nothing but its BackColor, pure red.
struct RedWindow : PlacedControl {
    RedWindow() : PlacedControl(QSize(60, 40)) { put("BackColor", i4(0x0000FF)); }
    QImage shot() { return site->window()->WindowSnapshot(nullptr); }
};

TEST(StockLook, FrameShrinksTheClientAreaAndShowsOnTheWindow) {
    struct Case {
        int borderStyle;
        int appearance;
        int frame;
        // The window's pixels from its left edge inwards along the middle row.
        std::vector<QRgb> left;
        std::vector<QRgb> right;
    };
    const QRgb red = 0xFFFF0000;
    for (const Case& c : {
             Case{0, 0, 0, {red}, {red}},
             Case{1, 0, 1, {kBlack, red}, {kBlack, red}},
             Case{0, 1, 2, {kShadow, kBlack, red}, {kWhite, kLight, red}},
             Case{1, 1, 3, {kBlack, kShadow, kBlack, red}, {kBlack, kWhite, kLight, red}},
         }) {
        SCOPED_TRACE(testing::Message()
                     << "BorderStyle " << c.borderStyle << ", Appearance " << c.appearance);
        RedWindow p;
        p.put("BorderStyle", i2(c.borderStyle));
        p.put("Appearance", i2(c.appearance));
        EXPECT_EQ(p.site->window()->ClientSize(), QSize(60 - 2 * c.frame, 40 - 2 * c.frame));
        QImage shot = p.shot();
        ASSERT_EQ(shot.size(), QSize(60, 40));
        for (std::size_t i = 0; i < c.left.size(); ++i) {
            EXPECT_EQ(shot.pixel(static_cast<int>(i), 20), c.left[i]) << "left " << i;
            EXPECT_EQ(shot.pixel(59 - static_cast<int>(i), 20), c.right[i]) << "right " << i;
            EXPECT_EQ(shot.pixel(30, static_cast<int>(i)), c.left[i]) << "top " << i;
            EXPECT_EQ(shot.pixel(30, 39 - static_cast<int>(i)), c.right[i]) << "bottom " << i;
        }
        // The view fits a square image to the client area's height inside the frame.
        p.call("ImportDib", {i4(TrueColorDib(200, 200,
                                             [](int, int) {
                                                 return Rgb{0, 0, 0};
                                             })
                                    .take()),
                             Variant::Bool(true)});
        p.put("AutoScale", Variant::Bool(true));
        EXPECT_EQ(p.get("ScaleScreen").toI2(), 40 - 2 * c.frame);
    }
}

TEST(StockLook, LoadedPropertiesFrameTheWindowAtOnce) {
    PlacedControl source;
    source.put("BorderStyle", i2(1));
    source.put("Appearance", i2(1));
    RedWindow p;
    p.control->LoadProperties(source.control->SaveProperties());
    EXPECT_EQ(p.site->window()->ClientSize(), QSize(54, 34));
    p.control->LoadProperties("");
    EXPECT_EQ(p.site->window()->ClientSize(), QSize(60, 40)) << "defaults take the frame away";
}

TEST(StockLook, DisabledControlGetsNoMouseOrKeyInput) {
    PlacedControl p(QSize(60, 40));
    auto& window = *p.site->window();
    auto input = [&] {
        window.MouseMove(0, 0, QPoint(5, 5));
        window.Mouse(MouseAction::Down, platform::kLeftButton, 0, QPoint(5, 5));
        window.Mouse(MouseAction::Up, platform::kLeftButton, 0, QPoint(5, 5));
        window.Key(true, 0x41, 0);
        window.Char('a');
        window.Key(false, 0x41, 0);
    };
    const std::vector<std::string> all = {"MouseMove", "MouseDown", "MouseUp", "Click",
                                          "KeyDown",   "KeyPress",  "KeyUp"};
    p.site->clearEvents();
    input();
    EXPECT_EQ(p.site->events, all);

    p.put("Enabled", Variant::Bool(false));
    p.site->clearEvents();
    input();
    EXPECT_TRUE(p.site->events.empty());
    EXPECT_FALSE(window.HasCapture());

    p.put("Enabled", Variant::Bool(true));
    p.site->clearEvents();
    input();
    EXPECT_EQ(p.site->events, all);
}

TEST(StockLook, DisablingLetsGoOfTheMouseAndEndsTheRubberBand) {
    PlacedControl p(QSize(60, 40));
    auto& window = *p.site->window();
    window.Mouse(MouseAction::Down, platform::kLeftButton, 0, QPoint(5, 5));
    ASSERT_TRUE(window.HasCapture());
    p.put("Enabled", Variant::Bool(false));
    EXPECT_FALSE(window.HasCapture());

    p.put("Enabled", Variant::Bool(true));
    p.call("RegionRb", {i2(0), i2(1), Variant::Bool(true)});
    ASSERT_NE(p.control->Tracker(), nullptr);
    ASSERT_TRUE(p.control->Tracker()->Captured());
    p.put("Enabled", Variant::Bool(false));
    EXPECT_FALSE(p.control->Tracker()->Captured());
    EXPECT_FALSE(window.HasCapture());
}

}  // namespace
}  // namespace pm32::test
