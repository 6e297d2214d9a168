#include <gtest/gtest.h>

#include <filesystem>

#include "control/screen_bitmap.h"
#include "control/zpm32.h"
#include "platform/automation/ole_color.h"
#include "tests/control/test_site.h"
#include "tests/support/peer_tools.h"
#include "tests/support/temp_dir.h"

namespace pm32::test {
namespace {

// Stores a one-colour image of that size under made (its extension picks the
// writer) and moves it to the name a test gives it.
void makeFile(const TempDir& dir, const std::string& made, const std::string& name, int width,
              int depth = 24) {
    StoreOneColorImage(dir.path(made), depth, width, 7, 0x336699);
    std::filesystem::rename(dir.path(made), dir.path(name));
}

// Names that say nothing known, or another format than the bytes: refused as
// ever with LoadModernFiles False, read by their content with it True.
TEST(ModernFiles, TheContentDecidesWhenTheNameCannot) {
    TempDir dir;
    const struct {
        const char* made;
        const char* name;
    } cases[] = {{"a.jpg", "photo.jpeg"},   {"b.jpg", "photo.jfif"}, {"c.tif", "scan.tiff"},
                 {"d.png", "no-extension"}, {"e.jpg", "lies.png"},   {"f.gif", "lies.bmp"},
                 {"g.bmp", "picture.dat"}};
    int width = 20;
    for (const auto& c : cases) {
        makeFile(dir, c.made, c.name, ++width, std::string(c.made).ends_with(".gif") ? 8 : 24);
        PlacedControl p;
        p.put("FileName", Variant::String(dir.path(c.name)));
        EXPECT_THROW(p.call("Load"), automation::AutomationError) << c.name;
        EXPECT_NE(p.control->ErrorNumber(), 0);
        EXPECT_EQ(p.get("Xresolution").toI4(), 0) << c.name;

        p.put("LoadModernFiles", Variant::Bool(true));
        EXPECT_NO_THROW(p.call("Load")) << c.name;
        EXPECT_EQ(p.get("Xresolution").toI4(), width) << c.name;
    }
}

TEST(ModernFiles, CountImagesReadsTheContentToo) {
    TempDir dir;
    PlacedControl maker;
    maker.call("Init", {i2(24), i2(9), i2(9), i4(0)});
    maker.put("FileName", Variant::String(dir.path("pages.tif")));
    maker.call("Store");
    maker.call("AppendTIFF");
    std::filesystem::rename(dir.path("pages.tif"), dir.path("pages.tiff"));

    PlacedControl p;
    p.put("FileName", Variant::String(dir.path("pages.tiff")));
    EXPECT_EQ(p.call("CountImages").toI4(), 1) << "an unknown name counts as one image";
    p.put("LoadModernFiles", Variant::Bool(true));
    EXPECT_EQ(p.call("CountImages").toI4(), 2);
    p.put("ImageFormat", i2(3));
    EXPECT_THROW(p.call("Load"), automation::AutomationError) << "ImageFormat still rules";
}

// A wholly transparent picture shows the control's BackColor, a system
// colour resolved as the control paints it; without LoadModernFiles it is
// refused as ever.
TEST(ModernFiles, TransparencyShowsTheBackColor) {
    if (convertTool().empty()) PM32_MISSING_PEER() << "ImageMagick's convert was not found";
    TempDir dir;
    const std::string clear = dir.path("clear.png");
    ASSERT_EQ(
        run(quoted(convertTool()) + " -size 6x4 xc:'rgba(10,200,30,0)' PNG32:" + quoted(clear)), 0);
    const std::uint32_t backColors[] = {0x00336699, 0x8000000F, 0x80000005};
    for (const std::uint32_t back : backColors) {
        SCOPED_TRACE(back);
        const COLORREF shown = automation::TranslateOleColor(back);
        const std::uint32_t rgb = (shown & 0xFF) << 16 | (shown & 0xFF00) | (shown >> 16 & 0xFF);
        PlacedControl p;
        p.put("BackColor", i4(back));
        p.put("FileName", Variant::String(clear));
        EXPECT_EQ(errorOf([&] { p.call("Load"); }), 20109u) << "refused as ever";
        p.put("LoadModernFiles", Variant::Bool(true));
        ASSERT_EQ(errorOf([&] { p.call("Load"); }), 0u);
        ASSERT_NE(p.control->Image(), nullptr);
        EXPECT_EQ(control::BuildScreenBitmap(p.control->Image()->handle).pixel(3, 2) & 0xFFFFFF,
                  rgb);
    }
}

}  // namespace
}  // namespace pm32::test
