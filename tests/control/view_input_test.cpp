#include <gtest/gtest.h>

#include "control/picture.h"
#include "tests/control/test_site.h"

namespace pm32::test {
namespace {

using control::Picture;
using control::PictureType;
using platform::CursorShape;
using platform::MouseAction;

std::shared_ptr<Picture> picture(PictureType type) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::black);
    return std::make_shared<Picture>(type, image, QPoint(3, 4));
}

TEST(MousePointer, ChoosesTheCursorOverTheClientArea) {
    PlacedControl p(QSize(40, 40));
    auto& window = *p.site->window();
    window.PointerAt(QPoint(5, 5));
    EXPECT_FALSE(window.CurrentCursor().chosenByClient) << "0 leaves the window's own cursor";
    struct Case {
        int pointer;
        CursorShape shape;
    };
    for (Case c :
         {Case{1, CursorShape::Arrow}, Case{2, CursorShape::Cross}, Case{3, CursorShape::IBeam},
          Case{4, CursorShape::Arrow}, Case{5, CursorShape::SizeAll},
          Case{6, CursorShape::SizeNESW}, Case{7, CursorShape::SizeNS},
          Case{8, CursorShape::SizeNWSE}, Case{9, CursorShape::SizeWE},
          Case{10, CursorShape::UpArrow}, Case{11, CursorShape::Wait}, Case{12, CursorShape::No},
          Case{13, CursorShape::AppStarting}, Case{14, CursorShape::Help},
          Case{15, CursorShape::SizeAll}}) {
        p.put("MousePointer", i2(c.pointer));
        EXPECT_TRUE(window.CurrentCursor().chosenByClient) << c.pointer;
        EXPECT_EQ(window.CurrentCursor().shape, c.shape) << c.pointer;
    }
    p.put("MousePointer", i2(0));
    EXPECT_FALSE(window.CurrentCursor().chosenByClient);
}

TEST(MousePointer, ChangesOnlyWhenThePointerIsOverTheClientArea) {
    PlacedControl p(QSize(40, 40));
    auto& window = *p.site->window();
    p.put("MousePointer", i2(2));
    EXPECT_FALSE(window.CurrentCursor().chosenByClient) << "the pointer is elsewhere";
    window.MouseMove(0, 0, QPoint(10, 10));
    EXPECT_EQ(window.CurrentCursor().shape, CursorShape::Cross);

    PlacedControl design(QSize(40, 40), false);
    design.site->window()->PointerAt(QPoint(1, 1));
    design.put("MousePointer", i2(2));
    EXPECT_FALSE(design.site->window()->CurrentCursor().chosenByClient)
        << "only a run-time set shows at once";
}

TEST(MousePointer, NinetyNineShowsTheMouseIconOrNoCursor) {
    PlacedControl p(QSize(40, 40));
    auto& window = *p.site->window();
    window.PointerAt(QPoint(5, 5));
    p.put("MousePointer", i2(99));
    EXPECT_EQ(window.CurrentCursor().shape, CursorShape::None);
    EXPECT_TRUE(window.CurrentCursor().image.isNull());
    p.put("MouseIcon", Variant::Object(picture(PictureType::Icon)));
    window.PointerAt(QPoint(6, 6));
    EXPECT_EQ(window.CurrentCursor().image.size(), QSize(32, 32));
    EXPECT_EQ(window.CurrentCursor().hotSpot, QPoint(3, 4));
}

TEST(MouseIcon, TakesIconsAndEmptyPicturesOnly) {
    PlacedControl p;
    auto type = [&] {
        return automation::GetProperty(*p.get("MouseIcon").toDispatch(), "Type").toI2();
    };
    EXPECT_EQ(type(), 0) << "an empty picture at first";
    p.put("MouseIcon", Variant::Object(picture(PictureType::Icon)));
    EXPECT_EQ(type(), 3);
    EXPECT_EQ(automation::GetProperty(*p.get("MouseIcon").toDispatch(), "Width").toI4(), 846);
    for (PictureType refused :
         {PictureType::Bitmap, PictureType::Metafile, PictureType::EnhancedMetafile}) {
        p.site->changed.clear();
        EXPECT_EQ(errorOf([&] { p.put("MouseIcon", Variant::Object(picture(refused))); }), 20375u);
        EXPECT_EQ(type(), 3) << "the icon stays";
        EXPECT_TRUE(p.site->changed.empty());
    }
    PlacedControl other;
    EXPECT_EQ(errorOf([&] { p.put("MouseIcon", Variant::Object(other.control)); }), 20375u);
    p.put("MouseIcon", Variant::Object(nullptr));
    EXPECT_EQ(type(), 0);
    EXPECT_EQ(p.site->changed, (std::vector<DispId>{35}));
}

TEST(StockEvents, MouseButtonsFireDownUpAndClickWithTheirArguments) {
    PlacedControl p(QSize(40, 40));
    auto& window = *p.site->window();
    p.site->clearEvents();
    window.Mouse(MouseAction::Down, platform::kLeftButton, platform::kShiftKey, QPoint(3, 4));
    EXPECT_TRUE(window.HasCapture()) << "a held button keeps the mouse";
    window.MouseMove(platform::kLeftButton, 0, QPoint(5, 6));
    window.Mouse(MouseAction::Up, platform::kLeftButton, 0, QPoint(5, 6));
    EXPECT_FALSE(window.HasCapture());
    EXPECT_EQ(p.site->events,
              (std::vector<std::string>{"MouseDown", "MouseMove", "MouseUp", "Click"}));
    const std::vector<Variant>& down = p.site->arguments[0];
    ASSERT_EQ(down.size(), 4u);
    EXPECT_EQ(down[0].toI2(), 1);
    EXPECT_EQ(down[1].toI2(), 1);
    EXPECT_EQ(down[2].toI4(), 3);
    EXPECT_EQ(down[3].toI4(), 4);
    EXPECT_EQ(p.site->arguments[1][2].toI4(), 5);

    p.site->clearEvents();
    window.Mouse(MouseAction::Up, platform::kRightButton, 0, QPoint(1, 1));
    EXPECT_TRUE(p.site->events.empty()) << "a button that never went down here";
    window.Mouse(MouseAction::Down, platform::kLeftButton, 0, QPoint(1, 1));
    window.Mouse(MouseAction::Up, platform::kLeftButton, 0, QPoint(1, 1));
    window.Mouse(MouseAction::DoubleClick, platform::kLeftButton, 0, QPoint(1, 1));
    window.Mouse(MouseAction::Up, platform::kLeftButton, 0, QPoint(1, 1));
    EXPECT_EQ(p.site->events,
              (std::vector<std::string>{"MouseDown", "MouseUp", "Click", "DblClick", "MouseUp"}));
}

TEST(StockEvents, KeysFireDownPressAndUp) {
    PlacedControl p(QSize(40, 40));
    auto& window = *p.site->window();
    p.site->clearEvents();
    window.Key(true, 0x41, platform::kControlKey);
    window.Char('a');
    window.Key(false, 0x41, 0);
    EXPECT_EQ(p.site->events, (std::vector<std::string>{"KeyDown", "KeyPress", "KeyUp"}));
    EXPECT_EQ(p.site->arguments[0][0].toI2(), 0x41);
    EXPECT_EQ(p.site->arguments[0][1].toI2(), 2);
    EXPECT_EQ(p.site->arguments[1][0].toI2(), 'a');
}

}  // namespace
}  // namespace pm32::test
