#include <gtest/gtest.h>

#include "tests/control/exchange_support.h"

namespace pm32::test {
namespace {

const Rgb kRed{255, 0, 0};
const Rgb kBlue{0, 0, 255};
const Rgb kGreen{0, 255, 0};
const Rgb kWhite{255, 255, 255};

// Assigns the source's whole image into the target as a whole-image transfer.
void assignWhole(PlacedControl& target, PlacedControl& source) {
    target.call("Assign", {Variant::Bool(false), ObjectOf(source), Variant::Bool(false)});
}

TEST(WholeImageTransfer, UnionWithANegativeOriginGrowsLeftwards) {
    PlacedControl held, incoming;
    GiveFlat(held, 100, 50, kRed);
    GiveFlat(incoming, 20, 20, kBlue);
    held.put("AssignMode", i2(1));
    held.put("Xorigin", i2(-10));
    held.put("BackColor", OleColor(kGreen));
    assignWhole(held, incoming);
    EXPECT_EQ(held.get("Xresolution").toI2(), 110);
    EXPECT_EQ(held.get("Yresolution").toI2(), 50);
    HGLOBAL image = ImageOf(held);
    EXPECT_EQ(ColorAtPixel(image, 0, 0), kBlue);
    EXPECT_EQ(ColorAtPixel(image, 19, 19), kBlue) << "the incoming image is copied last";
    EXPECT_EQ(ColorAtPixel(image, 20, 0), kRed);
    EXPECT_EQ(ColorAtPixel(image, 10, 49), kRed) << "old image starts at column 10";
    EXPECT_EQ(ColorAtPixel(image, 109, 49), kRed);
    EXPECT_EQ(ColorAtPixel(image, 0, 20), kGreen) << "uncovered: BackColor";
    EXPECT_EQ(ColorAtPixel(image, 9, 49), kGreen);
    EXPECT_EQ(ColorAtPixel(ImageOf(incoming), 0, 0), kBlue) << "the source is only read";
}

TEST(WholeImageTransfer, UnionWithAPositiveOriginGrowsRightAndDownOnPaletteImages) {
    PlacedControl held, incoming;
    const std::vector<Rgb> table{kWhite, kRed, kGreen};
    GiveImage(held, PaletteDib(8, 4, 3, table, [](int, int) { return 1u; }));
    GiveImage(incoming, PaletteDib(8, 2, 2, table, [](int, int) { return 0u; }));
    held.put("AssignMode", i2(1));
    held.put("Xorigin", i2(3));
    held.put("Yorigin", i2(2));
    held.put("BackColor", OleColor({0, 250, 10}));
    assignWhole(held, incoming);
    HGLOBAL image = ImageOf(held);
    EXPECT_EQ(held.get("Xresolution").toI2(), 5);
    EXPECT_EQ(held.get("Yresolution").toI2(), 4);
    EXPECT_EQ(IndexAtPixel(image, 0, 0), 1u);
    EXPECT_EQ(IndexAtPixel(image, 3, 2), 0u);
    EXPECT_EQ(IndexAtPixel(image, 4, 3), 0u);
    EXPECT_EQ(IndexAtPixel(image, 0, 3), 2u) << "the fill takes the nearest entry";
    EXPECT_EQ(ColorTable(image)[1], kRed) << "this control's palette";
}

TEST(WholeImageTransfer, ModeZeroReplacesAcrossDepthsOtherModesRefuseThem) {
    PlacedControl held, incoming;
    GiveFlat(held, 6, 4, kRed);
    GiveImage(incoming, PaletteDib(8, 3, 3, {kBlue}, [](int, int) { return 0u; }));
    held.put("AssignMode", i2(1));
    std::int32_t before = held.get("pZDib").toI4();
    EXPECT_EQ(errorOf([&] { assignWhole(held, incoming); }), 20120u);
    EXPECT_EQ(held.get("pZDib").toI4(), before);
    EXPECT_EQ(held.get("ColorDepth").toI2(), 24);
    EXPECT_EQ(ColorAtPixel(ImageOf(held), 5, 3), kRed);
    held.put("AssignMode", i2(0));
    assignWhole(held, incoming);
    EXPECT_EQ(held.get("ColorDepth").toI2(), 8);
    EXPECT_EQ(held.get("Xresolution").toI2(), 3);
}

TEST(WholeImageTransfer, IntersectionCopiesIntoTheImageWithoutGrowingIt) {
    PlacedControl held, incoming;
    GiveFlat(held, 6, 4, kRed);
    GiveFlat(incoming, 3, 3, kBlue);
    held.put("AssignMode", i2(2));
    held.put("Xorigin", i2(4));
    held.put("Yorigin", i2(-1));
    assignWhole(held, incoming);
    HGLOBAL image = ImageOf(held);
    EXPECT_EQ(held.get("Xresolution").toI2(), 6);
    EXPECT_EQ(held.get("Yresolution").toI2(), 4);
    EXPECT_EQ(ColorAtPixel(image, 4, 0), kBlue);
    EXPECT_EQ(ColorAtPixel(image, 5, 1), kBlue);
    EXPECT_EQ(ColorAtPixel(image, 4, 2), kRed);
    EXPECT_EQ(ColorAtPixel(image, 3, 0), kRed);
    // No overlap: the very same image stays.
    std::int32_t before = held.get("pZDib").toI4();
    held.put("Xorigin", i2(6));
    held.site->clearEvents();
    assignWhole(held, incoming);
    EXPECT_EQ(held.get("pZDib").toI4(), before);
    EXPECT_TRUE(held.site->events.empty());
}

// Resampling may lose a step or two of a full channel; the colour stays clear.
bool looksLike(Rgb seen, Rgb expected) {
    auto close = [](int a, int b) { return a > b ? a - b < 40 : b - a < 40; };
    return close(seen.red, expected.red) && close(seen.green, expected.green) &&
           close(seen.blue, expected.blue);
}

TEST(WholeImageTransfer, ResizeScalesOntoTheImageAsResizeModeSays) {
    PlacedControl incoming;
    GiveImage(incoming, TrueColorDib(4, 1, [](int x, int) { return x < 2 ? kBlue : kGreen; }));
    for (int resizeMode : {0, 1, 2, 3}) {
        PlacedControl held;
        GiveFlat(held, 8, 4, kRed);
        held.put("AssignMode", i2(3));
        held.put("ResizeMode", i2(resizeMode));
        held.put("Xorigin", i2(2));
        assignWhole(held, incoming);
        HGLOBAL image = ImageOf(held);
        EXPECT_EQ(held.get("Xresolution").toI2(), 8) << resizeMode;
        EXPECT_EQ(held.get("Yresolution").toI2(), 4) << resizeMode;
        // Source columns 0..2 (4 - 2 * 4 / 8 = 3) go onto columns 2..7: on all
        // four rows, or with kept proportions on the top 8 * 1 / 4 = 2 rows.
        EXPECT_EQ(ColorAtPixel(image, 1, 0), kRed) << resizeMode;
        EXPECT_TRUE(looksLike(ColorAtPixel(image, 2, 0), kBlue)) << resizeMode;
        EXPECT_TRUE(looksLike(ColorAtPixel(image, 7, 1), kGreen)) << resizeMode;
        bool keep = resizeMode == 0 || resizeMode == 2;
        if (keep)
            EXPECT_EQ(ColorAtPixel(image, 7, 2), kRed) << resizeMode;
        else
            EXPECT_TRUE(looksLike(ColorAtPixel(image, 7, 3), kGreen)) << resizeMode;
    }
}

TEST(WholeImageTransfer, AssignChecksItsArgumentsInOrder) {
    PlacedControl held, source;
    auto assign = [&](bool destSelect, Variant control, bool srcSelect) {
        held.call("Assign", {Variant::Bool(destSelect), control, Variant::Bool(srcSelect)});
    };
    EXPECT_EQ(errorOf([&] { assign(false, Variant::Object(nullptr), false); }), 20320u);
    EXPECT_EQ(errorOf([&] { assign(true, ObjectOf(source), false); }), 20306u);
    EXPECT_EQ(errorOf([&] {
                  assign(false, Variant::Object(std::make_shared<ForeignObject>(Variant::I2(7))),
                         false);
              }),
              20350u);
    EXPECT_EQ(errorOf([&] { assign(false, ObjectOf(source), false); }), 20306u) << "source empty";
    GiveFlat(source, 4, 4, kBlue);
    Select(source, 0, 0, 3, 0);
    EXPECT_EQ(errorOf([&] { assign(false, ObjectOf(source), true); }), 20349u);
    EXPECT_EQ(held.get("Contents").toI2(), 0);
}

TEST(WholeImageTransfer, AssignTakesTheSourcesSelectionOnItsBackColor) {
    PlacedControl held, source;
    GiveImage(source, TrueColorDib(4, 4, [](int x, int y) {
                  return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 9};
              }));
    source.put("BackColor", OleColor(kGreen));
    Select(source, 2, -1, 4, 3);
    held.call("Assign", {Variant::Bool(false), ObjectOf(source), Variant::Bool(true)});
    HGLOBAL image = ImageOf(held);
    EXPECT_EQ(held.get("Xresolution").toI2(), 4);
    EXPECT_EQ(held.get("Yresolution").toI2(), 3);
    EXPECT_EQ(ColorAtPixel(image, 0, 0), kGreen) << "above the source";
    EXPECT_EQ(ColorAtPixel(image, 0, 1), (Rgb{2, 0, 9}));
    EXPECT_EQ(ColorAtPixel(image, 1, 2), (Rgb{3, 1, 9}));
    EXPECT_EQ(ColorAtPixel(image, 2, 1), kGreen) << "right of the source";
    // A selection that misses the source brings nothing, and no error.
    Select(source, 10, 10, 2, 2);
    std::int32_t before = held.get("pZDib").toI4();
    held.call("Assign", {Variant::Bool(false), ObjectOf(source), Variant::Bool(true)});
    EXPECT_EQ(held.get("pZDib").toI4(), before);
}

TEST(WholeImageTransfer, HDibWithACombiningModeOnlyReadsTheCallersBlock) {
    PlacedControl held;
    GiveFlat(held, 4, 4, kRed);
    held.put("AssignMode", i2(2));
    held.put("Xorigin", i2(1));
    OwnedDib callers = TrueColorDib(2, 2, [](int, int) { return kBlue; });
    held.put("hDib", Variant::I4(static_cast<std::int32_t>(callers.get())));
    EXPECT_EQ(ColorAtPixel(ImageOf(held), 1, 0), kBlue);
    EXPECT_EQ(ColorAtPixel(ImageOf(held), 0, 0), kRed);
    EXPECT_NE(ImageOf(held), callers.get());
    held.call("Clear");
    EXPECT_EQ(VerifyDib(callers.get()), 0) << "still the caller's, and alive";
    EXPECT_EQ(ColorAtPixel(callers.get(), 0, 0), kBlue);
}

TEST(WholeImageTransfer, AControlCanAssignItsOwnImage) {
    PlacedControl held;
    GiveImage(held, TrueColorDib(3, 2, [](int x, int) { return x == 0 ? kBlue : kRed; }));
    held.put("AssignMode", i2(1));
    held.put("Xorigin", i2(3));
    assignWhole(held, held);
    EXPECT_EQ(held.get("Xresolution").toI2(), 6);
    EXPECT_EQ(ColorAtPixel(ImageOf(held), 3, 1), kBlue);
    EXPECT_EQ(ColorAtPixel(ImageOf(held), 0, 1), kBlue);
}

}  // namespace
}  // namespace pm32::test
