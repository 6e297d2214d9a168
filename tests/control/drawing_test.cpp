#include <gtest/gtest.h>

#include <limits>

#include "control/arrowhead.h"
#include "platform/gdi/window_dc.h"
#include "tests/control/test_site.h"
#include "tests/support/test_dibs.h"

namespace pm32::test {
namespace {

using automation::ControlScode;
using automation::CTL_E_GETNOTSUPPORTED;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

// A control holding a white true-colour image with plain drawing colours.
struct DrawingControl : PlacedControl {
    explicit DrawingControl(int width = 40, int height = 40) : PlacedControl(QSize(80, 80)) {
        OwnedDib dib = TrueColorDib(width, height, [](int, int) { return kWhite; });
        call("ImportDib", {i4(static_cast<std::int32_t>(dib.take())), Variant::Bool(true)});
        put("ForeColor", i4(0x0000FF));  // red, as 0x00BBGGRR
        put("FillColor", i4(0xFF0000));  // blue
        put("BackColor", i4(0x00FF00));  // green
    }
    void select(int left, int top, int width, int height) {
        put("SelectLeft", i2(left));
        put("SelectTop", i2(top));
        put("SelectWidth", i2(width));
        put("SelectHeight", i2(height));
    }
    HGLOBAL image() const { return control->Image()->handle; }
    Rgb at(int x, int y) const { return ColorAtPixel(image(), x, y); }
    std::vector<Rgb> pixels() const {
        std::vector<Rgb> all;
        for (int y = 0; y < control->Image()->height; ++y)
            for (int x = 0; x < control->Image()->width; ++x) all.push_back(at(x, y));
        return all;
    }
};

Variant pointArray(std::vector<std::int32_t> values) {
    auto array = std::make_shared<automation::SafeArray>();
    array->elementType = automation::VarType::I4;
    for (std::int32_t v : values) array->elements.push_back(Variant::I4(v));
    return Variant::Array(array);
}

TEST(DrawingChecks, NoImageComesFirstEvenForTheWindow) {
    PlacedControl p(QSize(50, 50));
    p.put("SelectWidth", i2(5));
    p.put("SelectHeight", i2(5));
    EXPECT_EQ(errorOf([&] { p.call("Rect", {i2(1)}); }), 20306u);
    EXPECT_EQ(errorOf([&] { p.call("Rect", {i4(7)}); }), 20306u) << "before the destination";
    EXPECT_EQ(errorOf([&] { p.call("TextDraw"); }), 20306u);
    EXPECT_EQ(errorOf([&] { p.call("PolyLine", {pointArray({0, 0, 5, 5}), i2(2)}); }), 20306u);
}

TEST(DrawingChecks, DestinationMustBeAShortZeroOrOne) {
    DrawingControl p;
    p.select(1, 1, 5, 5);
    EXPECT_EQ(errorOf([&] { p.call("Rect", {i4(0)}); }), 20390u) << "a 32-bit 0";
    EXPECT_EQ(errorOf([&] { p.call("Rect", {i2(2)}); }), 20390u);
    EXPECT_EQ(errorOf([&] { p.call("Rect", {Variant::String("0")}); }), 20390u);
    EXPECT_EQ(errorOf([&] { p.call("TextDraw", {i2(-1)}); }), 20390u);
    Variant zero = i2(0);
    EXPECT_EQ(errorOf([&] { p.call("Rect", {Variant::Ref(&zero)}); }), 0u);
    EXPECT_EQ(errorOf([&] { p.call("Rect", {i2(0)}); }), 0u);
}

TEST(DrawingChecks, ShapesNeedASelectionAndLeaveTheImageOtherwise) {
    DrawingControl p;
    std::vector<Rgb> before = p.pixels();
    for (auto [width, height] : {std::pair{0, 5}, {5, 0}, {-5, 5}}) {
        p.select(1, 1, width, height);
        EXPECT_EQ(errorOf([&] { p.call("Rect"); }), 20158u);
        EXPECT_EQ(errorOf([&] { p.call("RoundRect", {i2(3), i2(3)}); }), 20158u);
        for (const char* name : {"Arc", "Chord", "Pie"})
            EXPECT_EQ(errorOf([&] { p.call(name, {i2(0), i2(0), i2(1), i2(1)}); }), 20158u) << name;
    }
    EXPECT_EQ(p.pixels(), before);
    EXPECT_EQ(p.get("ErrorNumber").toI4(), 20158);
}

TEST(DrawingChecks, PointCountsAgainstTheArray) {
    DrawingControl p;
    Variant six = pointArray({0, 0, 10, 0, 10, 10});
    EXPECT_EQ(errorOf([&] { p.call("Polygon", {six, i2(2), i2(0)}); }), 20194u);
    EXPECT_EQ(errorOf([&] { p.call("Polygon", {six, i2(-1), i2(0)}); }), 20194u);
    EXPECT_EQ(errorOf([&] { p.call("PolyLine", {six, i2(1)}); }), 20195u);
    EXPECT_EQ(errorOf([&] { p.call("PolyLine", {six, i2(-3)}); }), 20195u);
    std::vector<Rgb> before = p.pixels();
    EXPECT_EQ(errorOf([&] {
                  p.call("Polygon", {six, i2(4), i2(0)});
              }),
              20355u)
        << "four points from an array of three";
    EXPECT_EQ(errorOf([&] { p.call("PolyLine", {pointArray({1, 2, 3}), i2(2)}); }), 20355u);
    EXPECT_EQ(p.pixels(), before);
    EXPECT_EQ(errorOf([&] { p.call("Polygon", {six, i2(3), i2(0)}); }), 0u);
    EXPECT_NE(p.pixels(), before);
}

TEST(Rect, FillsItsExactPixelsAndRepaints) {
    DrawingControl p;
    p.put("FillStyle", i2(0));
    p.select(3, 4, 12, 9);
    p.site->window()->PumpMessages();
    int paints = p.site->window()->PaintCount();
    p.call("Rect");
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            bool inside = x >= 3 && x < 15 && y >= 4 && y < 13;
            bool edge = inside && (x == 3 || x == 14 || y == 4 || y == 12);
            ASSERT_EQ(p.at(x, y), edge ? kRed : inside ? kBlue : kWhite) << x << "," << y;
        }
    p.site->window()->PumpMessages();
    EXPECT_GT(p.site->window()->PaintCount(), paints) << "the view shows the drawing";
}

TEST(Rect, TransparentFillStyleLeavesTheInside) {
    DrawingControl p;  // FillStyle 1 by default
    p.select(3, 3, 10, 10);
    p.call("Rect");
    EXPECT_EQ(p.at(3, 3), kRed);
    EXPECT_EQ(p.at(7, 7), kWhite);
}

TEST(Rect, HatchesLieOverBackColorUnlessTheFillIsTransparent) {
    constexpr Rgb kGreen{0, 255, 0};
    for (bool transparent : {false, true}) {
        DrawingControl p;
        p.put("FillStyle", i2(2));  // horizontal lines every eighth row
        p.put("FillTransparent", Variant::Bool(transparent));
        p.select(0, 0, 40, 40);
        p.call("Rect");
        for (int y = 1; y < 39; ++y) {
            Rgb expected = y % 8 == 0 ? kBlue : transparent ? kWhite : kGreen;
            EXPECT_EQ(p.at(20, y), expected) << "row " << y << " transparent " << transparent;
        }
    }
}

TEST(Polygon, AlternateLeavesTheInnerStarEmptyAndWindingFillsIt) {
    const std::vector<std::int32_t> star = {20, 2, 31, 36, 2, 14, 38, 14, 9, 36};
    for (int winding : {0, 1}) {
        DrawingControl p;
        p.put("FillStyle", i2(0));
        p.call("Polygon", {pointArray(star), i2(5), i2(winding)});
        EXPECT_EQ(p.at(20, 20), winding != 0 ? kBlue : kWhite) << winding;
        EXPECT_EQ(p.at(20, 8), kBlue) << winding;
        EXPECT_EQ(p.at(20, 2), kRed) << winding;
    }
}

TEST(Drawing, AnEightBitImageKeepsItsTableAndTakesTheNearestColour) {
    PlacedControl p;
    std::vector<Rgb> table(256, Rgb{0, 0, 0});
    table[0] = kWhite;
    table[1] = Rgb{0, 0, 128};
    table[2] = Rgb{200, 0, 0};
    OwnedDib dib = PaletteDib(8, 20, 20, table, [](int, int) { return 0u; });
    p.call("ImportDib", {i4(static_cast<std::int32_t>(dib.take())), Variant::Bool(true)});
    p.put("FillStyle", i2(0));
    p.put("FillColor", i4(0xF00010));  // a blue the table lacks
    p.put("ForeColor", i4(0x0000F0));  // a red it lacks
    p.put("SelectWidth", i2(10));
    p.put("SelectHeight", i2(10));
    p.call("Rect");
    HGLOBAL image = p.control->Image()->handle;
    EXPECT_EQ(ColorTable(image), table);
    EXPECT_EQ(IndexAtPixel(image, 5, 5), 1u);
    EXPECT_EQ(IndexAtPixel(image, 0, 0), 2u);
    EXPECT_EQ(IndexAtPixel(image, 15, 15), 0u);
}

TEST(Drawing, OneAndFourBitImagesTakeTableColours) {
    for (int depth : {1, 4}) {
        PlacedControl p;
        std::vector<Rgb> table(std::size_t{1} << depth, Rgb{0, 0, 0});
        table[0] = kWhite;
        OwnedDib dib = PaletteDib(depth, 9, 9, table, [](int, int) { return 0u; });
        p.call("ImportDib", {i4(static_cast<std::int32_t>(dib.take())), Variant::Bool(true)});
        p.put("FillStyle", i2(0));
        p.put("FillColor", i4(0x202020));
        p.put("SelectWidth", i2(5));
        p.put("SelectHeight", i2(5));
        p.call("Rect");
        HGLOBAL image = p.control->Image()->handle;
        EXPECT_EQ(ColorTable(image), table) << depth;
        EXPECT_EQ(ColorAtPixel(image, 2, 2), (Rgb{0, 0, 0})) << depth;
        EXPECT_EQ(ColorAtPixel(image, 7, 7), kWhite) << depth;
    }
}

TEST(Drawing, TheWindowDestinationLeavesTheImageAndDrawsOnTheWindow) {
    DrawingControl p;
    p.put("FillStyle", i2(0));
    p.select(2, 2, 20, 20);
    p.site->window()->PumpMessages();
    std::vector<Rgb> before = p.pixels();
    p.call("Rect", {i2(1)});
    EXPECT_EQ(p.pixels(), before);
    EXPECT_EQ(p.site->window()->Surface().pixel(10, 10), qRgb(0, 0, 255));
    EXPECT_EQ(p.site->window()->Surface().pixel(2, 2), qRgb(255, 0, 0));
}

TEST(Drawing, TheWindowDestinationNeedsAWindow) {
    PlacedControl p;
    OwnedDib dib = TrueColorDib(4, 4, [](int, int) { return kWhite; });
    p.call("ImportDib", {i4(static_cast<std::int32_t>(dib.take())), Variant::Bool(true)});
    p.put("SelectWidth", i2(2));
    p.put("SelectHeight", i2(2));
    EXPECT_EQ(errorOf([&] { p.call("Rect", {i2(1)}); }), 20154u);
    EXPECT_EQ(errorOf([&] { p.call("Rect"); }), 0u) << "the image needs no window";
    DrawingControl closed;
    closed.select(1, 1, 5, 5);
    closed.site->closeWindow();
    EXPECT_EQ(errorOf([&] { closed.call("Rect", {i2(1)}); }), 20154u);
}

TEST(PolyLine, DashedStyleIsIgnoredAtWidthTwo) {
    DrawingControl p(60, 20);
    p.put("DrawStyle", i2(1));
    p.put("DrawWidth", i2(2));
    p.call("PolyLine", {pointArray({2, 10, 57, 10}), i2(2)});
    for (int x = 3; x < 56; ++x) EXPECT_EQ(p.at(x, 10), kRed) << x;
}

TEST(PolyLine, OpaqueDashGapsShowTheContextsWhiteAndTransparentOnesTheImage) {
    for (bool transparent : {false, true}) {
        DrawingControl p(60, 20);
        p.put("FillStyle", i2(0));
        p.select(0, 0, 60, 20);
        p.call("Rect");  // all blue inside a red frame
        p.put("DrawStyle", i2(1));
        p.put("FillTransparent", Variant::Bool(transparent));
        p.call("PolyLine", {pointArray({2, 10, 57, 10}), i2(2)});
        int red = 0, gaps = 0;
        for (int x = 3; x < 56; ++x) {
            red += p.at(x, 10) == kRed;
            gaps += p.at(x, 10) == (transparent ? kBlue : kWhite);
        }
        EXPECT_GT(red, 0) << transparent;
        EXPECT_EQ(red + gaps, 53) << transparent;
    }
}

TEST(Arrowheads, TheDocumentedHeadAtTenTen) {
    control::Arrowhead head = control::ArrowheadAt({10, 10}, {60, 10}, 1);
    EXPECT_EQ(head.tip, QPoint(10, 10));
    EXPECT_EQ(head.corner1, QPoint(24, 14));
    EXPECT_EQ(head.corner2, QPoint(24, 6));
}

TEST(Arrowheads, TheDrawnOutlineTakesEveryCorner) {
    DrawingControl p(80, 80);
    p.put("DrawArrows", i2(1));
    p.call("PolyLine", {pointArray({10, 10, 60, 10}), i2(2)});
    for (QPoint corner : {QPoint(10, 10), QPoint(24, 6), QPoint(24, 14), QPoint(24, 13)})
        EXPECT_EQ(p.at(corner.x(), corner.y()), kRed) << corner.x() << "," << corner.y();
    EXPECT_EQ(p.at(24, 15), kWhite);
    EXPECT_EQ(p.at(25, 14), kWhite);
}

TEST(Arrowheads, VerticalAndBackwardSegments) {
    // dx = 0 takes theta = 90 degrees: offsets (cos, sin) of 90 +- 16.96 degrees.
    control::Arrowhead down = control::ArrowheadAt({10, 10}, {10, 60}, 1);
    EXPECT_EQ(down.corner1, QPoint(6, 24));
    EXPECT_EQ(down.corner2, QPoint(14, 24));
    control::Arrowhead up = control::ArrowheadAt({10, 60}, {10, 10}, 1);
    EXPECT_EQ(up.corner1, QPoint(6, 46));
    EXPECT_EQ(up.corner2, QPoint(14, 46));
    control::Arrowhead left = control::ArrowheadAt({60, 10}, {10, 10}, 1);
    EXPECT_EQ(left.corner1, QPoint(46, 14));
    EXPECT_EQ(left.corner2, QPoint(46, 6));
    control::Arrowhead wide = control::ArrowheadAt({0, 0}, {100, 0}, 6);
    EXPECT_EQ(wide.corner1, QPoint(29, 9)) << "r = 30: 28.69 and 8.75";
    EXPECT_EQ(wide.corner2, QPoint(29, -9));
}

TEST(Arrowheads, FarApartPointsNeitherOverflowNorWrapTheCorners) {
    constexpr int kMax = std::numeric_limits<int>::max();
    control::Arrowhead edge = control::ArrowheadAt({kMax, 0}, {kMax, 50}, 1);
    EXPECT_EQ(edge.corner1, QPoint(kMax - 4, 14));
    EXPECT_EQ(edge.corner2, QPoint(kMax, 14)) << "held at the edge of the range";
    DrawingControl p;
    p.put("DrawArrows", i2(3));
    p.put("DrawStyle", i2(1));
    EXPECT_EQ(
        errorOf([&] {
            p.call("PolyLine", {pointArray({-2000000000, 5, 2000000000, 7, 5, 2000000000}), i2(3)});
        }),
        0u);
}

TEST(Arrowheads, FourHeadsOnAThreePointLineWithBothEnds) {
    const QPoint line[] = {{10, 10}, {60, 10}, {60, 60}};
    std::vector<control::Arrowhead> heads = control::Arrowheads(line, 3, 1);
    ASSERT_EQ(heads.size(), 4u);
    EXPECT_EQ(heads[0].tip, QPoint(10, 10));
    EXPECT_EQ(heads[0].corner1.x(), 24) << "opening forwards";
    EXPECT_EQ(heads[1].tip, QPoint(60, 10));
    EXPECT_EQ(heads[1].corner1.y(), 24) << "opening down the second segment";
    EXPECT_EQ(heads[2].tip, QPoint(60, 10));
    EXPECT_EQ(heads[2].corner1.x(), 46) << "opening backwards";
    EXPECT_EQ(heads[3].tip, QPoint(60, 60));
    EXPECT_EQ(heads[3].corner1.y(), 46);
    EXPECT_EQ(control::Arrowheads(line, 1, 1).size(), 2u);
    EXPECT_EQ(control::Arrowheads(line, 2, 1).size(), 2u);
    EXPECT_TRUE(control::Arrowheads(line, 0, 1).empty());
}

TEST(Arrowheads, DrawnSolidWithTheFillColourWhateverTheStyles) {
    DrawingControl p(80, 80);
    p.put("DrawArrows", i2(3));
    p.put("DrawStyle", i2(2));
    p.put("FillStyle", i2(1));
    p.put("FillTransparent", Variant::Bool(true));
    p.call("PolyLine", {pointArray({10, 10, 60, 10, 60, 60}), i2(3)});
    EXPECT_EQ(p.at(20, 10 + 1), kBlue) << "inside the head at the first point";
    EXPECT_EQ(p.at(60 - 1, 20), kBlue) << "inside the head opening down from the second point";
    EXPECT_EQ(p.at(50, 10 + 1), kBlue) << "inside the head opening back from the second point";
    EXPECT_EQ(p.at(60 - 1, 50), kBlue) << "inside the head at the last point";
    EXPECT_EQ(p.at(24, 8), kRed) << "the base of the first head, on its solid outline";
    EXPECT_EQ(p.at(35, 30), kWhite);
}

TEST(ShapesOnTheImage, ArcChordPieAndRoundRectDraw) {
    for (const char* name : {"Arc", "Chord", "Pie", "RoundRect"}) {
        DrawingControl p;
        p.put("FillStyle", i2(0));
        p.select(0, 0, 31, 31);
        std::string shape = name;
        if (shape == "RoundRect")
            p.call(name, {i2(10), i2(10)});
        else
            p.call(name, {i2(30), i2(15), i2(0), i2(15)});
        EXPECT_EQ(p.at(15, 0), kRed) << name << ": top of the outline";
        EXPECT_EQ(p.at(15, 5), shape == "Arc" ? kWhite : kBlue) << name;
        EXPECT_EQ(p.at(35, 35), kWhite) << name;
    }
}

TEST(HDC, RunTimeReadsGiveTheCallerANewContextOfTheWindow) {
    PlacedControl p(QSize(30, 30));
    std::size_t before = platform::gdi::LiveWindowDCCount();
    auto dc = static_cast<platform::gdi::HDC>(p.get("hDC").toI4());
    EXPECT_EQ(platform::gdi::WindowOfDC(dc), p.site->Window());
    EXPECT_NE(static_cast<platform::gdi::HDC>(p.get("hDC").toI4()), dc);
    EXPECT_EQ(platform::gdi::LiveWindowDCCount(), before + 2);
    EXPECT_TRUE(platform::gdi::ReleaseDC(p.site->Window(), dc));
    EXPECT_EQ(errorOf([&] { p.put("hDC", i4(static_cast<std::int32_t>(dc))); }), 20371u);
    PlacedControl design(QSize(30, 30), false);
    EXPECT_EQ(scodeOf([&] { design.get("hDC"); }), ControlScode(CTL_E_GETNOTSUPPORTED));
    PlacedControl windowless;
    EXPECT_EQ(errorOf([&] { windowless.get("hDC"); }), 20154u);
}

TEST(RasterOp, KeptAndReportedFromFive) {
    PlacedControl p;
    EXPECT_EQ(p.get("RasterOp").toI2(), 5);
    p.put("RasterOp", i2(3));
    EXPECT_EQ(p.get("RasterOp").toI2(), 3);
    EXPECT_EQ(errorOf([&] { p.put("RasterOp", i2(16)); }), 20399u);
    EXPECT_EQ(p.get("RasterOp").toI2(), 3);
}

}  // namespace
}  // namespace pm32::test
