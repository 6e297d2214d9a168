#include <gtest/gtest.h>

#include "color/standard_colors.h"
#include "tests/control/color_test_controls.h"
#include "tests/support/temp_dir.h"

namespace pm32::test {
namespace {

using platform::PC_NOCOLLAPSE;
using platform::PC_RESERVED;

std::int32_t entry(int red, int green, int blue, int flags = 0) {
    return red | green << 8 | blue << 16 | flags << 24;
}

std::vector<std::int32_t> paletteOf(PlacedControl& p, std::size_t size = 256) {
    auto array = IntegerArray(VarType::I4, std::vector<std::int32_t>(size, -1));
    p.call("GetPalette", {Variant::Array(array)});
    std::vector<std::int32_t> values;
    for (const Variant& v : array->elements) values.push_back(v.toI4());
    return values;
}

std::int32_t palColor(PlacedControl& p, int position) {
    return p.call("GetPalColor", {i2(position)}).toI4();
}

void createPalette(PlacedControl& p, const std::vector<std::int32_t>& entries, bool system) {
    p.call("CreatePalette",
           {i2(static_cast<int>(entries.size())),
            Variant::Array(IntegerArray(VarType::I4, entries)), i2(system ? 1 : 0)});
}

std::vector<std::int32_t> greys(int count) {
    std::vector<std::int32_t> entries;
    for (int i = 0; i < count; ++i) entries.push_back(entry(i + 1, i + 1, i + 2));
    return entries;
}

OwnedDib eightBit(const std::vector<Rgb>& table, const IndexOf& index, int width = 6,
                  int height = 4) {
    return PaletteDib(8, width, height, table, index);
}

TEST(CreatePalette, SystemColoursAroundTheGivenOnes) {
    PlacedControl p;
    createPalette(p, greys(236), true);
    EXPECT_EQ(p.get("Contents").toI2(), 2);
    std::vector<std::int32_t> palette = paletteOf(p);
    EXPECT_EQ(palette[10], entry(1, 1, 2));
    EXPECT_EQ(palette[245], entry(236, 236, 237));
    EXPECT_EQ(palette[0], 0);
    EXPECT_EQ(palette[255], entry(255, 255, 255));
    createPalette(p, greys(100), true);
    EXPECT_EQ(palColor(p, 109), entry(100, 100, 101));
    for (int i = 110; i <= 245; ++i) ASSERT_EQ(palColor(p, i), entry(0, 0, 0, PC_RESERVED)) << i;
    createPalette(p, {entry(1, 2, 3, PC_NOCOLLAPSE), entry(4, 5, 6)}, false);
    EXPECT_EQ(paletteOf(p, 2),
              (std::vector<std::int32_t>{entry(1, 2, 3, PC_NOCOLLAPSE), entry(4, 5, 6)}));
}

TEST(CreatePalette, RefusalsInOrder) {
    PlacedControl p;
    auto create = [&](int count, automation::ArrayPtr array, int system) {
        p.call("CreatePalette", {i2(count), Variant::Array(std::move(array)), i2(system)});
    };
    EXPECT_EQ(errorOf([&] { create(1, IntegerArray(VarType::I4, greys(2)), 0); }), 20144u);
    EXPECT_EQ(errorOf([&] { create(257, IntegerArray(VarType::I4, greys(257)), 0); }), 20144u);
    EXPECT_EQ(errorOf([&] { create(237, IntegerArray(VarType::I4, greys(237)), 1); }), 20145u);
    EXPECT_EQ(errorOf([&] { create(10, IntegerArray(VarType::I4, greys(9)), 0); }), 20355u);
    EXPECT_EQ(errorOf([&] { create(4, IntegerArray(VarType::String, {}), 0); }), 20386u);
    EXPECT_EQ(p.get("Contents").toI2(), 0);
}

TEST(PaletteAdoption, TheImageTakesThePaletteAsItsColourTable) {
    PlacedControl p;
    GiveImage(p, PaletteDib(4, 3, 3, {{9, 9, 9}}, [](int x, int) { return unsigned(x); }));
    createPalette(p, {entry(10, 20, 30), entry(40, 50, 60), entry(70, 80, 90)}, false);
    EXPECT_EQ(p.site->events, (std::vector<std::string>{"Palette"}));
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 2, 0), (Rgb{70, 80, 90}));
    EXPECT_EQ(IndexAtPixel(ImageOf(p), 2, 0), 2u) << "indices unchanged";
    EXPECT_EQ(errorOf([&] { createPalette(p, greys(17), false); }), 20139u);
    GiveImage(p, TrueColorDib(3, 3, [](int, int) { return Rgb{}; }));
    EXPECT_EQ(errorOf([&] { createPalette(p, greys(2), false); }), 20106u);
    EXPECT_EQ(errorOf([&] { p.put("hPalette", i4(12345)); }), 20106u);
    GiveImage(p, PaletteDib(8, 3, 3, {}, [](int, int) { return 0u; }));
    EXPECT_EQ(errorOf([&] { p.put("hPalette", i4(12345)); }), 20140u);
}

TEST(SystemColours, AddingTwiceToAnImageSucceeds) {
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { p.call("AddSystemColors"); }), 20323u);
    GiveImage(p, eightBit({{50, 60, 70}, {255, 255, 255}, {1, 2, 3}},
                          [](int x, int) { return unsigned(x % 3); }));
    p.call("AddSystemColors");
    EXPECT_EQ(palColor(p, 10), entry(50, 60, 70));
    EXPECT_EQ(palColor(p, 11), entry(1, 2, 3));
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 0, 0), (Rgb{50, 60, 70}));
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 1, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(IndexAtPixel(ImageOf(p), 1, 0), 255u) << "white is the static colour at 255";
    std::vector<std::int32_t> first = paletteOf(p);
    p.call("AddSystemColors");
    EXPECT_EQ(paletteOf(p), first);
    EXPECT_FALSE(p.get("SystemPalette").toBool());
    EXPECT_EQ(p.call("CountSystemColors").toI4(), 1);
}

TEST(SystemColours, RefusalsOfAddingAndCounting) {
    PlacedControl p;
    GiveImage(p, PaletteDib(4, 3, 3, {}, [](int, int) { return 0u; }));
    EXPECT_EQ(errorOf([&] { p.call("AddSystemColors"); }), 20148u);
    EXPECT_EQ(errorOf([&] { p.call("CountSystemColors"); }), 20106u);
    std::vector<Rgb> many;
    for (int i = 0; i < 237; ++i)
        many.push_back({static_cast<std::uint8_t>(i), 1, static_cast<std::uint8_t>(i)});
    GiveImage(p, eightBit(many, [](int, int) { return 0u; }));
    std::int32_t image = p.get("pZDib").toI4();
    EXPECT_EQ(errorOf([&] { p.call("AddSystemColors"); }), 20165u);
    EXPECT_EQ(p.get("pZDib").toI4(), image);
}

TEST(SystemColours, PaletteOnlyControlsAddAndCountTheirEntries) {
    PlacedControl p;
    createPalette(p, {entry(128, 0, 0), entry(7, 7, 7), entry(128, 0, 0), entry(255, 255, 255)},
                  false);
    EXPECT_EQ(p.call("CountSystemColors").toI4(), 2);
    p.call("AddSystemColors");
    EXPECT_EQ(p.get("Contents").toI2(), 2);
    EXPECT_EQ(palColor(p, 10), entry(7, 7, 7));
    EXPECT_EQ(palColor(p, 11), 0);
    EXPECT_EQ(p.call("CountSystemColors").toI4(), 20);
}

TEST(SystemColours, CountingLooksOnlyAtUsedEntries) {
    PlacedControl p;
    GiveImage(p, eightBit({{255, 0, 0}, {0, 255, 0}, {1, 1, 1}, {0, 0, 0}},
                          [](int x, int) { return x < 3 ? unsigned(x) : 0u; }));
    EXPECT_EQ(p.call("CountSystemColors").toI4(), 2) << "red and green, not the unused black";
}

TEST(WinG, IdentityPaletteFlagsAndNudge) {
    PlacedControl p;
    std::vector<Rgb> table(256);
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), 3, 3};
    table[40] = {255, 255, 255};
    table[41] = {160, 160, 164};
    GiveImage(p, eightBit(table, [](int x, int) { return unsigned(40 + x); }));
    auto reserved = IntegerArray(VarType::I2, {12, 200});
    p.call("WinG", {i2(2), Variant::Array(reserved)});
    EXPECT_TRUE(p.get("SystemPalette").toBool());
    EXPECT_EQ(palColor(p, 40), entry(255, 255, 254, PC_NOCOLLAPSE));
    EXPECT_EQ(palColor(p, 41), entry(160, 160, 165, PC_NOCOLLAPSE));
    EXPECT_EQ(palColor(p, 12), entry(12, 3, 3, PC_RESERVED));
    EXPECT_EQ(palColor(p, 200), entry(200, 3, 3, PC_RESERVED));
    EXPECT_EQ(palColor(p, 100), entry(100, 3, 3, PC_NOCOLLAPSE));
    EXPECT_EQ(IndexAtPixel(ImageOf(p), 2, 0), 42u);
    EXPECT_EQ(errorOf([&] { p.call("AddSystemColors"); }), 20324u);
}

TEST(WinG, RefusalsAndAPaletteOnlyControl) {
    PlacedControl p;
    auto wing = [&](int count, std::vector<std::int32_t> positions) {
        p.call("WinG",
               {i2(count), Variant::Array(IntegerArray(VarType::I2, std::move(positions)))});
    };
    EXPECT_EQ(errorOf([&] { wing(0, {}); }), 20323u);
    GiveImage(p, PaletteDib(4, 3, 3, {}, [](int, int) { return 0u; }));
    EXPECT_EQ(errorOf([&] { wing(0, {}); }), 20148u);
    createPalette(p, greys(16), false);
    p.call("Clear");
    createPalette(p, greys(256), false);
    EXPECT_EQ(errorOf([&] { wing(1, {5}); }), 20167u);
    EXPECT_EQ(errorOf([&] { wing(3, {20, 30}); }), 20355u);
    EXPECT_EQ(errorOf([&] { wing(-1, {}); }), 20355u);
    EXPECT_FALSE(p.get("SystemPalette").toBool());
    wing(0, {});
    for (int i = 10; i <= 245; ++i) ASSERT_EQ(palColor(p, i) >> 24, PC_NOCOLLAPSE) << i;
    EXPECT_EQ(palColor(p, 9) >> 24, 0);
    EXPECT_TRUE(p.get("SystemPalette").toBool());
    PlacedControl design(false);
    EXPECT_NE(scodeOf([&] { design.get("SystemPalette"); }), 0);
    EXPECT_NE(scodeOf([&] { p.put("SystemPalette", Variant::Bool(false)); }), 0);
}

TEST(MapIndex, ChecksThenRewritesPixelsInPlace) {
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { p.call("MapIndex", {i2(0), i2(1)}); }), 20321u);
    GiveImage(p, PaletteDib(4, 5, 2, {}, [](int x, int) { return unsigned(x); }));
    EXPECT_EQ(errorOf([&] { p.call("MapIndex", {i2(16), i2(1)}); }), 20175u);
    EXPECT_EQ(errorOf([&] { p.call("MapIndex", {i2(-1), i2(1)}); }), 20175u);
    EXPECT_EQ(errorOf([&] { p.call("MapIndex", {i2(1), i2(16)}); }), 20176u);
    HGLOBAL block = ImageOf(p);
    p.call("MapIndex", {i2(3), i2(0)});
    EXPECT_EQ(ImageOf(p), block) << "no new image";
    EXPECT_TRUE(p.site->events.empty());
    EXPECT_EQ(IndexAtPixel(block, 3, 1), 0u);
    EXPECT_EQ(IndexAtPixel(block, 4, 1), 4u);
    p.call("Clear");
    createPalette(p, greys(4), false);
    EXPECT_EQ(errorOf([&] { p.call("MapIndex", {i2(0), i2(1)}); }), 20306u);
}

TEST(RemapPal, TakesTheSourcePaletteByNearestEntries) {
    PlacedControl source;
    createPalette(source, {entry(0, 0, 255), entry(255, 0, 0), entry(0, 0, 0)}, false);
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { p.call("RemapPal", {Variant::Object(source.control)}); }), 20306u);
    GiveImage(p, PaletteDib(4, 3, 1, {{250, 10, 0}, {0, 0, 0}, {0, 0, 240}},
                            [](int x, int) { return unsigned(x); }));
    EXPECT_EQ(errorOf([&] { p.call("RemapPal", {Variant::Object(nullptr)}); }), 20320u);
    PlacedControl empty;
    EXPECT_EQ(errorOf([&] { p.call("RemapPal", {Variant::Object(empty.control)}); }), 20321u);
    p.call("RemapPal", {Variant::Object(source.control)});
    EXPECT_EQ(IndexAtPixel(ImageOf(p), 0, 0), 1u);
    EXPECT_EQ(IndexAtPixel(ImageOf(p), 1, 0), 2u);
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 2, 0), (Rgb{0, 0, 255}));
    PlacedControl eight;
    GiveImage(eight, PaletteDib(8, 3, 3, {}, [](int, int) { return 0u; }));
    EXPECT_EQ(errorOf([&] { p.call("RemapPal", {Variant::Object(eight.control)}); }), 20106u)
        << "images of different depths";
    GiveImage(p, TrueColorDib(3, 3, [](int, int) { return Rgb{}; }));
    EXPECT_EQ(errorOf([&] { p.call("RemapPal", {Variant::Object(source.control)}); }), 20106u);
}

TEST(PaletteEntries, SetGetAndTheImageFollows) {
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { p.call("SetPalColor", {i2(0), i4(0)}); }), 20321u);
    EXPECT_EQ(errorOf([&] { p.call("GetPalColor", {i2(0)}); }), 20321u);
    EXPECT_EQ(errorOf([&] { p.call("SetScreenPal"); }), 20321u);
    GiveImage(p, PaletteDib(4, 3, 3, {{1, 2, 3}}, [](int, int) { return 5u; }));
    p.call("SetPalColor", {i2(5), i4(entry(9, 8, 7, PC_RESERVED))});
    EXPECT_EQ(palColor(p, 5), entry(9, 8, 7, PC_RESERVED));
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 1, 1), (Rgb{9, 8, 7}));
    EXPECT_EQ(p.site->events, (std::vector<std::string>{"Palette"}));
    EXPECT_EQ(errorOf([&] { p.call("SetPalColor", {i2(16), i4(0)}); }), 20351u);
    EXPECT_EQ(errorOf([&] { p.call("SetPalColor", {i2(-1), i4(0)}); }), 20351u);
    EXPECT_EQ(errorOf([&] { p.call("GetPalColor", {i2(16)}); }), 20389u);
    EXPECT_EQ(errorOf([&] { p.call("GetPalColor", {i2(-3)}); }), 20389u);
    p.call("SetScreenPal");
}

TEST(PaletteEntries, GetPaletteReadsTheImageTableOrThePalette) {
    PlacedControl p;
    auto array = IntegerArray(VarType::I4, std::vector<std::int32_t>(16, 0));
    EXPECT_EQ(errorOf([&] { p.call("GetPalette", {Variant::Array(array)}); }), 20323u);
    GiveImage(p, PaletteDib(1, 3, 3, {{1, 2, 3}, {4, 5, 6}}, [](int, int) { return 0u; }));
    EXPECT_EQ(paletteOf(p, 3), (std::vector<std::int32_t>{entry(1, 2, 3), entry(4, 5, 6), -1}));
    GiveImage(p, PaletteDib(8, 3, 3, {}, [](int, int) { return 0u; }));
    EXPECT_EQ(errorOf([&] { p.call("GetPalette", {Variant::Array(array)}); }), 20355u);
    EXPECT_EQ(array->elements[0].toI4(), 0) << "nothing written into a short array";
    GiveImage(p, TrueColorDib(3, 3, [](int, int) { return Rgb{}; }));
    EXPECT_EQ(errorOf([&] { p.call("GetPalette", {Variant::Array(array)}); }), 20103u);
}

TEST(OptimizePal, ExactColoursThenWhite) {
    PlacedControl a, b, p;
    GiveImage(a, TrueColorDib(4, 4, [](int x, int) { return x < 2 ? Rgb{8, 16, 24} : Rgb{}; }));
    GiveImage(b, eightBit({{200, 0, 0}}, [](int, int) { return 0u; }));
    auto controls = std::make_shared<automation::SafeArray>();
    controls->elements = {Variant::Object(a.control), Variant::Object(b.control)};
    p.call("OptimizePal", {Variant::Array(controls), i2(2), i2(6)});
    EXPECT_EQ(p.get("Contents").toI2(), 2);
    EXPECT_EQ(paletteOf(p, 6),
              (std::vector<std::int32_t>{entry(0, 0, 0), entry(8, 16, 24), entry(206, 0, 0),
                                         entry(255, 255, 255), entry(255, 255, 255),
                                         entry(255, 255, 255)}));
}

TEST(OptimizePal, PaletteOnlyControlsGiveTheirEntryNearestBlack) {
    PlacedControl a, p;
    createPalette(a, {entry(250, 250, 250), entry(40, 0, 0), entry(0, 90, 0)}, false);
    auto controls = std::make_shared<automation::SafeArray>();
    controls->elements = {Variant::Object(a.control)};
    p.call("OptimizePal", {Variant::Array(controls), i2(1), i2(2)});
    EXPECT_EQ(paletteOf(p, 2), (std::vector<std::int32_t>{entry(41, 0, 0), entry(255, 255, 255)}));
}

TEST(OptimizePal, RefusalsOfTheControls) {
    PlacedControl p, empty, tiny;
    GiveImage(tiny, TrueColorDib(2, 8, [](int, int) { return Rgb{}; }));
    auto with = [&](std::vector<Variant> elements, int count) {
        auto controls = std::make_shared<automation::SafeArray>();
        controls->elements = std::move(elements);
        p.call("OptimizePal", {Variant::Array(controls), i2(count), i2(16)});
    };
    EXPECT_EQ(errorOf([&] { with({}, 0); }), 20364u);
    EXPECT_EQ(errorOf([&] { with({Variant::Object(nullptr)}, 1); }), 20320u);
    EXPECT_EQ(errorOf([&] { with({Variant::Object(std::make_shared<ForeignObject>(i2(7)))}, 1); }),
              20350u);
    EXPECT_EQ(errorOf([&] { with({Variant::Object(empty.control)}, 1); }), 20323u);
    EXPECT_EQ(errorOf([&] { with({Variant::Object(tiny.control)}, 1); }), 20109u);
    EXPECT_EQ(errorOf([&] { with({Variant::Object(empty.control)}, 2); }), 20355u);
    EXPECT_EQ(errorOf([&] { with({i4(3)}, 1); }), 20386u);
    EXPECT_EQ(p.get("Contents").toI2(), 0);
}

TEST(OptimizePalFiles, CountsFilesWithTheControls) {
    TempDir dir;
    PlacedControl writer;
    GiveImage(writer, TrueColorDib(5, 5, [](int, int) { return Rgb{0, 0, 248}; }));
    writer.put("FileName", Variant::String(dir.path("blue.bmp")));
    writer.call("Store");
    PlacedControl a, p;
    GiveImage(a, TrueColorDib(3, 3, [](int, int) { return Rgb{248, 0, 0}; }));
    auto controls = std::make_shared<automation::SafeArray>();
    controls->elements = {Variant::Object(a.control)};
    auto files = std::make_shared<automation::SafeArray>();
    files->elementType = VarType::String;
    files->elements = {Variant::String(dir.path("blue.bmp")), Variant::String("ignored.qzi")};
    p.call("OptimizePalFiles",
           {Variant::Array(controls), i2(1), Variant::Array(files), i2(2), i2(2)});
    EXPECT_EQ(paletteOf(p, 2), (std::vector<std::int32_t>{entry(0, 0, 255), entry(255, 0, 0)}))
        << "a shared histogram keeps five bits per channel";
    EXPECT_EQ(errorOf([&] {
                  p.call("OptimizePalFiles",
                         {Variant::Array(controls), i2(0), Variant::Array(files), i2(0), i2(2)});
              }),
              20364u);
    files->elements[1] = Variant::String("unknown.xyz");
    EXPECT_EQ(errorOf([&] {
                  p.call("OptimizePalFiles",
                         {Variant::Array(controls), i2(1), Variant::Array(files), i2(2), i2(2)});
              }),
              20101u);
    files->elements[0] = Variant::String(dir.path("missing.bmp"));
    EXPECT_EQ(errorOf([&] {
                  p.call("OptimizePalFiles",
                         {Variant::Array(controls), i2(1), Variant::Array(files), i2(1), i2(2)});
              }),
              20100u);
}

TEST(PaletteEntries, NothingIsLeftBehindOnSuccessOrFailure) {
    std::size_t blocks = platform::LiveBlockCount();
    std::size_t palettes = platform::LivePaletteCount();
    {
        PlacedControl p, q;
        createPalette(q, greys(256), false);
        GiveImage(p,
                  eightBit({{1, 2, 3}, {200, 0, 0}}, [](int x, int) { return unsigned(x % 2); }));
        p.call("AddSystemColors");
        p.call("RemapPal", {Variant::Object(q.control)});
        p.call("WinG", {i2(1), Variant::Array(IntegerArray(VarType::I2, {50}))});
        EXPECT_EQ(errorOf([&] { p.call("AddSystemColors"); }), 20324u);
        EXPECT_EQ(errorOf([&] { createPalette(p, greys(237), true); }), 20145u);
        auto controls = std::make_shared<automation::SafeArray>();
        controls->elements = {Variant::Object(p.control), Variant::Object(q.control)};
        p.call("OptimizePal", {Variant::Array(controls), i2(2), i2(200)});
        EXPECT_EQ(errorOf([&] {
                      p.call("OptimizePal", {Variant::Array(controls), i2(2), i2(1)});
                  }),
                  20166u);
        p.call("SetPalColor", {i2(3), i4(entry(1, 1, 1))});
    }
    EXPECT_EQ(platform::LiveBlockCount(), blocks);
    EXPECT_EQ(platform::LivePaletteCount(), palettes);
}

}  // namespace
}  // namespace pm32::test
