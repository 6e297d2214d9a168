#include <gtest/gtest.h>

#include "tests/control/test_site.h"

namespace pm32::test {
namespace {

TEST(InfoTexts, EmptyControl) {
    PlacedControl p;
    EXPECT_EQ(p.get("InfoImage").toString(),
              "Contents=Empty\nColorDepth=0\nXresolution=0\nYresolution=0");
    EXPECT_EQ(p.get("InfoIO").toString(),
              "WriteCompression=0\nWriteOption=0 - None\nImageFormat=0 - any listed\n"
              "ImageNumber=0\nFilename=");
    EXPECT_EQ(p.get("InfoView").toString(),
              "AutoLoad=0 - None\nAutoScale=0\nAutoSize=0\nScaleImage=1\nScaleScreen=1\n"
              "ScrollBars=0 - None\nScrollBarsLargeChange=10\nScrollBarsSmallChange=1");
}

TEST(InfoTexts, ValuesAreSpelledOut) {
    PlacedControl p;
    p.put("TextAlignment", Variant::I2(2));
    p.put("FontTransparent", Variant::Bool(true));
    EXPECT_EQ(p.get("InfoText").toString(),
              "FontTransparent=1\nTextAlignment=2 - Center\nTextAutoSize=0");
    p.put("TextAlignment", Variant::I2(3));
    EXPECT_EQ(p.get("InfoText").toString(),
              "FontTransparent=1\nTextAlignment=? - Undefined\nTextAutoSize=0");
    p.put("FillColor", Variant::I4(0x00302010));
    p.put("FillStyle", Variant::I2(7));
    p.put("DrawArrows", Variant::I2(3));
    EXPECT_EQ(p.get("InfoDraw").toString(),
              "DrawArrows=3 - Arrow on both ends of line\nDrawStyle=0 - Solid\nDrawWidth=1\n"
              "FillColor(r,g,b)=16,32,48\nFillStyle=7 - Diagonal Cross\nFillTransparent=0");
    p.call("Init", {Variant::I2(4), Variant::I2(9), Variant::I2(7), Variant::I4(0)});
    p.put("FileName", Variant::String("a.png"));
    p.put("ImageFormat", Variant::I2(10));
    p.put("WriteOption", Variant::I2(3));
    EXPECT_EQ(p.get("InfoImage").toString(),
              "Contents=Image\nColorDepth=4\nXresolution=9\nYresolution=7");
    EXPECT_EQ(p.get("InfoIO").toString(),
              "WriteCompression=0\nWriteOption=3 - Progressive & 8 bit Grayscale\n"
              "ImageFormat=10 - PNG\nImageNumber=0\nFilename=a.png");
}

}  // namespace
}  // namespace pm32::test
