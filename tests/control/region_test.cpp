#include <gtest/gtest.h>

#include "tests/control/test_site.h"

namespace pm32::test {
namespace {

using automation::ControlScode;
using automation::CTL_E_GETNOTSUPPORTED;
using platform::MouseAction;

Variant points() {
    auto array = std::make_shared<automation::SafeArray>();
    array->elementType = automation::VarType::I4;
    for (int v : {0, 0, 10, 0, 10, 10}) array->elements.push_back(Variant::I4(v));
    return Variant::Array(array);
}

std::vector<Variant> regionArgs(int type, int location, Variant number = Variant::Missing()) {
    return {i2(type), i2(location), Variant::Bool(true), Variant::Bool(true), points(), number};
}

constexpr const char* kRegionProperties[] = {
    "RegionEnabled",  "RegionVisible",    "RegionFillStyle", "RegionFillColor",
    "RegionRasterOp", "RegionFrameColor", "RegionFrameWidth"};

TEST(Selection, PlainPropertiesAcceptAnyValue) {
    PlacedControl p;
    for (const char* name :
         {"SelectLeft", "SelectTop", "SelectWidth", "SelectHeight", "Xorigin", "Yorigin"}) {
        p.site->changed.clear();
        p.put(name, i2(-5));
        EXPECT_EQ(p.get(name).toI2(), -5) << name;
        EXPECT_EQ(p.site->changed.size(), 1u) << name;
    }
}

TEST(Region, ChecksLocationThenTypeThenPointCountAndAddsNothing) {
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { p.call("Region", regionArgs(3, 1, i2(5))); }), 0u);
    EXPECT_TRUE(p.control->Regions().empty());
    EXPECT_EQ(errorOf([&] { p.call("Region", regionArgs(4, 1, i2(5))); }), 20397u);
    EXPECT_EQ(errorOf([&] { p.call("Region", regionArgs(-1, 1)); }), 20397u);
    EXPECT_EQ(errorOf([&] { p.call("Region", regionArgs(3, 1)); }), 20396u);
    EXPECT_EQ(errorOf([&] { p.call("Region", regionArgs(3, 1, Variant::I4(5))); }), 20396u)
        << "the count must be a 16-bit integer";
    Variant count = i2(5);
    EXPECT_EQ(errorOf([&] { p.call("Region", regionArgs(3, 1, Variant::Ref(&count))); }), 0u);
    EXPECT_EQ(errorOf([&] { p.call("Region", regionArgs(0, 1)); }), 0u)
        << "only polygons need a count";
    EXPECT_EQ(errorOf([&] { p.call("Region", regionArgs(0, 2)); }), 20398u);
    EXPECT_EQ(errorOf([&] { p.call("Region", regionArgs(4, 2)); }), 20398u)
        << "the location is checked before the type";
    EXPECT_EQ(errorOf([&] { p.call("Region", regionArgs(3, 0)); }), 20398u);
}

TEST(Region, ALocationOtherThanOneMustExist) {
    PlacedControl p;
    p.control->Regions().resize(2);
    EXPECT_EQ(errorOf([&] { p.call("Region", regionArgs(1, 2)); }), 0u);
    EXPECT_EQ(errorOf([&] { p.call("Region", regionArgs(1, 3)); }), 20398u);
    EXPECT_EQ(p.control->Regions().size(), 2u);
}

// Gets and puts an indexed property.
Variant getAt(PlacedControl& p, std::string_view name, int index) {
    std::vector<Variant> args{i2(index)};
    return p.control->Invoke(*p.control->GetIdOfName(name), automation::InvokeKind::PropertyGet,
                             args);
}
void putAt(PlacedControl& p, std::string_view name, int index, Variant value) {
    std::vector<Variant> args{i2(index), std::move(value)};
    p.control->Invoke(*p.control->GetIdOfName(name), automation::InvokeKind::PropertyPut, args);
}

TEST(RegionProperties, LookUpARegionThatNeverExists) {
    PlacedControl p;
    for (const char* name : kRegionProperties) {
        EXPECT_EQ(errorOf([&] { getAt(p, name, 1); }), 20398u) << name;
        EXPECT_EQ(errorOf([&] { putAt(p, name, 1, i2(1)); }), 20398u) << name;
    }
}

TEST(RegionProperties, RangesAreCheckedBeforeTheLookup) {
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { putAt(p, "RegionRasterOp", 1, i2(16)); }), 20399u);
    EXPECT_EQ(errorOf([&] { putAt(p, "RegionRasterOp", 1, i2(-1)); }), 20399u);
    EXPECT_EQ(errorOf([&] { putAt(p, "RegionRasterOp", 1, i2(15)); }), 20398u);
    EXPECT_EQ(errorOf([&] { putAt(p, "RegionFillStyle", 1, i2(8)); }), 20370u);
    EXPECT_EQ(errorOf([&] { putAt(p, "RegionFillStyle", 1, i2(7)); }), 20398u);
    EXPECT_EQ(errorOf([&] { putAt(p, "RegionFrameWidth", 1, i2(3)); }), 20398u);
    EXPECT_EQ(errorOf([&] { getAt(p, "RegionEnabled", 0); }), 20398u);
    EXPECT_EQ(errorOf([&] { getAt(p, "RegionEnabled", -1); }), 20398u);
}

TEST(RegionProperties, AreNotSupportedInDesignMode) {
    PlacedControl p(false);
    p.control->Regions().resize(1);
    for (const char* name : kRegionProperties) {
        EXPECT_EQ(scodeOf([&] { getAt(p, name, 1); }), ControlScode(CTL_E_GETNOTSUPPORTED)) << name;
        EXPECT_EQ(scodeOf([&] { putAt(p, name, 1, i2(1)); }), ControlScode(CTL_E_GETNOTSUPPORTED))
            << name;
    }
    EXPECT_EQ(scodeOf([&] { putAt(p, "RegionRasterOp", 1, i2(16)); }),
              ControlScode(CTL_E_GETNOTSUPPORTED))
        << "design mode is refused before the range";
}

TEST(RegionProperties, ReadAndWriteAnExistingRecord) {
    PlacedControl p;
    p.control->Regions().resize(2);
    putAt(p, "RegionEnabled", 2, Variant::Bool(true));
    putAt(p, "RegionVisible", 2, Variant::Bool(true));
    putAt(p, "RegionFillStyle", 2, i2(6));
    putAt(p, "RegionFillColor", 2, Variant::I4(0x123456));
    putAt(p, "RegionRasterOp", 2, i2(9));
    putAt(p, "RegionFrameColor", 2, Variant::I4(0x654321));
    putAt(p, "RegionFrameWidth", 2, i2(4));
    EXPECT_TRUE(getAt(p, "RegionEnabled", 2).toBool());
    EXPECT_TRUE(getAt(p, "RegionVisible", 2).toBool());
    EXPECT_EQ(getAt(p, "RegionFillStyle", 2).toI2(), 6);
    EXPECT_EQ(getAt(p, "RegionFillColor", 2).toI4(), 0x123456);
    EXPECT_EQ(getAt(p, "RegionRasterOp", 2).toI2(), 9);
    EXPECT_EQ(getAt(p, "RegionFrameColor", 2).toI4(), 0x654321);
    EXPECT_EQ(getAt(p, "RegionFrameWidth", 2).toI2(), 4);
    EXPECT_FALSE(getAt(p, "RegionEnabled", 1).toBool()) << "record 1 is untouched";
    EXPECT_EQ(p.site->changed, (std::vector<DispId>{151, 152, 153, 154, 155, 156, 157}));
    EXPECT_TRUE(p.control->Modified());
    EXPECT_EQ(errorOf([&] { getAt(p, "RegionFillStyle", 3); }), 20398u);
}

TEST(RegionRb, RefusalsCaptureNothing) {
    PlacedControl p(QSize(50, 50));
    EXPECT_EQ(errorOf([&] { p.call("RegionRb", {i2(4), i2(1), Variant::Bool(false)}); }), 20397u);
    EXPECT_EQ(errorOf([&] { p.call("RegionRb", {i2(4), i2(2), Variant::Bool(false)}); }), 20398u);
    EXPECT_FALSE(p.site->window()->HasCapture());
    EXPECT_EQ(p.control->Tracker(), nullptr);
}

TEST(RegionRb, StartsATrackerWithTheSettingsOfTheMoment) {
    PlacedControl p(QSize(50, 50));
    p.put("DrawWidth", i2(3));
    p.put("ForeColor", Variant::I4(0x0000FF));
    p.put("FillStyle", i2(4));
    p.call("RegionRb", {i2(2), i2(1), Variant::Bool(false)});
    EXPECT_TRUE(p.site->window()->HasCapture());
    const control::RubberBandTracker* tracker = p.control->Tracker();
    ASSERT_NE(tracker, nullptr);
    EXPECT_EQ(tracker->settings().type, 2);
    EXPECT_EQ(tracker->settings().penWidth, 3);
    EXPECT_EQ(tracker->settings().frameColor, 0x0000FFu);
    EXPECT_EQ(tracker->settings().backColor, 0xC0C0C0u) << "the button face";
    EXPECT_EQ(tracker->settings().fillStyle, 4);
    p.put("DrawWidth", i2(5));
    EXPECT_EQ(tracker->settings().penWidth, 3);
    p.call("RegionRb", {i2(0), i2(1), Variant::Bool(false)});
    EXPECT_NE(p.control->Tracker(), tracker) << "a new tracker replaces the old";
}

// The surface with a frame of the given width inverted inside rect.
QImage inverted(QImage image, QRect rect, int width) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (x < rect.left() + width || x > rect.right() - width || y < rect.top() + width ||
                y > rect.bottom() - width)
                image.setPixel(x, y, image.pixel(x, y) ^ 0x00FFFFFFu);
    return image;
}

TEST(RegionRb, TheFrameFollowsTheMouseAndTheOldFrameGoes) {
    PlacedControl p(QSize(60, 60));
    p.call("Init", {i2(24), i2(60), i2(60), Variant::I4(0x204080)});
    auto& window = *p.site->window();
    window.PumpMessages();
    const QImage before = window.Surface();
    p.put("DrawWidth", i2(2));
    p.call("RegionRb", {i2(0), i2(1), Variant::Bool(false)});

    window.MouseMove(platform::kLeftButton, 0, QPoint(10, 10));
    EXPECT_EQ(window.Surface(), before) << "the first move only anchors";
    window.MouseMove(platform::kLeftButton, 0, QPoint(30, 25));
    EXPECT_EQ(p.control->Tracker()->Rect(), QRect(10, 10, 20, 15));
    EXPECT_EQ(window.Surface(), inverted(before, QRect(10, 10, 20, 15), 2));
    window.MouseMove(platform::kLeftButton, 0, QPoint(5, 40));
    EXPECT_EQ(p.control->Tracker()->Rect(), QRect(5, 10, 5, 30)) << "from the anchor either way";
    EXPECT_EQ(window.Surface(), inverted(before, QRect(5, 10, 5, 30), 2));

    window.Mouse(MouseAction::Up, platform::kLeftButton, 0, QPoint(5, 40));
    EXPECT_FALSE(p.control->Tracker()->Captured());
    EXPECT_FALSE(window.HasCapture());
    window.MouseMove(0, 0, QPoint(50, 50));
    EXPECT_EQ(p.control->Tracker()->Rect(), QRect(5, 10, 5, 30)) << "released, it stays put";
    EXPECT_EQ(p.get("SelectWidth").toI2(), 0) << "the selection is not touched";
    EXPECT_EQ(p.get("SelectLeft").toI2(), 0);
}

TEST(RegionRb, PolygonTrackersDrawNothing) {
    PlacedControl p(QSize(30, 30));
    auto& window = *p.site->window();
    p.call("RegionRb", {i2(3), i2(1), Variant::Bool(false)});
    window.MouseMove(0, 0, QPoint(1, 1));
    window.MouseMove(0, 0, QPoint(20, 20));
    EXPECT_EQ(window.FramesInverted(), 0);
    EXPECT_EQ(p.control->Tracker()->Moves(), -1);
}

}  // namespace
}  // namespace pm32::test
