#include <gtest/gtest.h>

#include "control/holder_registry.h"
#include "engine/dib_layout.h"
#include "engine/zdib.h"
#include "tests/control/test_site.h"

namespace pm32::test {
namespace {

HGLOBAL newDib(std::uint32_t depth, std::int32_t width = 4, std::int32_t height = 3,
               COLORREF fill = 0) {
    HGLOBAL h = 0;
    EXPECT_EQ(CreateDib(depth, width, height, fill, h), 0);
    return h;
}

bool alive(HGLOBAL h) { return platform::GlobalFlags(h) != platform::GMEM_INVALID_HANDLE; }

TEST(Install, PaletteImagesFirePaletteThenChange) {
    PlacedControl p;
    p.call("Init", {Variant::I2(8), Variant::I2(5), Variant::I2(4), Variant::I4(0xFF)});
    EXPECT_EQ(p.site->events, (std::vector<std::string>{"Palette", "Change"}));
    EXPECT_EQ(p.get("ColorDepth").toI2(), 8);
    EXPECT_EQ(p.get("Xresolution").toI2(), 5);
    EXPECT_EQ(p.get("Yresolution").toI2(), 4);
    EXPECT_EQ(p.get("Contents").toI2(), 1);
    for (int depth : {1, 24}) {
        p.site->events.clear();
        p.call("Init", {Variant::I2(static_cast<std::int16_t>(depth)), Variant::I2(2),
                        Variant::I2(2), Variant::I4(0)});
        EXPECT_EQ(p.site->events, (std::vector<std::string>{"Change"})) << depth;
    }
    p.site->events.clear();
    p.call("Clear");
    EXPECT_EQ(p.site->events, (std::vector<std::string>{"Change"}));
    EXPECT_EQ(p.get("Contents").toI2(), 0);
}

TEST(Install, InitTranslatesOleColours) {
    PlacedControl p;
    p.call("Init", {Variant::I2(24), Variant::I2(1), Variant::I2(1),
                    Variant::I4(static_cast<std::int32_t>(0x80000005))});  // window colour
    HGLOBAL copy = static_cast<HGLOBAL>(p.call("DuplicateDib", {Variant::I2(0)}).toI4());
    {
        platform::Locked block(copy);
        EXPECT_EQ(block.data()[40], 0xFF);
        EXPECT_EQ(block.data()[42], 0xFF);
    }
    FreeDib(copy);
}

TEST(Install, AFailedStepLeavesTheOldImageAndRecordsTheNumber) {
    PlacedControl p;
    p.call("Init", {Variant::I2(8), Variant::I2(5), Variant::I2(4), Variant::I4(0)});
    std::int32_t before = p.get("pZDib").toI4();
    EXPECT_EQ(errorOf([&] {
                  p.call("Init", {Variant::I2(16), Variant::I2(5), Variant::I2(4), Variant::I4(0)});
              }),
              20106u);
    EXPECT_EQ(errorOf([&] {
                  p.call("Init", {Variant::I2(8), Variant::I2(0), Variant::I2(4), Variant::I4(0)});
              }),
              20129u);
    EXPECT_EQ(p.get("pZDib").toI4(), before);
    EXPECT_EQ(p.get("ColorDepth").toI2(), 8);
    p.put("ImageFormat", Variant::I2(2));
    EXPECT_EQ(p.get("ErrorNumber").toI4(), 20129) << "a later success does not clear it";
    p.put("ErrorNumber", Variant::I4(7));
    EXPECT_EQ(p.get("ErrorNumber").toI4(), 7);
}

TEST(Handles, HDibIsUsedWithoutOwnership) {
    HGLOBAL h = newDib(8);
    {
        PlacedControl p;
        p.put("hDib", Variant::I4(static_cast<std::int32_t>(h)));
        EXPECT_EQ(p.get("ColorDepth").toI2(), 8);
        EXPECT_EQ(p.call("ExportDib", {Variant::Bool(false)}).toI4(), static_cast<std::int32_t>(h));
        EXPECT_EQ(p.call("ExportDib", {Variant::Bool(true)}).toI4(), 0) << "not the control's";
        p.put("hDib", Variant::I4(0));
        EXPECT_EQ(p.get("Contents").toI2(), 0);
    }
    EXPECT_TRUE(alive(h));
    FreeDib(h);
}

TEST(Handles, HDibRefusesWhatVerifyRefuses) {
    PlacedControl p;
    HGLOBAL h = newDib(8);
    {
        platform::Locked block(h);
        writeLe32(block.data(), 12);
    }
    EXPECT_EQ(errorOf([&] { p.put("hDib", Variant::I4(static_cast<std::int32_t>(h))); }), 20113u);
    EXPECT_EQ(errorOf([&] { p.call("Verify", {Variant::I4(static_cast<std::int32_t>(h))}); }),
              20113u);
    EXPECT_EQ(p.get("Contents").toI2(), 0);
    FreeDib(h);
    EXPECT_EQ(errorOf([&] { p.call("Verify", {Variant::I4(static_cast<std::int32_t>(h))}); }),
              20112u);
    HGLOBAL good = newDib(4);
    EXPECT_EQ(p.call("Verify", {Variant::I4(static_cast<std::int32_t>(good))}).toI2(), 0);
    FreeDib(good);
}

TEST(Handles, AZeroColourCountGetsTheFullTable) {
    PlacedControl p;
    HGLOBAL h = newDib(4, 4, 2, 0x0000FF00);
    {
        platform::Locked block(h);
        writeLe32(block.data() + dib::kClrUsed, 0);
    }
    p.call("ImportDib", {Variant::I4(static_cast<std::int32_t>(h)), Variant::Bool(true)});
    platform::Locked block(h);
    EXPECT_EQ(readLe32(block.data() + dib::kClrUsed), 16u);
    PALETTEENTRY last{};
    platform::GetPaletteEntries(p.control->Palette()->handle(), 15, std::span(&last, 1));
    EXPECT_EQ(last.peGreen, 0xFF);
}

TEST(Handles, ImportDibWithTransferIsFreedByTheControl) {
    HGLOBAL h = newDib(24);
    PlacedControl p;
    p.call("ImportDib", {Variant::I4(static_cast<std::int32_t>(h)), Variant::Bool(true)});
    EXPECT_EQ(p.site->events, (std::vector<std::string>{"Change"}));
    p.call("Clear");
    EXPECT_FALSE(alive(h));
    EXPECT_EQ(errorOf([&] { p.call("ImportDib", {Variant::I4(0), Variant::Bool(true)}); }), 20365u);
}

TEST(Handles, ExportDibWithTransferTwice) {
    PlacedControl p;
    p.call("Init", {Variant::I2(8), Variant::I2(3), Variant::I2(3), Variant::I4(0)});
    std::int32_t first = p.call("ExportDib", {Variant::Bool(true)}).toI4();
    EXPECT_NE(first, 0);
    EXPECT_EQ(p.call("ExportDib", {Variant::Bool(true)}).toI4(), 0);
    p.call("Clear");
    EXPECT_TRUE(alive(static_cast<HGLOBAL>(first))) << "the caller owns it now";
    FreeDib(static_cast<HGLOBAL>(first));
    EXPECT_EQ(p.call("ExportDib", {Variant::Bool(false)}).toI4(), 0);
}

TEST(Handles, ReimportingTheHeldBlockNeverFreesIt) {
    PlacedControl p;
    p.call("Init", {Variant::I2(8), Variant::I2(3), Variant::I2(3), Variant::I4(0)});
    Variant handle = p.call("ExportDib", {Variant::Bool(false)});
    p.call("ImportDib", {handle, Variant::Bool(false)});
    auto h = static_cast<HGLOBAL>(handle.toI4());
    EXPECT_TRUE(alive(h));
    EXPECT_EQ(p.get("ColorDepth").toI2(), 8);
    p.call("Clear");
    EXPECT_FALSE(alive(h)) << "the control kept its ownership";
}

TEST(Handles, DuplicatesBelongToTheCaller) {
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { p.call("DuplicateDib", {Variant::I2(0)}); }), 20306u);
    EXPECT_EQ(errorOf([&] { p.call("DuplicatePalette"); }), 20321u);
    p.call("Init", {Variant::I2(4), Variant::I2(3), Variant::I2(3), Variant::I4(0x0000FF)});
    auto copy = static_cast<HGLOBAL>(p.call("DuplicateDib", {Variant::I2(0)}).toI4());
    EXPECT_EQ(VerifyDib(copy), 0);
    auto palette = static_cast<HPALETTE>(p.call("DuplicatePalette").toI4());
    EXPECT_EQ(platform::GetPaletteEntryCount(palette), 16u);
    EXPECT_NE(palette, p.control->Palette()->handle());
    p.call("Clear");
    EXPECT_TRUE(alive(copy));
    EXPECT_EQ(platform::GetPaletteEntryCount(palette), 16u);
    FreeDib(copy);
    platform::DeletePalette(palette);
    EXPECT_EQ(errorOf([&] { p.call("DuplicateDib", {Variant::I2(1)}); }), 20306u);
}

TEST(Handles, HPaletteAdoptsACopy) {
    PlacedControl p;
    std::vector<PALETTEENTRY> two = {{255, 0, 0, 0}, {0, 0, 255, 0}};
    HPALETTE palette = platform::CreatePalette(two);
    p.put("hPalette", Variant::I4(static_cast<std::int32_t>(palette)));
    EXPECT_EQ(p.get("Contents").toI2(), 2);
    p.call("Init", {Variant::I2(24), Variant::I2(3), Variant::I2(3), Variant::I4(0)});
    EXPECT_EQ(errorOf([&] { p.put("hPalette", Variant::I4(static_cast<std::int32_t>(palette))); }),
              20106u);
    p.call("Init", {Variant::I2(1), Variant::I2(3), Variant::I2(3), Variant::I4(0)});
    p.put("hPalette", Variant::I4(static_cast<std::int32_t>(palette)));
    auto copy = static_cast<HGLOBAL>(p.call("DuplicateDib", {Variant::I2(0)}).toI4());
    {
        platform::Locked block(copy);
        EXPECT_EQ(block.data()[42], 255) << "entry 0 red";
        EXPECT_EQ(block.data()[44], 255) << "entry 1 blue";
    }
    FreeDib(copy);
    EXPECT_EQ(errorOf([&] { p.put("hPalette", Variant::I4(12345678)); }), 20140u);
    platform::DeletePalette(palette);
}

TEST(Identity, PZDibResolvesOnlyWhileTheImageLives) {
    PlacedControl p;
    EXPECT_EQ(p.get("pZDib").toI4(), 0);
    p.call("Init", {Variant::I2(8), Variant::I2(3), Variant::I2(3), Variant::I4(0)});
    auto id = static_cast<std::uint32_t>(p.get("pZDib").toI4());
    ASSERT_NE(control::ResolveDibHolder(id), nullptr);
    EXPECT_EQ(control::ResolveDibHolder(id)->width, 3);
    auto paletteId = static_cast<std::uint32_t>(p.get("pZPal").toI4());
    EXPECT_NE(control::ResolvePalHolder(paletteId), nullptr);
    EXPECT_EQ(control::ResolvePalHolder(id), nullptr) << "an image id is no palette id";
    p.call("Clear");
    EXPECT_EQ(control::ResolveDibHolder(id), nullptr);
}

TEST(Lifetime, AControlFreesWhatItOwns) {
    std::size_t blocks = platform::LiveBlockCount();
    std::size_t palettes = platform::LivePaletteCount();
    {
        PlacedControl p;
        p.call("Init", {Variant::I2(8), Variant::I2(30), Variant::I2(30), Variant::I4(0)});
        p.call("Init", {Variant::I2(4), Variant::I2(30), Variant::I2(30), Variant::I4(0)});
    }
    EXPECT_EQ(platform::LiveBlockCount(), blocks);
    EXPECT_EQ(platform::LivePaletteCount(), palettes);
}

}  // namespace
}  // namespace pm32::test
