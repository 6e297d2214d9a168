#include <gtest/gtest.h>

#include "engine/progress.h"
#include "formats/palette_file.h"
#include "tests/control/test_site.h"
#include "tests/support/temp_dir.h"

namespace pm32::test {
namespace {

void initImage(PlacedControl& p, int depth, int width = 6, int height = 4, int color = 0x00336699) {
    p.call("Init", {Variant::I2(static_cast<std::int16_t>(depth)),
                    Variant::I2(static_cast<std::int16_t>(width)),
                    Variant::I2(static_cast<std::int16_t>(height)), Variant::I4(color)});
}

TEST(LoadStore, ABitmapTravelsThroughTheAutomationInterface) {
    TempDir dir;
    PlacedControl source;
    initImage(source, 24, 7, 5);
    source.put("FileName", Variant::String(dir.path("out.bmp")));
    source.call("Store");
    PlacedControl target;
    target.put("FileName", Variant::String(dir.path("out.bmp")));
    target.call("Load");
    EXPECT_EQ(target.site->events, (std::vector<std::string>{"Change"}));
    EXPECT_EQ(target.get("Xresolution").toI2(), 7);
    EXPECT_EQ(target.get("Yresolution").toI2(), 5);
    EXPECT_EQ(target.get("ColorDepth").toI2(), 24);
}

TEST(LoadStore, PreconditionsComeInOrder) {
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { p.call("Store"); }), 20306u);
    EXPECT_EQ(errorOf([&] { p.call("AppendTIFF"); }), 20306u);
    EXPECT_EQ(errorOf([&] { p.call("Load"); }), 20352u);
    EXPECT_EQ(errorOf([&] { p.call("CountImages"); }), 20352u);
    EXPECT_EQ(errorOf([&] { p.call("LoadPal"); }), 20352u);
    EXPECT_EQ(errorOf([&] { p.call("StorePal"); }), 20321u);
    initImage(p, 8);
    EXPECT_EQ(errorOf([&] { p.call("Store"); }), 20352u);
    EXPECT_EQ(errorOf([&] { p.call("StorePal"); }), 20352u);
    p.put("FileName", Variant::String("x.bmp"));
    p.put("ImageCompression", Variant::I2(1));
    EXPECT_EQ(errorOf([&] { p.call("Store"); }), 20132u);
    p.put("FileName", Variant::String("x.xyz"));
    EXPECT_EQ(errorOf([&] { p.call("Store"); }), 20101u);
}

TEST(LoadStore, AFailedLoadKeepsTheImage) {
    TempDir dir;
    PlacedControl p;
    initImage(p, 8);
    std::int32_t image = p.get("pZDib").toI4();
    p.site->events.clear();
    p.put("FileName", Variant::String(dir.path("missing.bmp")));
    EXPECT_EQ(errorOf([&] { p.call("Load"); }), 20100u);
    writeText(dir.path("broken.bmp"), "BMnot really");
    p.put("FileName", Variant::String(dir.path("broken.bmp")));
    EXPECT_EQ(errorOf([&] { p.call("Load"); }), 20101u);
    p.put("FileName", Variant::String(dir.path("picture.qzi")));
    p.call("Load");
    EXPECT_EQ(p.get("pZDib").toI4(), image);
    EXPECT_TRUE(p.site->events.empty());
    EXPECT_EQ(p.get("ErrorNumber").toI4(), 20101);
}

TEST(LoadStore, ImageFormatChoosesTheReaderWithoutSniffing) {
    TempDir dir;
    PlacedControl p;
    initImage(p, 8);
    p.put("FileName", Variant::String(dir.path("a.gif")));
    p.put("ImageFormat", Variant::I2(3));
    p.call("Store");
    PlacedControl q;
    q.put("FileName", Variant::String(dir.path("a.gif")));
    q.put("ImageFormat", Variant::I2(3));
    q.call("Load");
    EXPECT_EQ(q.get("ColorDepth").toI2(), 8);
}

// A number past a GIF's last image leaves the palette alone, with no error.
TEST(LoadStore, AnImageNumberPastTheLastGifImageGivesThePaletteOnly) {
    TempDir dir;
    PlacedControl source;
    initImage(source, 8, 6, 4, 0x00336699);
    source.put("FileName", Variant::String(dir.path("one.gif")));
    source.call("Store");
    PlacedControl p;
    initImage(p, 24);
    p.put("FileName", Variant::String(dir.path("one.gif")));
    p.put("ImageNumber", Variant::I2(2));
    p.call("Load");
    EXPECT_EQ(p.get("Contents").toI2(), 2);
    EXPECT_EQ(p.get("ColorDepth").toI2(), 0);
    EXPECT_EQ(p.get("ErrorNumber").toI4(), 0);
    EXPECT_EQ(p.call("GetPalColor", {Variant::I2(0)}).toI4(),
              source.call("GetPalColor", {Variant::I2(0)}).toI4());
    p.put("ImageNumber", Variant::I2(1));
    p.call("Load");
    EXPECT_EQ(p.get("Contents").toI2(), 1);
    EXPECT_EQ(p.get("Xresolution").toI2(), 6);
}

TEST(LoadCallback, RefusalsInOrder) {
    TempDir dir;
    PlacedControl p;
    PlacedControl peek;
    EXPECT_EQ(errorOf([&] { p.call("LoadCallback", {Variant::Object(nullptr)}); }), 20320u);
    EXPECT_EQ(errorOf([&] { p.call("LoadCallback", {Variant::Object(peek.control)}); }), 20352u);
    p.put("FileName", Variant::String(dir.path("a.bmp")));
    EXPECT_EQ(errorOf([&] { p.call("LoadCallback", {Variant::Object(peek.control)}); }), 20101u)
        << "only GIF, JPEG, PNG and FIF report progress";
    peek.site->closeWindow();
    EXPECT_EQ(errorOf([&] { p.call("LoadCallback", {Variant::Object(peek.control)}); }), 20326u);
}

// An object with no hWnd to offer.
class Windowless : public automation::Dispatch {
  public:
    std::optional<DispId> GetIdOfName(std::string_view) const override { return std::nullopt; }
    Variant Invoke(DispId, automation::InvokeKind, std::span<Variant>) override {
        throw automation::AutomationError(automation::DISP_E_MEMBERNOTFOUND, "no");
    }
    const automation::TypeInfo& GetTypeInfo() const override { return info_; }

  private:
    automation::TypeInfo info_;
};

TEST(LoadCallback, AnObjectWithoutAWindowIs20326) {
    PlacedControl p;
    p.put("FileName", Variant::String("a.gif"));
    EXPECT_EQ(
        errorOf([&] { p.call("LoadCallback", {Variant::Object(std::make_shared<Windowless>())}); }),
        20326u);
}

TEST(Callback, LinesComeBackByReference) {
    PlacedControl p;
    std::vector<int> seen;
    p.site->onCallback = [&](Variant& lines) {
        seen.push_back(lines.toI2());
        if (lines.toI2() >= 20) lines = Variant::I2(0);
    };
    EXPECT_TRUE(p.control->FireCallback(10));
    EXPECT_FALSE(p.control->FireCallback(20));
    EXPECT_EQ(seen, (std::vector<int>{10, 20}));
    EXPECT_EQ(p.site->events.back(), "Callback Lines=20");
}

TEST(Palettes, LoadPalIntoAnEmptyControlMakesItPaletteOnly) {
    TempDir dir;
    std::vector<PALETTEENTRY> entries(16, PALETTEENTRY{10, 20, 30, 0});
    HPALETTE palette = platform::CreatePalette(entries);
    ASSERT_EQ(WritePaletteFile(palette, dir.path("p.pal")), 0);
    platform::DeletePalette(palette);
    std::size_t palettes = platform::LivePaletteCount();
    {
        PlacedControl p;
        p.put("FileName", Variant::String(dir.path("p.pal")));
        p.call("LoadPal");
        EXPECT_EQ(p.get("Contents").toI2(), 2);
        p.put("FileName", Variant::String(dir.path("again.pal")));
        p.call("StorePal");
        EXPECT_EQ(p.get("InfoImage").toString(),
                  "Contents=Palette\nColorDepth=0\nXresolution=0\nYresolution=0");
        initImage(p, 4);
        p.put("FileName", Variant::String(dir.path("p.pal")));
        p.site->events.clear();
        p.call("LoadPal");
        EXPECT_EQ(p.site->events, (std::vector<std::string>{"Palette"}));
        EXPECT_EQ(p.get("Contents").toI2(), 1);
    }
    EXPECT_EQ(platform::LivePaletteCount(), palettes);
    EXPECT_EQ(readFile(dir.path("p.pal")), readFile(dir.path("again.pal")));
}

TEST(Dumps, DumpControlChecksInOrder) {
    TempDir dir;
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { p.call("DumpControl", {Variant::I2(3)}); }), 20130u);
    EXPECT_EQ(errorOf([&] { p.call("DumpControl", {Variant::I2(0)}); }), 20306u);
    EXPECT_EQ(errorOf([&] { p.call("DumpControl", {Variant::I2(2)}); }), 20323u);
    initImage(p, 24);
    EXPECT_EQ(errorOf([&] { p.call("DumpControl", {Variant::I2(1)}); }), 20352u);
    p.put("FileName", Variant::String(dir.path("dump.txt")));
    EXPECT_EQ(errorOf([&] { p.call("DumpControl", {Variant::I2(2)}); }), 20141u);
    p.call("DumpControl", {Variant::I2(1)});
    EXPECT_EQ(readText(dir.path("dump.txt")).substr(0, 54),
              "  width=6  height=4  bits deep=24  bytes per line=20\n\n");
}

TEST(Dumps, ErrorDumpWritesTheMessageList) {
    TempDir dir;
    PlacedControl p;
    p.call("ErrorDump", {Variant::String(dir.path("m.txt"))});
    EXPECT_EQ(readText(dir.path("m.txt")).substr(0, 37), "******** Control Messages **********\n");
    EXPECT_EQ(errorOf([&] { p.call("ErrorDump", {Variant::String("/nonexistent/m.txt")}); }),
              20340u);
}

}  // namespace
}  // namespace pm32::test
