#include "platform/gdi/text_layout.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>

#include "platform/gdi/system_font.h"
#include "platform/gdi/text_fit.h"

namespace pm32::test {
namespace {

using platform::gdi::FitFontToBox;
using platform::gdi::FontOfHeight;
using platform::gdi::MeasureRules;
using platform::gdi::MeasureText;
using platform::gdi::SplitLines;
using platform::gdi::SystemFont;
using platform::gdi::WrapLines;

using Lines = std::vector<QString>;

TEST(SplitLines, LineFeedsCarriageReturnsAndTrailingBlankLines) {
    EXPECT_EQ(SplitLines("one\r\ntwo\n\nfour\n\n\n"), (Lines{"one", "two", "", "four"}));
    EXPECT_EQ(SplitLines("\r\n\r\n"), Lines{});
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines("a\rb"), (Lines{"a\rb"})) << "a lone carriage return is text";
}

TEST(SystemFont, IsDejaVuSansDrawnWithoutAntialiasing) {
    QFont font = SystemFont();
    EXPECT_EQ(QFontInfo(font).family().toStdString(), "DejaVu Sans");
    EXPECT_EQ(font.styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
}

TEST(WrapLines, GreedyBySpacesWithLongWordsAlone) {
    QFontMetrics metrics(SystemFont());
    int width = metrics.horizontalAdvance("aaa bbb");
    EXPECT_EQ(WrapLines({"aaa bbb ccc", "dddddddddddd e"}, metrics, width),
              (Lines{"aaa bbb", "ccc", "dddddddddddd", "e"}));
}

TEST(MeasureText, WidestLineAndLineHeights) {
    QFont font = SystemFont();
    QFontMetrics metrics(font);
    auto measure = MeasureText("ab\nabcdef\n\n", font, {});
    EXPECT_EQ(measure.width, metrics.horizontalAdvance("abcdef"));
    EXPECT_EQ(measure.lineCount, 2);
    EXPECT_EQ(measure.height, 2 * metrics.height());
    EXPECT_EQ(measure.longestLineLength, 6);
    EXPECT_EQ(MeasureText("", font, {}).height, 0);
}

TEST(MeasureText, LeftJustifiedTextDropsOneSpaceAfterALineFeed) {
    QFont font = SystemFont();
    QFontMetrics metrics(font);
    MeasureRules left{.dropSpaceAfterLineFeed = true};
    EXPECT_EQ(MeasureText("x\n  wide", font, left).width, metrics.horizontalAdvance(" wide"));
    EXPECT_EQ(MeasureText("x\n  wide", font, {}).width, metrics.horizontalAdvance("  wide"));
}

TEST(MeasureText, WrappingMeasuresTheWidestWordAndTheWrappedLines) {
    QFont font = SystemFont();
    QFontMetrics metrics(font);
    MeasureRules wrap{.wrap = true, .wrapWidth = metrics.horizontalAdvance("one two")};
    auto measure = MeasureText("one two three\nfour", font, wrap);
    EXPECT_EQ(measure.width, metrics.horizontalAdvance("three"));
    EXPECT_EQ(measure.lineCount, 3);
    EXPECT_EQ(measure.height, 3 * metrics.height());
}

TEST(FitFontToBox, LargestHeightThatFits) {
    QFont font = SystemFont();
    for (QSize box : {QSize(200, 60), QSize(60, 200), QSize(400, 30)}) {
        QString text = "Fit me\nplease";
        QFont fitted = FitFontToBox(text, font, box, {});
        auto inside = MeasureText(text, fitted, {});
        EXPECT_LE(inside.width, box.width());
        EXPECT_LE(inside.height, box.height());
        auto larger = MeasureText(text, FontOfHeight(font, fitted.pixelSize() + 1), {});
        EXPECT_TRUE(larger.width >= box.width() || larger.height >= box.height())
            << box.width() << "x" << box.height() << " at " << fitted.pixelSize();
    }
}

TEST(FitFontToBox, TinyBoxesGetTheSmallestFont) {
    QFont fitted = FitFontToBox("wide text", SystemFont(), QSize(2, 2), {});
    EXPECT_EQ(fitted.pixelSize(), 1);
}

}  // namespace
}  // namespace pm32::test
