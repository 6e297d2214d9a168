#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "platform/clipboard/clipboard.h"
#include "platform/window/gui_application.h"
#include "tests/control/exchange_support.h"

namespace pm32::test {
namespace {

const Rgb kRed{255, 0, 0};
const Rgb kBlue{0, 0, 255};
const Rgb kGreen{0, 255, 0};

// The real clipboard of the process, on the offscreen platform without a display.
class ClipboardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(platform::EnsureGuiApplication(), nullptr);
        clipboard()->clear();
    }
    static QClipboard* clipboard() { return QGuiApplication::clipboard(); }
};

TEST_F(ClipboardTest, ACopiedImageRoundTripsIntoAnotherControlWithItsPalette) {
    PlacedControl source, target;
    const std::vector<Rgb> table{kRed, kBlue, kGreen};
    GiveImage(source, PaletteDib(8, 5, 3, table,
                                 [](int x, int y) { return static_cast<unsigned>((x + y) % 3); }));
    source.call("CopyClipboard");
    ASSERT_NE(clipboard()->mimeData(), nullptr);
    EXPECT_TRUE(clipboard()->mimeData()->hasFormat(
        QString::fromLatin1(platform::kPackedDibMimeType.data())));
    target.call("PasteClipboard");
    HGLOBAL pasted = ImageOf(target);
    EXPECT_EQ(DepthOf(pasted), 8u);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(IndexAtPixel(pasted, x, y), static_cast<unsigned>((x + y) % 3)) << x << y;
    EXPECT_EQ(ColorTable(pasted)[1], kBlue);
    EXPECT_NE(pasted, ImageOf(source)) << "a block of the control's own";
}

TEST_F(ClipboardTest, OtherProgramsSeeTheCopyAsAStandardImage) {
    PlacedControl source;
    GiveImage(source, TrueColorDib(3, 2, [](int x, int) { return x == 0 ? kRed : kBlue; }));
    source.call("CopyClipboard", {i2(1)});
    QImage seen = clipboard()->image();
    ASSERT_FALSE(seen.isNull());
    EXPECT_EQ(seen.size(), QSize(3, 2));
    EXPECT_EQ(seen.pixel(0, 1), qRgb(255, 0, 0));
    EXPECT_EQ(seen.pixel(2, 0), qRgb(0, 0, 255));
}

TEST_F(ClipboardTest, AnImagePutThereByOtherCodePastesAsTrueColour) {
    QImage picture(4, 2, QImage::Format_ARGB32);
    picture.fill(qRgb(10, 200, 30));
    picture.setPixel(3, 1, qRgb(250, 5, 6));
    clipboard()->setImage(picture);
    PlacedControl target;
    target.call("PasteClipboard");
    HGLOBAL pasted = ImageOf(target);
    EXPECT_EQ(DepthOf(pasted), 24u);
    EXPECT_EQ(target.get("Xresolution").toI2(), 4);
    EXPECT_EQ(ColorAtPixel(pasted, 0, 0), (Rgb{10, 200, 30}));
    EXPECT_EQ(ColorAtPixel(pasted, 3, 1), (Rgb{250, 5, 6}));
}

TEST_F(ClipboardTest, SomethingThatIsNotAnImageGives20309AndLosesNothing) {
    PlacedControl target;
    GiveFlat(target, 2, 2, kRed);
    std::size_t blocks = platform::LiveBlockCount();
    EXPECT_EQ(errorOf([&] { target.call("PasteClipboard"); }), 20309u) << "empty";
    clipboard()->setText(QStringLiteral("not a picture"));
    EXPECT_EQ(errorOf([&] { target.call("PasteClipboard"); }), 20309u);
    EXPECT_EQ(ColorAtPixel(ImageOf(target), 1, 1), kRed);
    EXPECT_EQ(platform::LiveBlockCount(), blocks);
}

TEST_F(ClipboardTest, ABrokenDibInOurFlavourIsRefusedByVerification) {
    auto data = std::make_unique<QMimeData>();
    data->setData(QString::fromLatin1(platform::kPackedDibMimeType.data()),
                  QByteArray("\x0c\x00\x00\x00 too short", 14));
    clipboard()->setMimeData(data.release());
    PlacedControl target;
    std::size_t blocks = platform::LiveBlockCount();
    EXPECT_NE(errorOf([&] { target.call("PasteClipboard"); }), 0u);
    EXPECT_EQ(target.get("Contents").toI2(), 0);
    EXPECT_EQ(platform::LiveBlockCount(), blocks) << "the duplicate is freed";
}

TEST_F(ClipboardTest, ImagesWithASideBeyond32767AreRefusedAndLoseNothing) {
    // A one-bit row of 32768 pixels in our own flavour.
    QByteArray packed(40 + 8 + 4096, '\0');
    const unsigned char header[16] = {40, 0, 0, 0, 0, 0x80, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0};
    std::copy(std::begin(header), std::end(header), packed.begin());
    for (bool ours : {true, false}) {
        SCOPED_TRACE(ours ? "our flavour" : "another program's image");
        if (ours) {
            auto data = std::make_unique<QMimeData>();
            data->setData(QString::fromLatin1(platform::kPackedDibMimeType.data()), packed);
            clipboard()->setMimeData(data.release());
        } else {
            QImage wide(1, 32768, QImage::Format_RGB32);
            wide.fill(Qt::blue);
            clipboard()->setImage(wide);
        }
        PlacedControl target;
        GiveFlat(target, 2, 2, kRed);
        std::size_t blocks = platform::LiveBlockCount();
        EXPECT_EQ(errorOf([&] { target.call("PasteClipboard"); }), 20129u);
        EXPECT_EQ(ColorAtPixel(ImageOf(target), 1, 1), kRed);
        EXPECT_EQ(platform::LiveBlockCount(), blocks);
    }
}

TEST_F(ClipboardTest, CopyingASelectionHalfOutsideFillsWithBackColor) {
    PlacedControl source, target;
    GiveFlat(source, 4, 4, kRed);
    source.put("BackColor", OleColor(kGreen));
    Select(source, 2, -2, 4, 4);
    source.call("CopyClipboard", {i2(0)});
    target.call("PasteClipboard");
    HGLOBAL pasted = ImageOf(target);
    EXPECT_EQ(target.get("Xresolution").toI2(), 4);
    EXPECT_EQ(target.get("Yresolution").toI2(), 4);
    EXPECT_EQ(ColorAtPixel(pasted, 0, 2), kRed);
    EXPECT_EQ(ColorAtPixel(pasted, 1, 3), kRed);
    EXPECT_EQ(ColorAtPixel(pasted, 0, 1), kGreen) << "above the image";
    EXPECT_EQ(ColorAtPixel(pasted, 2, 3), kGreen) << "right of the image";
}

TEST_F(ClipboardTest, AssignModeDecidesWhetherAnotherDepthMayReplaceTheImage) {
    PlacedControl source, target;
    GiveImage(source, PaletteDib(8, 3, 3, {kBlue}, [](int, int) { return 0u; }));
    source.call("CopyClipboard");
    GiveFlat(target, 5, 5, kRed);
    target.put("AssignMode", i2(1));
    std::size_t blocks = platform::LiveBlockCount();
    EXPECT_EQ(errorOf([&] { target.call("PasteClipboard"); }), 20120u);
    EXPECT_EQ(target.get("ColorDepth").toI2(), 24);
    EXPECT_EQ(platform::LiveBlockCount(), blocks) << "the refused duplicate is freed";
    target.put("AssignMode", i2(0));
    target.call("PasteClipboard");
    EXPECT_EQ(target.get("ColorDepth").toI2(), 8);
}

TEST_F(ClipboardTest, PastingIntoTheSelectionOrIntoNoImage) {
    PlacedControl source, target;
    GiveFlat(source, 2, 2, kBlue);
    source.call("CopyClipboard");
    target.call("PasteClipboard", {i2(0)});
    EXPECT_EQ(target.get("Xresolution").toI2(), 2) << "no image yet: taken whole";
    GiveFlat(target, 6, 6, kRed);
    target.put("AssignMode", i2(1));
    Select(target, 3, 1, 2, 2);
    target.call("PasteClipboard", {i2(0)});
    EXPECT_EQ(ColorAtPixel(ImageOf(target), 3, 1), kBlue);
    EXPECT_EQ(ColorAtPixel(ImageOf(target), 4, 2), kBlue);
    EXPECT_EQ(ColorAtPixel(ImageOf(target), 2, 1), kRed);
}

TEST_F(ClipboardTest, TheOptionMustBeAShortAndAnImageMustBeThere) {
    PlacedControl p;
    EXPECT_EQ(errorOf([&] { p.call("CopyClipboard"); }), 20306u);
    GiveFlat(p, 2, 2, kRed);
    EXPECT_EQ(errorOf([&] { p.call("CopyClipboard", {Variant::I4(1)}); }), 20395u);
    EXPECT_EQ(errorOf([&] { p.call("PasteClipboard", {Variant::String("1")}); }), 20395u);
    Variant option = i2(1);
    p.call("CopyClipboard", {Variant::Ref(&option)});
    EXPECT_FALSE(clipboard()->image().isNull()) << "a short by reference is a short";
    Select(p, 5, 5, 1, 1);
    EXPECT_EQ(errorOf([&] { p.call("CopyClipboard", {i2(0)}); }), 20307u)
        << "a selection outside the image makes no DIB to set";
}

}  // namespace
}  // namespace pm32::test
