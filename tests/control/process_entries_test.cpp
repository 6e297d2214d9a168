#include <gtest/gtest.h>

#include "tests/control/color_test_controls.h"

namespace pm32::test {
namespace {

Variant r8(double v) { return Variant::R8(v); }

std::vector<Rgb> pixelsOf(PlacedControl& p) {
    std::vector<Rgb> pixels;
    const auto width = static_cast<int>(HeaderField(ImageOf(p), 4));
    const auto height = static_cast<int>(HeaderField(ImageOf(p), 8));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(ColorAtPixel(ImageOf(p), x, y));
    return pixels;
}

Variant matrix(std::vector<std::int32_t> weights) {
    return Variant::Array(IntegerArray(VarType::I2, std::move(weights)));
}

TEST(FilterEntries, ChecksComeInTheirOrderAndKeepTheImage) {
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { p.call("Blur"); }), 20306u);
    EXPECT_EQ(errorOf([&] { p.call("Soften", {i2(0)}); }), 20306u);
    EXPECT_EQ(errorOf([&] { p.call("Negate"); }), 20306u);
    GiveImage(p, PaletteDib(1, 8, 8, {{0, 0, 0}, {255, 255, 255}}, [](int, int) { return 0u; }));
    const std::int32_t image = p.get("pZDib").toI4();
    EXPECT_EQ(errorOf([&] { p.call("Soften", {i2(11)}); }), 20123u);
    EXPECT_EQ(errorOf([&] { p.call("Sharpen", {i2(0)}); }), 20124u);
    EXPECT_EQ(errorOf([&] { p.call("ExtractEdges", {i2(-3)}); }), 20122u);
    EXPECT_EQ(errorOf([&] {
                  p.call("MatrixFilter", {i2(4), matrix({}), i2(1), i2(1), i2(0)});
              }),
              20121u);
    EXPECT_EQ(errorOf([&] { p.call("Blur"); }), 20106u);
    EXPECT_EQ(errorOf([&] { p.call("Soften", {i2(5)}); }), 20106u);
    EXPECT_EQ(errorOf([&] {
                  p.call("MatrixFilter", {i2(3), matrix({}), i2(1), i2(1), i2(0)});
              }),
              20106u);
    EXPECT_EQ(p.get("pZDib").toI4(), image);
    EXPECT_EQ(p.get("ErrorNumber").toI2(), 20106);
}

TEST(FilterEntries, MatrixFilterReadsTheCallersKernelAndChecksItsSize) {
    PlacedControl p;
    GiveImage(p, RandomTrueColorDib(6, 6, 1));
    const std::vector<Rgb> before = pixelsOf(p);
    EXPECT_EQ(errorOf([&] {
                  p.call("MatrixFilter", {i2(3), matrix({0, 0, 0, 0, 1}), i2(1), i2(1), i2(0)});
              }),
              20355u);
    p.call("MatrixFilter", {i2(5), matrix(std::vector<std::int32_t>(25, 0)), i2(1), i2(0), i2(77)});
    EXPECT_EQ(ColorsShown(ImageOf(p)), std::vector<Rgb>{(Rgb{77, 77, 77})});
    PlacedControl q;
    GiveImage(q, RandomTrueColorDib(6, 6, 1));
    q.call("MatrixFilter", {i2(3), matrix({0, 0, 0, 0, 1, 0, 0, 0, 0}), i2(1), i2(1), i2(0)});
    EXPECT_EQ(pixelsOf(q), before) << "the identity kernel";
}

TEST(FilterEntries, PaletteImagesKeepDepthAndColourTable) {
    const std::vector<Rgb> table{{0, 0, 0}, {255, 255, 255}, {200, 30, 30}, {20, 20, 220}};
    for (const char* name : {"Blur", "Soften", "Sharpen", "ExtractEdges"}) {
        PlacedControl p;
        GiveImage(p, PaletteDib(8, 12, 9, table, [](int x, int y) { return unsigned(x * y % 4); }));
        if (std::string(name) == "Blur")
            p.call(name);
        else
            p.call(name, {i2(4)});
        EXPECT_EQ(p.get("ColorDepth").toI2(), 8) << name;
        std::vector<Rgb> after = ColorTable(ImageOf(p));
        EXPECT_TRUE(std::equal(table.begin(), table.end(), after.begin())) << name;
    }
}

TEST(ToneEntries, RangesAndResults) {
    PlacedControl p;
    GiveImage(p, RandomTrueColorDib(5, 4, 1));
    const std::vector<Rgb> before = pixelsOf(p);
    EXPECT_EQ(errorOf([&] { p.call("BrightCont", {r8(2.0), r8(1.5)}); }), 20128u);
    EXPECT_EQ(errorOf([&] { p.call("BrightCont", {r8(-0.1), r8(0.5)}); }), 20127u);
    EXPECT_EQ(errorOf([&] { p.call("Gamma", {r8(0.5)}); }), 20121u);
    EXPECT_EQ(errorOf([&] { p.call("Gamma", {r8(11)}); }), 20121u);
    p.call("BrightCont", {r8(0.5), r8(0.5)});
    p.call("Gamma", {r8(5)});
    EXPECT_EQ(pixelsOf(p), before);
    p.call("Negate");
    EXPECT_NE(pixelsOf(p), before);
    p.call("Negate");
    EXPECT_EQ(pixelsOf(p), before);
    p.call("BrightCont", {r8(1), r8(0)});
    EXPECT_EQ(ColorsShown(ImageOf(p)), std::vector<Rgb>{(Rgb{255, 255, 255})});
}

TEST(GeometryEntries, RotateAndMirror) {
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { p.call("Rotate", {i2(90), Variant::I4(0)}); }), 20306u);
    GiveImage(p, RandomTrueColorDib(3, 2, 1));
    EXPECT_EQ(errorOf([&] { p.call("Rotate", {i2(720), Variant::I4(0)}); }), 20126u);
    EXPECT_EQ(errorOf([&] { p.call("Mirror", {i2(0), i2(0)}); }), 20125u);
    p.call("Rotate", {i2(-270), Variant::I4(0)});
    EXPECT_EQ(HeaderField(ImageOf(p), 4), 2u);
    EXPECT_EQ(HeaderField(ImageOf(p), 8), 3u);
    p.call("Rotate", {i2(450), Variant::I4(0)});
    EXPECT_EQ(HeaderField(ImageOf(p), 4), 3u);

    PlacedControl q;
    GiveImage(q, RandomTrueColorDib(5, 4, 3));
    PlacedControl r;
    GiveImage(r, RandomTrueColorDib(5, 4, 3));
    q.call("Mirror", {i2(1), i2(-1)});
    r.call("Rotate", {i2(180), Variant::I4(0)});
    EXPECT_EQ(pixelsOf(q), pixelsOf(r));
}

TEST(GeometryEntries, OddAngleBackgroundIsAnOleColourOrTheNearestTableEntry) {
    PlacedControl p;
    GiveImage(p, TrueColorDib(10, 10, [](int, int) { return Rgb{9, 9, 9}; }));
    p.call("Rotate", {i2(45), Variant::I4(0x0000FF)});
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 0, 0), (Rgb{255, 0, 0}));
    PlacedControl q;
    GiveImage(q, PaletteDib(8, 10, 10, {{0, 0, 0}, {250, 250, 250}, {10, 200, 10}},
                            [](int, int) { return 0u; }));
    q.call("Rotate", {i2(30), Variant::I4(0x00F0F0F0)});
    EXPECT_EQ(IndexAtPixel(ImageOf(q), 0, 0), 1u);
}

TEST(ScanLineEntries, RoundTripRepaintAndChecks) {
    PlacedControl p(QSize(40, 40));
    EXPECT_EQ(errorOf([&] {
                  p.call("GetScanLine", {i2(0), Variant::Array(IntegerArray(VarType::I4, {0}))});
              }),
              20306u);
    GiveImage(p, RandomTrueColorDib(3, 2, 1));
    auto line = IntegerArray(VarType::I4, {0, 0, 0});
    EXPECT_EQ(errorOf([&] { p.call("GetScanLine", {i2(2), Variant::Array(line)}); }), 20121u);
    EXPECT_EQ(errorOf([&] {
                  p.call("GetScanLine", {i2(0), Variant::Array(IntegerArray(VarType::I4, {0}))});
              }),
              20355u);
    p.call("GetScanLine", {i2(0), Variant::Array(line)});
    const Rgb top = ColorAtPixel(ImageOf(p), 2, 0);
    EXPECT_EQ(line->elements[2].toI4(), top.red | top.green << 8 | top.blue << 16);

    const int before = p.site->window()->InvalidateCount();
    auto written = IntegerArray(VarType::I4, {0x11223344, 0x00ABCDEF, 0x7F000001});
    p.call("PutScanLine", {i2(1), Variant::Array(written), i2(0)});
    EXPECT_EQ(p.site->window()->InvalidateCount(), before) << "nUpdate 0 does not repaint";
    p.call("PutScanLine", {i2(1), Variant::Array(written)});
    EXPECT_GT(p.site->window()->InvalidateCount(), before);
    p.call("GetScanLine", {i2(1), Variant::Array(line)});
    EXPECT_EQ(line->elements[0].toI4(), 0x223344);
    EXPECT_EQ(line->elements[1].toI4(), 0xABCDEF);
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 2, 1), (Rgb{1, 0, 0}));
}

}  // namespace
}  // namespace pm32::test
