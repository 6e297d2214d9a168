#include <gtest/gtest.h>

#include "control/load_picture.h"
#include "platform/bitmap/bitmap_handles.h"
#include "tests/control/exchange_support.h"
#include "tests/support/peer_tools.h"
#include "tests/support/temp_dir.h"

namespace pm32::test {
namespace {

using control::Picture;
using control::PictureType;

const Rgb kRed{255, 0, 0};
const Rgb kBlue{0, 0, 255};
const Rgb kWhite{255, 255, 255};
const Rgb kBlack{0, 0, 0};

Variant pictureVariant(std::shared_ptr<Picture> picture) {
    return Variant::Object(std::move(picture));
}

std::shared_ptr<Picture> pictureOf(PlacedControl& p) {
    return std::dynamic_pointer_cast<Picture>(p.get("Picture").toDispatch());
}

TEST(PictureProperty, ReadsAsABitmapPictureAndSetsIntoAnotherControl) {
    PlacedControl source, target;
    EXPECT_EQ(source.get("Picture").toDispatch(), nullptr) << "no image: Nothing";
    GiveImage(source, PaletteDib(8, 3, 2, {kRed, kBlue}, [](int x, int) { return x % 2u; }));
    std::shared_ptr<Picture> picture = pictureOf(source);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(automation::GetProperty(*picture, "Type").toI2(), 1);
    EXPECT_EQ(automation::GetProperty(*picture, "Width").toI4(), 3 * 2540 / 96);
    target.put("Picture", pictureVariant(picture));
    HGLOBAL image = ImageOf(target);
    EXPECT_EQ(DepthOf(image), 24u) << "a bitmap compatible with a true-colour screen";
    EXPECT_EQ(ColorAtPixel(image, 0, 1), kRed);
    EXPECT_EQ(ColorAtPixel(image, 1, 0), kBlue);
    EXPECT_EQ(target.site->events.back(), "Change");
}

TEST(PictureProperty, MonochromeImagesStayMonochrome) {
    PlacedControl source, target;
    GiveImage(source,
              PaletteDib(1, 9, 2, {kWhite, kBlack}, [](int x, int) { return x == 8 ? 1u : 0u; }));
    target.put("Picture", source.get("Picture"));
    HGLOBAL image = ImageOf(target);
    EXPECT_EQ(DepthOf(image), 1u);
    EXPECT_EQ(ColorAtPixel(image, 0, 0), kWhite);
    EXPECT_EQ(ColorAtPixel(image, 8, 1), kBlack);
}

TEST(PictureProperty, NothingOrAnEmptyPictureClearsOtherKindsAreRefused) {
    PlacedControl p;
    GiveFlat(p, 2, 2, kRed);
    QImage icon(4, 4, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    EXPECT_EQ(errorOf([&] {
                  p.put("Picture",
                        pictureVariant(std::make_shared<Picture>(PictureType::Icon, icon)));
              }),
              20300u);
    EXPECT_EQ(errorOf([&] {
                  p.put("Picture",
                        pictureVariant(std::make_shared<Picture>(PictureType::Metafile, icon)));
              }),
              20300u);
    EXPECT_EQ(errorOf([&] { p.put("Picture", ObjectOf(p)); }), 20300u) << "not a picture";
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 1, 1), kRed);
    p.put("Picture", pictureVariant(std::make_shared<Picture>()));
    EXPECT_EQ(p.get("Contents").toI2(), 0);
    GiveFlat(p, 2, 2, kRed);
    p.put("Picture", Variant::Object(nullptr));
    EXPECT_EQ(p.get("Contents").toI2(), 0);
    PlacedControl design(false);
    EXPECT_NE(scodeOf([&] { design.get("Picture"); }), 0) << "not readable at design time";
}

TEST(LoadPicture, BitmapFilesMakeBitmapsIconFilesIcons) {
    std::string convert = convertTool();
    if (convert.empty()) PM32_MISSING_PEER() << "ImageMagick's convert is not installed";
    TempDir dir;
    std::string bmp = dir.path("red.bmp");
    std::string ico = dir.path("red.ico");
    ASSERT_EQ(run(test::quoted(convert) + " -size 5x3 xc:red BMP3:" + test::quoted(bmp)), 0);
    ASSERT_EQ(run(test::quoted(convert) + " -size 16x16 xc:red " + test::quoted(ico)), 0);
    std::shared_ptr<Picture> bitmap = control::LoadPicture(bmp);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Type(), PictureType::Bitmap);
    std::shared_ptr<Picture> icon = control::LoadPicture(ico);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->Type(), PictureType::Icon);
    EXPECT_EQ(icon->Image().size(), QSize(16, 16));

    PlacedControl p;
    p.put("Picture", pictureVariant(bitmap));
    EXPECT_EQ(p.get("Xresolution").toI2(), 5);
    EXPECT_EQ(ColorAtPixel(ImageOf(p), 4, 2), kRed);
    EXPECT_EQ(errorOf([&] { p.put("Picture", pictureVariant(icon)); }), 20300u);
    EXPECT_EQ(p.get("Xresolution").toI2(), 5);
}

TEST(LoadPicture, NoFileIsAnEmptyPictureAMissingOneNone) {
    std::shared_ptr<Picture> empty = control::LoadPicture("");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->Type(), PictureType::None);
    TempDir dir;
    EXPECT_EQ(control::LoadPicture(dir.path("missing.bmp")), nullptr);
    writeText(dir.path("text.bmp"), "not a bitmap");
    EXPECT_EQ(control::LoadPicture(dir.path("text.bmp")), nullptr);
}

TEST(BitmapHandles, DibToBitmapAndBackKeepThePixels) {
    PlacedControl source, target;
    EXPECT_EQ(errorOf([&] { source.call("DibToBitmap"); }), 20306u);
    GiveImage(source, PaletteDib(4, 3, 2, {kRed, kBlue},
                                 [](int x, int y) { return static_cast<unsigned>((x + y) % 2); }));
    std::size_t bitmaps = platform::LiveBitmapCount();
    auto handle = static_cast<platform::HBITMAP>(source.call("DibToBitmap").toI4());
    const platform::BitmapObject* bitmap = platform::FindBitmap(handle);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->bitsPerPixel, 32u);
    target.call("BitmapToDib", {Variant::I4(static_cast<std::int32_t>(handle))});
    HGLOBAL image = ImageOf(target);
    EXPECT_EQ(DepthOf(image), 24u);
    EXPECT_EQ(ColorAtPixel(image, 0, 0), kRed);
    EXPECT_EQ(ColorAtPixel(image, 2, 1), kBlue);
    EXPECT_NE(platform::FindBitmap(handle), nullptr) << "the caller keeps the bitmap";
    EXPECT_TRUE(platform::DeleteBitmap(handle));
    EXPECT_EQ(platform::LiveBitmapCount(), bitmaps);
    EXPECT_EQ(errorOf([&] { target.call("BitmapToDib", {Variant::I4(0)}); }), 20104u);
    EXPECT_EQ(errorOf([&] {
                  target.call("BitmapToDib", {Variant::I4(static_cast<std::int32_t>(handle))});
              }),
              20104u)
        << "a deleted bitmap";
    EXPECT_EQ(ColorAtPixel(ImageOf(target), 2, 1), kBlue);
}

TEST(BitmapHandles, MonochromeAndPaletteBitmapsKeepTheirDepth) {
    PlacedControl source, target;
    // Entry 0 light, entry 1 dark: the monochrome bitmap shows them as white and black.
    GiveImage(source, PaletteDib(1, 2, 1, {{200, 200, 200}, {20, 20, 90}},
                                 [](int x, int) { return static_cast<unsigned>(x); }));
    auto mono = static_cast<platform::HBITMAP>(source.call("DibToBitmap").toI4());
    EXPECT_EQ(platform::FindBitmap(mono)->bitsPerPixel, 1u);
    target.call("BitmapToDib", {Variant::I4(static_cast<std::int32_t>(mono))});
    EXPECT_EQ(DepthOf(ImageOf(target)), 1u);
    EXPECT_EQ(ColorAtPixel(ImageOf(target), 0, 0), kWhite);
    EXPECT_EQ(ColorAtPixel(ImageOf(target), 1, 0), kBlack);
    platform::DeleteBitmap(mono);

    // A 4-bit bitmap without a colour table gets the standard sixteen colours.
    QImage indexed(2, 1, QImage::Format_Indexed8);
    indexed.scanLine(0)[0] = 9;
    indexed.scanLine(0)[1] = 15;
    platform::HBITMAP four = platform::CreateBitmapObject(indexed, 4);
    ASSERT_NE(four, 0u);
    target.call("BitmapToDib", {Variant::I4(static_cast<std::int32_t>(four))});
    EXPECT_EQ(DepthOf(ImageOf(target)), 4u);
    EXPECT_EQ(ColorAtPixel(ImageOf(target), 0, 0), kRed);
    EXPECT_EQ(ColorAtPixel(ImageOf(target), 1, 0), kWhite);
    platform::DeleteBitmap(four);
}

}  // namespace
}  // namespace pm32::test
