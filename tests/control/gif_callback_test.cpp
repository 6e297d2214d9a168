#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/gif.h"
#include "platform/global_memory.h"
#include "tests/control/test_site.h"
#include "tests/support/temp_dir.h"

namespace pm32::test {
namespace {

// Stores an 8-bit GIF of 35 rows and returns its path.
std::string storeGif35(const TempDir& dir) {
    ZDib image;
    image.Create(12, 35, 8, 0);
    {
        platform::Locked block(image.handle);
        std::uint8_t* pixels = block.data() + image.PixelOffset();
        for (std::size_t i = 0; i < image.PixelBytes(); ++i)
            pixels[i] = static_cast<std::uint8_t>(i * 13 % 251);
    }
    std::string path = dir.path("rows35.gif");
    StoreGIF(image, path);
    EXPECT_EQ(image.error, 0);
    return path;
}

std::vector<std::string> callbackEvents(const std::vector<std::string>& events) {
    std::vector<std::string> out;
    for (const std::string& event : events)
        if (event.rfind("Callback", 0) == 0) out.push_back(event);
    return out;
}

TEST(GifLoadCallback, CallbackFiresEveryCallbackLinesRows) {
    TempDir dir;
    PlacedControl p;
    PlacedControl peek;
    p.put("FileName", Variant::String(storeGif35(dir)));
    p.put("CallbackLines", Variant::I2(10));
    p.call("LoadCallback", {Variant::Object(peek.control)});
    EXPECT_EQ(
        callbackEvents(p.site->events),
        (std::vector<std::string>{"Callback Lines=10", "Callback Lines=20", "Callback Lines=30"}));
    EXPECT_EQ(p.site->events.back(), "Change");
    EXPECT_EQ(p.get("Yresolution").toI2(), 35);
    EXPECT_EQ(p.get("ColorDepth").toI2(), 8);
}

TEST(GifLoadCallback, LinesSetToZeroCancelsAndKeepsThePreviousImage) {
    TempDir dir;
    PlacedControl p;
    PlacedControl peek;
    p.call("Init", {Variant::I2(24), Variant::I2(6), Variant::I2(4), Variant::I4(0x00336699)});
    std::int32_t image = p.get("pZDib").toI4();
    std::size_t blocks = platform::LiveBlockCount();
    p.site->events.clear();
    p.put("FileName", Variant::String(storeGif35(dir)));
    p.put("CallbackLines", Variant::I2(10));
    p.site->onCallback = [](Variant& lines) { lines = Variant::I2(0); };
    p.call("LoadCallback", {Variant::Object(peek.control)});
    EXPECT_EQ(p.site->events, (std::vector<std::string>{"Callback Lines=10"}));
    EXPECT_EQ(p.get("pZDib").toI4(), image);
    EXPECT_EQ(p.get("Yresolution").toI2(), 4);
    EXPECT_EQ(p.get("ErrorNumber").toI4(), 0);
    EXPECT_EQ(platform::LiveBlockCount(), blocks) << "the cancelled image is freed";
}

TEST(GifLoadCallback, APlainLoadReportsNoProgress) {
    TempDir dir;
    PlacedControl p;
    p.put("FileName", Variant::String(storeGif35(dir)));
    p.put("CallbackLines", Variant::I2(10));
    p.call("Load");
    EXPECT_TRUE(callbackEvents(p.site->events).empty());
    EXPECT_EQ(p.get("Yresolution").toI2(), 35);
}

}  // namespace
}  // namespace pm32::test
