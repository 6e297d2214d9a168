#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/jpeg.h"
#include "formats/png.h"
#include "tests/control/test_site.h"
#include "tests/support/temp_dir.h"

namespace pm32::test {
namespace {

// A 24-bit picture of 40 rows written by the codec under test.
std::string writePicture(const TempDir& dir, const std::string& name) {
    ZDib image;
    image.Create(30, 40, 24, 0x00336699);
    std::string file = dir.path(name);
    if (name.ends_with(".png"))
        StorePNG(image, file, 0);
    else
        StoreJPEG(image, file, 75, 0);
    EXPECT_EQ(image.error, 0);
    return file;
}

void initImage(PlacedControl& p) {
    p.call("Init", {Variant::I2(8), Variant::I2(6), Variant::I2(4), Variant::I4(0x00112233)});
}

TEST(PngJpegCallback, CancellingInTheFirstCallbackKeepsTheImageAndErrorNumber) {
    TempDir dir;
    for (const char* name : {"picture.png", "picture.jpg"}) {
        SCOPED_TRACE(name);
        std::string file = writePicture(dir, name);
        PlacedControl p;
        PlacedControl peek;
        initImage(p);
        p.put("ErrorNumber", Variant::I4(20101));
        p.put("CallbackLines", Variant::I2(5));
        p.put("FileName", Variant::String(file));
        std::int32_t image = p.get("pZDib").toI4();
        int callbacks = 0;
        p.site->onCallback = [&](Variant& lines) {
            ++callbacks;
            lines = Variant::I2(0);
        };
        p.site->events.clear();
        EXPECT_EQ(errorOf([&] { p.call("LoadCallback", {Variant::Object(peek.control)}); }), 0u);
        EXPECT_EQ(callbacks, 1);
        EXPECT_EQ(p.site->events, (std::vector<std::string>{"Callback Lines=5"}));
        EXPECT_EQ(p.get("pZDib").toI4(), image);
        EXPECT_EQ(p.get("ColorDepth").toI2(), 8);
        EXPECT_EQ(p.get("ErrorNumber").toI4(), 20101);
    }
}

TEST(PngJpegCallback, ALoadThatGoesOnReportsEveryIntervalAndInstallsTheImage) {
    TempDir dir;
    for (const char* name : {"picture.png", "picture.jpg"}) {
        SCOPED_TRACE(name);
        std::string file = writePicture(dir, name);
        PlacedControl p;
        PlacedControl peek;
        initImage(p);
        p.put("CallbackLines", Variant::I2(15));
        p.put("FileName", Variant::String(file));
        p.site->events.clear();
        p.call("LoadCallback", {Variant::Object(peek.control)});
        EXPECT_EQ(p.site->events,
                  (std::vector<std::string>{"Callback Lines=15", "Callback Lines=30", "Change"}));
        EXPECT_EQ(p.get("ColorDepth").toI2(), 24);
        EXPECT_EQ(p.get("Yresolution").toI2(), 40);
    }
}

}  // namespace
}  // namespace pm32::test
