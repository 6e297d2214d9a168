#include <gtest/gtest.h>

#include <QFontMetrics>

#include "control/drawing_font.h"
#include "control/font.h"
#include "platform/gdi/system_font.h"
#include "platform/gdi/text_fit.h"
#include "tests/control/test_site.h"
#include "tests/support/test_dibs.h"

namespace pm32::test {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};

// A control with a white 120 x 60 image, red text on green, and a text box.
struct TextControl : PlacedControl {
    TextControl() : PlacedControl(QSize(160, 100)) {
        OwnedDib dib = TrueColorDib(120, 60, [](int, int) { return kWhite; });
        call("ImportDib", {i4(static_cast<std::int32_t>(dib.take())), Variant::Bool(true)});
        put("ForeColor", i4(0x0000FF));
        put("BackColor", i4(0x00FF00));
        put("SelectLeft", i2(10));
        put("SelectTop", i2(8));
        put("SelectWidth", i2(90));
        put("SelectHeight", i2(40));
    }
    Rgb at(int x, int y) const { return ColorAtPixel(control->Image()->handle, x, y); }
    std::vector<Rgb> pixels() const {
        std::vector<Rgb> all;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 120; ++x) all.push_back(at(x, y));
        return all;
    }
    static bool inBox(int x, int y) { return x >= 10 && x < 100 && y >= 8 && y < 48; }
};

TEST(TextDraw, EmptyTextOrSelectionDrawsNothing) {
    TextControl p;
    std::vector<Rgb> before = p.pixels();
    EXPECT_EQ(errorOf([&] { p.call("TextDraw"); }), 0u);
    p.put("Text", Variant::String("Hello"));
    p.put("SelectHeight", i2(0));
    EXPECT_EQ(errorOf([&] { p.call("TextDraw"); }), 0u);
    EXPECT_EQ(p.pixels(), before);
}

TEST(TextDraw, InkStaysInsideTheBox) {
    TextControl p;
    p.put("FontTransparent", Variant::Bool(true));
    p.put("Text", Variant::String("Hello, world! A line too long for the box\nand a second"));
    p.call("TextDraw");
    int ink = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) {
            Rgb pixel = p.at(x, y);
            if (!TextControl::inBox(x, y)) {
                ASSERT_EQ(pixel, kWhite) << "ink outside the box at " << x << "," << y;
                continue;
            }
            EXPECT_TRUE(pixel == kWhite || pixel == kRed) << "only the text colour";
            ink += pixel == kRed;
        }
    EXPECT_GT(ink, 40);
}

TEST(TextDraw, OpaqueTextFillsTheWholeBoxWithBackColorFirst) {
    TextControl p;
    p.put("Text", Variant::String("Hi"));
    p.call("TextDraw");
    int ink = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) {
            Rgb pixel = p.at(x, y);
            if (!TextControl::inBox(x, y))
                ASSERT_EQ(pixel, kWhite) << x << "," << y;
            else
                ASSERT_TRUE(pixel == kGreen || pixel == kRed) << x << "," << y;
            ink += pixel == kRed;
        }
    EXPECT_GT(ink, 0);
}

TEST(TextDraw, AlignmentThreeDrawsLikeLeftAndOthersMoveTheText) {
    std::vector<std::vector<Rgb>> results;
    for (int alignment : {0, 3, 1, 2}) {
        TextControl p;
        p.put("Text", Variant::String("Abc"));
        p.put("TextAlignment", i2(alignment));
        p.call("TextDraw");
        results.push_back(p.pixels());
    }
    EXPECT_EQ(results[1], results[0]);
    EXPECT_NE(results[2], results[0]);
    EXPECT_NE(results[3], results[0]);
    EXPECT_NE(results[3], results[2]);
}

TEST(TextDraw, RightJustifiedInkEndsAtTheRightEdge) {
    TextControl p;
    p.put("Text", Variant::String("WWW"));
    p.put("TextAlignment", i2(1));
    p.call("TextDraw");
    int rightmost = 0;
    for (int y = 8; y < 48; ++y)
        for (int x = 10; x < 100; ++x)
            if (p.at(x, y) == kRed) rightmost = std::max(rightmost, x);
    EXPECT_GE(rightmost, 95);
}

TEST(TextDraw, MultiLineWrapsInsideTheBox) {
    TextControl p;
    p.put("FontTransparent", Variant::Bool(true));
    p.put("Text", Variant::String("one two three four five six"));
    p.call("TextDraw");
    std::vector<Rgb> single = p.pixels();
    TextControl wrapped;
    wrapped.put("FontTransparent", Variant::Bool(true));
    wrapped.put("Text", Variant::String("one two three four five six"));
    wrapped.put("TextMultiLine", Variant::Bool(true));
    wrapped.call("TextDraw");
    int lineHeight = QFontMetrics(platform::gdi::SystemFont()).height();
    auto inkInRow = [](const TextControl& c, int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < 120; ++x)
                if (c.at(x, y) == kRed) return true;
        return false;
    };
    EXPECT_FALSE(inkInRow(p, 8 + lineHeight, 48));
    EXPECT_TRUE(inkInRow(wrapped, 8 + lineHeight, 48)) << "the words go on a second line";
}

TEST(TextDraw, AutoSizeGrowsTheTextToTheBox) {
    TextControl small;
    small.put("FontTransparent", Variant::Bool(true));
    small.put("Text", Variant::String("Big"));
    small.call("TextDraw");
    TextControl big;
    big.put("FontTransparent", Variant::Bool(true));
    big.put("Text", Variant::String("Big"));
    big.put("TextAutoSize", Variant::Bool(true));
    big.call("TextDraw");
    auto inkOf = [](const TextControl& c) {
        int ink = 0;
        for (Rgb pixel : c.pixels()) ink += pixel == kRed;
        return ink;
    };
    EXPECT_GT(inkOf(big), 3 * inkOf(small));
    EXPECT_LE(big.get("TextHigh").toI2(), 40);
    EXPECT_GT(big.get("TextHigh").toI2(), small.get("TextHigh").toI2());
}

TEST(TextDraw, OnTheWindowTheImageStays) {
    TextControl p;
    p.put("Text", Variant::String("Window"));
    p.site->window()->PumpMessages();
    std::vector<Rgb> before = p.pixels();
    p.call("TextDraw", {i2(1)});
    EXPECT_EQ(p.pixels(), before);
    // The window context's own colours: a black pen and a white brush.
    const QImage& window = p.site->window()->Surface();
    EXPECT_EQ(window.pixel(10, 40), qRgb(0, 0, 0));
    EXPECT_EQ(window.pixel(99, 47), qRgb(0, 0, 0));
    EXPECT_EQ(window.pixel(50, 40), qRgb(255, 255, 255));
    EXPECT_EQ(window.pixel(50, 55), qRgb(255, 255, 255)) << "the image below the box";
}

TEST(TextMeasure, HighAndWideFollowTheSystemFont) {
    TextControl p;
    QFontMetrics metrics(platform::gdi::SystemFont());
    EXPECT_EQ(p.get("TextHigh").toI2(), 0);
    EXPECT_EQ(p.get("TextWide").toI2(), 0);
    p.put("Text", Variant::String("short\r\nthe longest line\n\n"));
    EXPECT_EQ(p.call("TextHigh").toI2(), 2 * metrics.height());
    EXPECT_EQ(p.call("TextWide").toI2(), metrics.horizontalAdvance("the longest line"));
    p.put("TextMultiLine", Variant::Bool(true));
    p.put("SelectWidth", i2(300));
    EXPECT_EQ(p.get("TextWide").toI2(), metrics.horizontalAdvance("longest"));
    EXPECT_EQ(p.get("TextHigh").toI2(), 2 * metrics.height()) << "the box is wide enough";
    p.put("SelectWidth", i2(1));
    EXPECT_EQ(p.get("TextHigh").toI2(), 4 * metrics.height()) << "a word a line";
}

TEST(TextMeasure, HighAndWideFollowTheControlsFont) {
    TextControl p;
    p.put("Text", Variant::String("Wide words\nline"));
    int systemWidth = p.get("TextWide").toI2();
    control::Font& font = *p.control->FontObject();
    automation::PutProperty(font, "Size", Variant::I2(24));
    automation::PutProperty(font, "Bold", Variant::Bool(true));
    automation::PutProperty(font, "Name", Variant::String("DejaVu Serif"));
    QFontMetrics metrics(control::DrawingFont(font.Description()));
    EXPECT_EQ(p.get("TextHigh").toI2(), 2 * metrics.height());
    EXPECT_EQ(p.get("TextWide").toI2(), metrics.horizontalAdvance("Wide words"));
    EXPECT_GT(p.get("TextWide").toI2(), 2 * systemWidth);
}

TEST(TextMeasure, AutoSizeStartsFromTheControlsFont) {
    TextControl p;
    p.put("Text", Variant::String("Fit me\nin"));
    p.put("TextAutoSize", Variant::Bool(true));
    auto expected = [&] {
        QFont fitted = platform::gdi::FitFontToBox(
            "Fit me\nin", control::DrawingFont(p.control->FontObject()->Description()),
            QSize(90, 40), {.dropSpaceAfterLineFeed = true});
        return platform::gdi::MeasureText("Fit me\nin", fitted, {.dropSpaceAfterLineFeed = true});
    };
    platform::gdi::TextMeasure system = expected();
    EXPECT_EQ(p.get("TextWide").toI2(), system.width);
    automation::PutProperty(*p.control->FontObject(), "Name", Variant::String("DejaVu Sans Mono"));
    automation::PutProperty(*p.control->FontObject(), "Italic", Variant::Bool(true));
    platform::gdi::TextMeasure mono = expected();
    ASSERT_NE(mono.width, system.width) << "the fonts must tell apart";
    EXPECT_EQ(p.get("TextWide").toI2(), mono.width);
    EXPECT_EQ(p.get("TextHigh").toI2(), mono.height);
}

TEST(TextDraw, DrawsWithTheControlsFont) {
    auto inkOf = [](TextControl& p) {
        p.put("FontTransparent", Variant::Bool(true));
        p.put("Text", Variant::String("Ag"));
        p.call("TextDraw");
        int ink = 0;
        for (Rgb pixel : p.pixels()) ink += pixel == kRed;
        return ink;
    };
    TextControl plain;
    TextControl underlined;
    automation::PutProperty(*underlined.control->FontObject(), "Underline", Variant::Bool(true));
    TextControl big;
    automation::PutProperty(*big.control->FontObject(), "Size", Variant::I2(20));
    int plainInk = inkOf(plain);
    EXPECT_GT(plainInk, 0);
    EXPECT_GT(inkOf(underlined), plainInk);
    EXPECT_GT(inkOf(big), 2 * plainInk);
}

TEST(FontMapping, TheDescriptionBecomesAnAliasedPixelSizedFont) {
    QFont system = control::DrawingFont(control::SystemFontDescription());
    QFont reference = platform::gdi::SystemFont();
    EXPECT_EQ(system.family(), reference.family());
    EXPECT_EQ(system.pixelSize(), reference.pixelSize());
    EXPECT_EQ(QFontMetrics(system).height(), QFontMetrics(reference).height());
    QFont font = control::DrawingFont({.name = "DejaVu Serif",
                                       .sizeUnits = 120000,
                                       .weight = 800,
                                       .italic = true,
                                       .underline = true,
                                       .strikethrough = true});
    EXPECT_EQ(font.family(), "DejaVu Serif");
    EXPECT_EQ(font.pixelSize(), 16) << "12 points at 96 dpi";
    EXPECT_EQ(font.weight(), QFont::ExtraBold);
    EXPECT_TRUE(font.italic() && font.underline() && font.strikeOut());
    EXPECT_EQ(font.styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
    EXPECT_EQ(control::DrawingFont({.name = "x", .sizeUnits = 1}).pixelSize(), 1);
    EXPECT_EQ(control::DrawingFont({.name = "x", .sizeUnits = 10000, .weight = 0}).weight(),
              QFont::Normal);
    EXPECT_EQ(control::PixelSizeOf(3750), 1) << "half a pixel rounds up";
    EXPECT_EQ(control::PixelSizeOf(3749), 1) << "never below one pixel";
    EXPECT_EQ(control::PixelSizeOf(11250), 2);
    EXPECT_EQ(control::PixelSizeOf(control::FontDescription::kMaxSizeUnits), 16384);
}

TEST(TextMeasure, AutoSizeWithAnEmptyBoxMeasuresNothing) {
    TextControl p;
    p.put("Text", Variant::String("Some"));
    p.put("TextAutoSize", Variant::Bool(true));
    p.put("SelectWidth", i2(0));
    EXPECT_EQ(p.get("TextHigh").toI2(), 0);
    EXPECT_EQ(p.get("TextWide").toI2(), 0);
}

TEST(TextMeasure, AssigningIsRefusedByNumber) {
    TextControl p;
    EXPECT_EQ(errorOf([&] { p.put("TextHigh", i2(3)); }), 20383u);
    EXPECT_EQ(errorOf([&] { p.put("TextWide", i2(3)); }), 20382u);
    EXPECT_EQ(p.get("ErrorNumber").toI4(), 20382);
}

}  // namespace
}  // namespace pm32::test
