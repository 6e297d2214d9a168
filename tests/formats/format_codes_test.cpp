#include "formats/format_codes.h"

#include <gtest/gtest.h>

namespace pm32 {
namespace {

TEST(IdentifyFormat, ByTheLastFourCharactersWithoutCase) {
    EXPECT_EQ(IdentifyFormatByExtension("photo.BMP"), kFormatBmp);
    EXPECT_EQ(IdentifyFormatByExtension("photo.bmp"), kFormatBmp);
    EXPECT_EQ(IdentifyFormatByExtension("x.bmp"), kFormatBmp);
    EXPECT_EQ(IdentifyFormatByExtension("dir.gif/a.Tif"), kFormatTiff);
    EXPECT_EQ(IdentifyFormatByExtension("a.dib"), kFormatDib);
    EXPECT_EQ(IdentifyFormatByExtension("a.pcx"), kFormatPcx);
    EXPECT_EQ(IdentifyFormatByExtension("a.tga"), kFormatTarga);
    EXPECT_EQ(IdentifyFormatByExtension("a.jpg"), kFormatJpeg);
    EXPECT_EQ(IdentifyFormatByExtension("a.gif"), kFormatGif);
    EXPECT_EQ(IdentifyFormatByExtension("a.fif"), kFormatFif);
    EXPECT_EQ(IdentifyFormatByExtension("a.qzi"), kFormatQzi);
    EXPECT_EQ(IdentifyFormatByExtension("a.QZS"), kFormatQzs);
    EXPECT_EQ(IdentifyFormatByExtension("a.png"), kFormatPng);
}

TEST(IdentifyFormat, ShortAndUnknownNamesAreUnrecognised) {
    EXPECT_EQ(IdentifyFormatByExtension(".bmp"), kFormatUnrecognised);
    EXPECT_EQ(IdentifyFormatByExtension("bmp"), kFormatUnrecognised);
    EXPECT_EQ(IdentifyFormatByExtension(""), kFormatUnrecognised);
    EXPECT_EQ(IdentifyFormatByExtension("a.jpeg"), kFormatUnrecognised);
    EXPECT_EQ(IdentifyFormatByExtension("a.tiff"), kFormatUnrecognised);
    EXPECT_EQ(IdentifyFormatByExtension("a.bmp "), kFormatUnrecognised);
}

TEST(FormatText, PropertyPageNames) {
    EXPECT_EQ(FormatCodeText(0), "0 - any listed");
    EXPECT_EQ(FormatCodeText(8), "8 - OLE paintbrush");
    EXPECT_EQ(FormatCodeText(10), "10 - PNG");
    EXPECT_EQ(FormatCodeText(11), "? - Undefined");
    EXPECT_EQ(FormatCodeText(-1), "? - Undefined");
}

}  // namespace
}  // namespace pm32
