#include <gtest/gtest.h>

#include <random>

#include "color/standard_colors.h"
#include "engine/dib_layout.h"
#include "tests/control/color_test_controls.h"

namespace pm32::test {
namespace {

OwnedDib noisyPicture(int width, int height, unsigned seed = 1) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-20, 20);
    return TrueColorDib(width, height, [&](int x, int y) {
        auto channel = [&](int v) {
            return static_cast<std::uint8_t>(std::clamp(v + noise(random), 0, 255));
        };
        return Rgb{channel(x * 255 / width), channel(y * 255 / height), channel(128)};
    });
}

void reduceColors(PlacedControl& p, int colors, bool optimize, bool dither, bool noBleed) {
    p.call("ReduceColors",
           {i2(colors), i2(optimize ? -1 : 0), i2(dither ? 1 : 0), i2(noBleed ? 1 : 0)});
}

TEST(ReduceColors, NeedsAnImageBeforeAnythingElse) {
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { reduceColors(p, 1, true, false, false); }), 20306u);
    GiveImage(p, noisyPicture(20, 10));
    std::int32_t image = p.get("pZDib").toI4();
    EXPECT_EQ(errorOf([&] { reduceColors(p, 1, true, false, false); }), 20121u);
    EXPECT_EQ(errorOf([&] { reduceColors(p, 257, true, false, false); }), 20121u);
    EXPECT_EQ(errorOf([&] { reduceColors(p, 8, false, false, false); }), 20106u);
    EXPECT_EQ(p.get("pZDib").toI4(), image) << "a refused reduction keeps the image";
    EXPECT_TRUE(p.site->events.empty());
}

TEST(ReduceColors, TheResultReplacesTheImage) {
    PlacedControl p;
    GiveImage(p, noisyPicture(40, 30));
    reduceColors(p, 200, true, true, true);
    EXPECT_EQ(p.site->events, (std::vector<std::string>{"Palette", "Change"}));
    EXPECT_EQ(p.get("ColorDepth").toI2(), 8);
    EXPECT_LE(ColorsShown(ImageOf(p)).size(), 200u);
    EXPECT_EQ(HeaderField(ImageOf(p), dib::kClrImportant), 200u);
    p.site->events.clear();
    reduceColors(p, 2, false, false, false);
    EXPECT_EQ(p.get("ColorDepth").toI2(), 1);
    EXPECT_EQ(ColorTable(ImageOf(p)), (std::vector<Rgb>{{255, 255, 255}, {0, 0, 0}}));
    EXPECT_EQ(IndexAtPixel(ImageOf(p), 0, 0), 1u) << "the dark corner is black";
    EXPECT_EQ(IndexAtPixel(ImageOf(p), 39, 29), 0u) << "the bright corner is white";
    EXPECT_EQ(p.site->events, (std::vector<std::string>{"Change"}));
}

TEST(ReduceColors, StandardColoursAtSixteenAndAtMost240) {
    auto standard = [](const Rgb& c) {
        for (const PaletteColor& s : StandardColors())
            if (s.red == c.red && s.green == c.green && s.blue == c.blue) return true;
        return false;
    };
    PlacedControl p;
    GiveImage(p, noisyPicture(40, 30));
    reduceColors(p, 16, false, true, false);
    ASSERT_EQ(p.get("ColorDepth").toI2(), 4);
    std::vector<Rgb> table = ColorTable(ImageOf(p));
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_EQ(table[i], (Rgb{StandardColors()[i].red, StandardColors()[i].green,
                                 StandardColors()[i].blue}));
    for (const Rgb& c : ColorsShown(ImageOf(p))) EXPECT_TRUE(standard(c));
    PlacedControl q;
    GiveImage(q, noisyPicture(64, 64, 2));
    reduceColors(q, 256, false, false, false);
    EXPECT_EQ(HeaderField(ImageOf(q), dib::kClrImportant), 240u);
    table = ColorTable(ImageOf(q));
    for (std::size_t i = 0; i < 16; ++i) EXPECT_TRUE(standard(table[i])) << i;
    for (std::size_t i = 240; i < 256; ++i)
        EXPECT_EQ(table[i], Rgb{}) << "unused entries stay zero";
}

TEST(ReduceColors, TinyImagesAreRefusedAndKept) {
    PlacedControl p;
    GiveImage(p, noisyPicture(2, 50));
    std::int32_t image = p.get("pZDib").toI4();
    EXPECT_EQ(errorOf([&] { reduceColors(p, 16, true, false, false); }), 20129u);
    EXPECT_EQ(p.get("pZDib").toI4(), image);
}

TEST(ReduceColorsCallback, RefusalsInOrder) {
    PlacedControl p;
    PlacedControl peek;
    auto call = [&](Variant control) {
        p.call("ReduceColorsCallback", {i2(16), i2(1), i2(1), i2(0), std::move(control)});
    };
    EXPECT_EQ(errorOf([&] { call(Variant::Object(nullptr)); }), 20320u);
    EXPECT_EQ(errorOf([&] { call(Variant::Object(peek.control)); }), 20306u);
    GiveImage(p, noisyPicture(8, 8));
    EXPECT_EQ(errorOf([&] {
                  call(Variant::Object(std::make_shared<ForeignObject>(Variant::String("x"))));
              }),
              20326u);
    peek.site->closeWindow();
    EXPECT_EQ(errorOf([&] { call(Variant::Object(peek.control)); }), 20326u);
}

TEST(ReduceColorsCallback, CallbackFiresEveryCallbackLinesWhileDithering) {
    PlacedControl p;
    PlacedControl peek;
    GiveImage(p, noisyPicture(16, 35));
    p.put("CallbackLines", i2(10));
    p.call("ReduceColorsCallback", {i2(8), i2(1), i2(1), i2(0), Variant::Object(peek.control)});
    EXPECT_EQ(p.site->events, (std::vector<std::string>{"Callback Lines=10", "Callback Lines=20",
                                                        "Callback Lines=30", "Palette", "Change"}));
    for (auto [lines, dither] : {std::pair{0, 1}, {10, 0}}) {
        p.site->events.clear();
        GiveImage(p, noisyPicture(16, 35));
        p.put("CallbackLines", i2(lines));
        p.call("ReduceColorsCallback",
               {i2(8), i2(1), i2(dither), i2(0), Variant::Object(peek.control)});
        EXPECT_EQ(p.site->events, (std::vector<std::string>{"Palette", "Change"}))
            << lines << " lines, dither " << dither;
    }
}

TEST(ReduceColorsCallback, ACancelKeepsTheRowsDoneAndIsNoError) {
    // Black with one white pixel: white and black standard colours, white at 0.
    PlacedControl p;
    PlacedControl peek;
    GiveImage(p, TrueColorDib(6, 30, [](int x, int y) {
                  return x == 0 && y == 0 ? Rgb{255, 255, 255} : Rgb{};
              }));
    p.put("CallbackLines", i2(10));
    p.site->onCallback = [](Variant& lines) { lines = Variant::I2(0); };
    p.call("ReduceColorsCallback", {i2(16), i2(0), i2(1), i2(0), Variant::Object(peek.control)});
    EXPECT_EQ(p.get("ErrorNumber").toI4(), 0);
    ASSERT_EQ(p.get("ColorDepth").toI2(), 4);
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 3, 29), Rgb{}) << "the bottom ten rows were mapped";
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 3, 20), Rgb{});
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 3, 19), (Rgb{255, 255, 255})) << "the rest stayed index 0";
}

TEST(DitherPal, ChecksTheSourceInOrder) {
    PlacedControl p;
    PlacedControl source;
    auto dither = [&](Variant control) { p.call("DitherPal", {std::move(control)}); };
    EXPECT_EQ(errorOf([&] { dither(Variant::Object(source.control)); }), 20306u);
    GiveImage(p, noisyPicture(8, 8));
    EXPECT_EQ(errorOf([&] { dither(Variant::Object(nullptr)); }), 20320u);
    EXPECT_EQ(errorOf([&] { dither(Variant::Object(std::make_shared<ForeignObject>(i2(1)))); }),
              20350u);
    EXPECT_EQ(errorOf([&] { dither(Variant::Object(std::make_shared<ForeignObject>(i4(23145)))); }),
              20350u)
        << "PicbufID must come back as a short";
    EXPECT_EQ(errorOf([&] { dither(Variant::Object(source.control)); }), 20321u);
    GiveImage(source, noisyPicture(8, 8));
    EXPECT_EQ(errorOf([&] { dither(Variant::Object(source.control)); }), 20321u)
        << "a true-colour source has no palette";
}

TEST(DitherPal, MapsOntoTheSourcePaletteAtFourOrEightBits) {
    PlacedControl source;
    GiveImage(source, PaletteDib(4, 4, 4, {{255, 0, 0}, {0, 0, 255}, {0, 0, 0}},
                                 [](int x, int) { return unsigned(x % 3); }));
    PlacedControl p;
    GiveImage(p, noisyPicture(20, 20));
    p.call("DitherPal", {Variant::Object(source.control)});
    ASSERT_EQ(p.get("ColorDepth").toI2(), 4) << "a 16-entry palette";
    for (const Rgb& c : ColorsShown(ImageOf(p)))
        EXPECT_TRUE(c == (Rgb{255, 0, 0}) || c == (Rgb{0, 0, 255}) || c == Rgb{});
    PlacedControl eight;
    GiveImage(eight, PaletteDib(8, 4, 4, {{9, 9, 9}}, [](int, int) { return 0u; }));
    p.call("DitherPal", {Variant::Object(eight.control)});
    EXPECT_EQ(p.get("ColorDepth").toI2(), 8);
}

TEST(IncreaseColors, OnlyToAGreaterSupportedDepth) {
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { p.call("IncreaseColors", {i2(8)}); }), 20306u);
    GiveImage(p, PaletteDib(4, 5, 3, {{1, 2, 3}, {200, 100, 50}},
                            [](int x, int) { return unsigned(x % 2); }));
    for (int depth : {1, 2, 4, 16, 32})
        EXPECT_EQ(errorOf([&] { p.call("IncreaseColors", {i2(depth)}); }), 20106u) << depth;
    p.call("IncreaseColors", {i2(8)});
    EXPECT_EQ(p.get("ColorDepth").toI2(), 8);
    EXPECT_EQ(IndexAtPixel(ImageOf(p), 1, 0), 1u);
    p.call("IncreaseColors", {i2(24)});
    EXPECT_EQ(p.get("ColorDepth").toI2(), 24);
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 3, 2), (Rgb{200, 100, 50}));
    EXPECT_EQ(p.get("Contents").toI2(), 1);
    EXPECT_EQ(p.get("pZPal").toI4(), 0) << "a true-colour image has no palette";
}

TEST(GrayScale, WhiteBecomes254) {
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { p.call("GrayScale"); }), 20306u);
    GiveImage(p, TrueColorDib(4, 4, [](int, int) { return Rgb{255, 255, 255}; }));
    p.call("GrayScale");
    EXPECT_EQ(p.get("ColorDepth").toI2(), 8);
    EXPECT_EQ(p.call("GetPalIndex", {i2(3), i2(3)}).toI2(), 254);
    EXPECT_EQ(p.call("GetColorCount").toI4(), 1);
}

TEST(ColorReplace, RangesFirstRedThenGreenThenBlue) {
    PlacedControl p;
    GiveImage(p, PaletteDib(1, 4, 4, {{0, 0, 0}, {255, 255, 255}}, [](int, int) { return 0u; }));
    auto replace = [&](std::uint32_t start, std::uint32_t end) {
        p.call("ColorReplace", {i4(start), i4(end), i2(0), i4(0)});
    };
    EXPECT_EQ(errorOf([&] { replace(0x000010, 0x00000F); }), 20185u) << "before the depth";
    EXPECT_EQ(errorOf([&] { replace(0x001000, 0xFF0FFF); }), 20186u);
    EXPECT_EQ(errorOf([&] { replace(0x100000, 0x0FFFFF); }), 20187u);
    EXPECT_EQ(errorOf([&] { replace(0, 0xFFFFFF); }), 20106u);
}

TEST(ColorReplace, ExactlyOneColourAndSystemColoursTranslated) {
    PlacedControl p;
    GiveImage(p, TrueColorDib(3, 3, [](int x, int) {
                  return x == 0 ? Rgb{10, 20, 30} : Rgb{10, 20, 31};
              }));
    p.call("ColorReplace", {i4(0x1E140A), i4(0x1E140A), i2(0), i4(0x80000005)});
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 0, 0), (Rgb{255, 255, 255})) << "the window colour";
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 1, 0), (Rgb{10, 20, 31}));
    p.call("ColorReplace", {i4(0x1E140A), i4(0x1E140A), i2(1), i4(0x0000FF)});
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 2, 2), (Rgb{255, 0, 0}));
}

TEST(GetColor, BoundsAndTopRowFirst) {
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { p.call("GetColor", {i2(0), i2(0)}); }), 20306u);
    GiveImage(p, TrueColorDib(5, 4, [](int x, int y) {
                  return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 9};
              }));
    EXPECT_EQ(p.call("GetColor", {i2(0), i2(0)}).toI4(), 0x090000);
    EXPECT_EQ(p.call("GetColor", {i2(4), i2(3)}).toI4(), 0x090304);
    EXPECT_EQ(errorOf([&] { p.call("GetColor", {i2(5), i2(0)}); }), 20137u);
    EXPECT_EQ(errorOf([&] { p.call("GetColor", {i2(0), i2(4)}); }), 20138u);
    EXPECT_EQ(errorOf([&] { p.call("GetColor", {i2(-1), i2(0)}); }), 20137u);
    EXPECT_EQ(errorOf([&] { p.call("GetPalIndex", {i2(0), i2(0)}); }), 20106u);
    GiveImage(p, PaletteDib(4, 3, 2, {{1, 2, 3}, {4, 5, 6}},
                            [](int x, int) { return unsigned(x == 2); }));
    EXPECT_EQ(p.call("GetPalIndex", {i2(2), i2(0)}).toI2(), 1);
    EXPECT_EQ(p.call("GetColor", {i2(2), i2(1)}).toI4(), 0x060504);
    EXPECT_EQ(errorOf([&] { p.call("GetPalIndex", {i2(3), i2(0)}); }), 20137u);
}

TEST(ColorCounts, CountsAndTheirArray) {
    PlacedControl p;
    GiveImage(p, PaletteDib(4, 5, 2, {}, [](int x, int) { return unsigned(x % 3); }));
    EXPECT_EQ(p.call("GetColorCount").toI4(), 3);
    auto counts = IntegerArray(VarType::I4, std::vector<std::int32_t>(256, 77));
    p.call("GetColorCountArray", {Variant::Array(counts)});
    EXPECT_EQ(counts->elements[0].toI4(), 4);
    EXPECT_EQ(counts->elements[2].toI4(), 2);
    EXPECT_EQ(counts->elements[3].toI4(), 0) << "zeroed first";
    EXPECT_EQ(counts->elements[255].toI4(), 0);
}

TEST(ColorCounts, BadArraysAreRefusedAndLeftAlone) {
    PlacedControl p;
    GiveImage(p, PaletteDib(8, 5, 2, {}, [](int, int) { return 1u; }));
    auto shortArray = IntegerArray(VarType::I4, std::vector<std::int32_t>(255, 5));
    EXPECT_EQ(errorOf([&] { p.call("GetColorCountArray", {Variant::Array(shortArray)}); }), 20355u);
    EXPECT_EQ(shortArray->elements[1].toI4(), 5);
    auto shorts = IntegerArray(VarType::I2, std::vector<std::int32_t>(256, 0));
    EXPECT_EQ(errorOf([&] { p.call("GetColorCountArray", {Variant::Array(shorts)}); }), 20386u);
    auto empty = IntegerArray(VarType::I4, {});
    EXPECT_EQ(errorOf([&] { p.call("GetColorCountArray", {Variant::Array(empty)}); }), 20301u);
    EXPECT_EQ(errorOf([&] { p.call("GetColorCountArray", {i4(0)}); }), 20386u);
    Variant nothing;
    EXPECT_EQ(errorOf([&] { p.call("GetColorCountArray", {Variant::Ref(&nothing)}); }), 20356u);
    GiveImage(p, TrueColorDib(3, 3, [](int, int) { return Rgb{}; }));
    auto counts = IntegerArray(VarType::I4, std::vector<std::int32_t>(256, 0));
    EXPECT_EQ(errorOf([&] { p.call("GetColorCountArray", {Variant::Array(counts)}); }), 20106u);
    EXPECT_EQ(p.call("GetColorCount").toI4(), 1);
}

TEST(ColourEntries, NothingIsLeftBehindOnSuccessOrFailure) {
    std::size_t blocks = platform::LiveBlockCount();
    std::size_t palettes = platform::LivePaletteCount();
    {
        PlacedControl p;
        PlacedControl peek;
        GiveImage(p, noisyPicture(30, 20));
        EXPECT_EQ(errorOf([&] { reduceColors(p, 12, false, false, false); }), 20106u);
        reduceColors(p, 64, true, true, true);
        EXPECT_EQ(errorOf([&] { reduceColors(p, 256, true, false, false); }), 20106u);
        p.put("CallbackLines", i2(5));
        p.call("ReduceColorsCallback", {i2(8), i2(1), i2(1), i2(1), Variant::Object(peek.control)});
        p.call("DitherPal", {Variant::Object(p.control)});
        p.call("IncreaseColors", {i2(24)});
        p.call("ColorReplace", {i4(0), i4(0x404040), i2(1), i4(0xFF)});
        p.call("GrayScale");
        EXPECT_EQ(errorOf([&] { p.call("IncreaseColors", {i2(4)}); }), 20106u);
        GiveImage(p, noisyPicture(2, 2));
        EXPECT_EQ(errorOf([&] { reduceColors(p, 16, true, true, false); }), 20129u);
    }
    EXPECT_EQ(platform::LiveBlockCount(), blocks);
    EXPECT_EQ(platform::LivePaletteCount(), palettes);
}

}  // namespace
}  // namespace pm32::test
