#include <gtest/gtest.h>

#include "tests/control/exchange_support.h"

namespace pm32::test {
namespace {

const Rgb kRed{255, 0, 0};
const Rgb kBlue{0, 0, 255};
const Rgb kGreen{0, 255, 0};
const Rgb kWhite{255, 255, 255};
const Rgb kBlack{0, 0, 0};

void assignIntoSelection(PlacedControl& target, PlacedControl& source) {
    target.call("Assign", {Variant::Bool(true), ObjectOf(source), Variant::Bool(false)});
}

// The blue pixels of the control's image, as a string of rows for readable failures.
std::string bluePixels(PlacedControl& p) {
    HGLOBAL image = ImageOf(p);
    std::string rows;
    for (int y = 0; y < p.get("Yresolution").toI2(); ++y) {
        for (int x = 0; x < p.get("Xresolution").toI2(); ++x)
            rows += ColorAtPixel(image, x, y) == kBlue ? 'B' : '.';
        rows += '\n';
    }
    return rows;
}

struct Placement {
    int assignMode, resizeMode, xOrigin, yOrigin;
    int left, top, width, height;
    std::string expected;
};

TEST(SelectionTransfer, EachModePlacesTheIncomingImageWhereItSays) {
    const std::vector<Placement> cases = {
        // Centred on the selection at (2 + 6/2 - 4/2, 2 + 4/2 - 2/2) = (3, 3).
        {0, 0, 5, 5, 2, 2, 6, 4, "........\n........\n........\n...BBBB.\n...BBBB.\n........\n"},
        // At the selection's corner plus the origin, reaching outside the selection.
        {1, 0, 1, -1, 2, 2, 6, 4, "........\n...BBBB.\n...BBBB.\n........\n........\n........\n"},
        // The same, clipped to the selection.
        {2, 0, 1, -1, 2, 2, 6, 4, "........\n........\n...BBBB.\n........\n........\n........\n"},
        // Clipped to the image.
        {1, 0, 0, 0, 6, 5, 1, 1, "........\n........\n........\n........\n........\n......BB\n"},
        // Scaled into the selection, each axis on its own ...
        {3, 1, 9, 9, 1, 1, 4, 4, "........\n.BBBB...\n.BBBB...\n.BBBB...\n.BBBB...\n........\n"},
        // ... or keeping the picture's proportions.
        {3, 0, 9, 9, 1, 1, 4, 4, "........\n.BBBB...\n.BBBB...\n........\n........\n........\n"},
        // A selection without width takes nothing.
        {3, 1, 0, 0, 1, 1, 0, 4, "........\n........\n........\n........\n........\n........\n"},
    };
    PlacedControl incoming;
    GiveFlat(incoming, 4, 2, kBlue);
    for (const Placement& c : cases) {
        PlacedControl held;
        GiveFlat(held, 8, 6, kRed);
        held.put("AssignMode", i2(c.assignMode));
        held.put("ResizeMode", i2(c.resizeMode));
        held.put("Xorigin", i2(c.xOrigin));
        held.put("Yorigin", i2(c.yOrigin));
        Select(held, c.left, c.top, c.width, c.height);
        assignIntoSelection(held, incoming);
        EXPECT_EQ(bluePixels(held), c.expected) << "AssignMode " << c.assignMode;
        EXPECT_EQ(held.get("Xresolution").toI2(), 8);
    }
}

TEST(SelectionTransfer, RefusesAnotherDepthAndKeepsTheImage) {
    PlacedControl held, incoming;
    GiveFlat(held, 8, 6, kRed);
    GiveImage(incoming, PaletteDib(4, 2, 2, {kBlue}, [](int, int) { return 0u; }));
    Select(held, 0, 0, 4, 4);
    std::int32_t before = held.get("pZDib").toI4();
    EXPECT_EQ(errorOf([&] { assignIntoSelection(held, incoming); }), 20120u);
    EXPECT_EQ(held.get("pZDib").toI4(), before);
    EXPECT_EQ(bluePixels(held).find('B'), std::string::npos);
}

TEST(CutOut, DuplicateDibOfASelectionHalfOutsideShowsBackColorOutside) {
    PlacedControl p;
    GiveFlat(p, 4, 4, kRed);
    p.put("BackColor", OleColor(kGreen));
    Select(p, 2, 2, 4, 3);
    OwnedDib cut = Returned(p.call("DuplicateDib", {i2(1)}));
    ASSERT_NE(cut.get(), 0u);
    EXPECT_EQ(HeaderField(cut.get(), 4), 4u);
    EXPECT_EQ(HeaderField(cut.get(), 8), 3u);
    EXPECT_EQ(ColorAtPixel(cut.get(), 0, 0), kRed);
    EXPECT_EQ(ColorAtPixel(cut.get(), 1, 1), kRed);
    EXPECT_EQ(ColorAtPixel(cut.get(), 2, 0), kGreen);
    EXPECT_EQ(ColorAtPixel(cut.get(), 0, 2), kGreen);
    Select(p, 0, 0, 0, 3);
    EXPECT_EQ(errorOf([&] { p.call("DuplicateDib", {i2(1)}); }), 20349u);
    Select(p, 5, 0, 2, 2);
    EXPECT_EQ(p.call("DuplicateDib", {i2(1)}).toI4(), 0) << "missing the image entirely";
}

TEST(CutOut, PaletteImagesKeepTheirTableAndFillWithTheNearestEntry) {
    PlacedControl p;
    GiveImage(p, PaletteDib(4, 3, 3, {kBlack, kRed, kWhite}, [](int, int) { return 1u; }));
    p.put("BackColor", OleColor({250, 250, 240}));
    Select(p, -1, 0, 2, 1);
    OwnedDib cut = Returned(p.call("DuplicateDib", {i2(1)}));
    EXPECT_EQ(DepthOf(cut.get()), 4u);
    EXPECT_EQ(IndexAtPixel(cut.get(), 0, 0), 2u);
    EXPECT_EQ(IndexAtPixel(cut.get(), 1, 0), 1u);
    EXPECT_EQ(ColorTable(cut.get())[1], kRed);
}

class MaskCopyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        GiveFlat(held, 6, 4, kRed);
        GiveFlat(from, 4, 4, kBlue);
        GiveImage(mask, TrueColorDib(4, 4, [](int x, int) { return x < 2 ? kWhite : kBlack; }));
    }
    void maskCopy(Variant source, Variant maskControl) {
        held.call("MaskCopy", {std::move(source), std::move(maskControl)});
    }

    PlacedControl held, from, mask;
};

TEST_F(MaskCopyTest, BlendsWhereAllThreeOverlapAsPlacedByTheOrigins) {
    from.put("Xorigin", i2(-1));  // lands at column 1 of the held image
    maskCopy(ObjectOf(from), ObjectOf(mask));
    HGLOBAL image = ImageOf(held);
    EXPECT_EQ(ColorAtPixel(image, 0, 0), kRed) << "outside the source";
    EXPECT_EQ(ColorAtPixel(image, 1, 3), (Rgb{0, 0, 254})) << "white mask: the source";
    EXPECT_EQ(ColorAtPixel(image, 2, 0), (Rgb{254, 0, 0})) << "black mask: the image";
    EXPECT_EQ(ColorAtPixel(image, 4, 0), kRed) << "outside the mask";
}

TEST_F(MaskCopyTest, NoOverlapChangesNothing) {
    from.put("Xorigin", i2(-6));
    std::int32_t before = held.get("pZDib").toI4();
    maskCopy(ObjectOf(from), ObjectOf(mask));
    EXPECT_EQ(held.get("pZDib").toI4(), before);
}

TEST_F(MaskCopyTest, ChecksComeInTheirOrder) {
    PlacedControl empty;
    auto foreign = Variant::Object(std::make_shared<ForeignObject>(Variant::I2(1)));
    EXPECT_EQ(errorOf([&] { empty.call("MaskCopy", {ObjectOf(from), ObjectOf(mask)}); }), 20306u);
    EXPECT_EQ(errorOf([&] { maskCopy(Variant::Object(nullptr), ObjectOf(mask)); }), 20314u);
    EXPECT_EQ(errorOf([&] { maskCopy(ObjectOf(from), Variant::Object(nullptr)); }), 20316u);
    EXPECT_EQ(errorOf([&] { maskCopy(foreign, ObjectOf(mask)); }), 20350u);
    EXPECT_EQ(errorOf([&] { maskCopy(ObjectOf(from), foreign); }), 20350u);
    EXPECT_EQ(errorOf([&] { maskCopy(ObjectOf(empty), ObjectOf(mask)); }), 20317u);
    EXPECT_EQ(errorOf([&] { maskCopy(ObjectOf(from), ObjectOf(empty)); }), 20319u);
    PlacedControl palette;
    GiveImage(palette, PaletteDib(8, 4, 4, {kBlue}, [](int, int) { return 0u; }));
    EXPECT_EQ(errorOf([&] { maskCopy(ObjectOf(palette), ObjectOf(mask)); }), 20120u);
    EXPECT_EQ(ColorAtPixel(ImageOf(held), 1, 1), kRed);
}

}  // namespace
}  // namespace pm32::test
