#include "platform/gdi/drawing_context.h"

#include <gtest/gtest.h>

#include <QImage>
#include <functional>

namespace pm32::test {
namespace {

using platform::gdi::BrushStyle;
using platform::gdi::ColorTable;
using platform::gdi::DrawingContext;
using platform::gdi::PenStyle;

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr platform::COLORREF kRedRef = 0x0000FF;
constexpr platform::COLORREF kBlueRef = 0xFF0000;
constexpr platform::COLORREF kGreenRef = 0x00FF00;

QImage canvas(int size = 40) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(kWhite);
    return image;
}

void draw(QImage& image, const std::function<void(DrawingContext&)>& steps) {
    DrawingContext dc(image, ColorTable());
    ASSERT_TRUE(dc.Active());
    steps(dc);
}

int countOf(const QImage& image, QRgb color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == color;
    return count;
}

TEST(Shapes, NullPenLeavesTheOutlineOut) {
    QImage image = canvas();
    draw(image, [](DrawingContext& dc) {
        dc.SelectPen({PenStyle::Null, 1, kRedRef});
        dc.SelectBrush({BrushStyle::Solid, kBlueRef});
        dc.Rectangle(QRect(5, 5, 10, 10));
    });
    EXPECT_EQ(countOf(image, kRed), 0);
    EXPECT_GT(countOf(image, kBlue), 0);
    EXPECT_EQ(image.pixel(4, 8), kWhite);
}

TEST(Pens, OpaqueDashGapsShowTheBackgroundColour) {
    QImage image = canvas(60);
    draw(image, [](DrawingContext& dc) {
        dc.SetBackgroundOpaque(true);
        dc.SetBackgroundColor(kGreenRef);
        dc.SelectPen({PenStyle::Dot, 1, kRedRef});
        const QPoint line[] = {{2, 20}, {57, 20}};
        dc.Polyline(line);
    });
    for (int x = 3; x < 56; ++x) EXPECT_NE(image.pixel(x, 20), kWhite) << x;
    EXPECT_GT(countOf(image, kGreen), 0);
    EXPECT_GT(countOf(image, kRed), 0);
}

TEST(Brushes, HatchesAreEightPixelPatternsOverTheBackgroundOrNothing) {
    struct Case {
        BrushStyle style;
        std::function<bool(int, int)> covered;  // by the hatch line, in device pixels
    };
    const Case cases[] = {
        {BrushStyle::Horizontal, [](int, int y) { return y % 8 == 0; }},
        {BrushStyle::Vertical, [](int x, int) { return x % 8 == 0; }},
        {BrushStyle::UpwardDiagonal, [](int x, int y) { return (x + y) % 8 == 7; }},
        {BrushStyle::DownwardDiagonal, [](int x, int y) { return x % 8 == y % 8; }},
        {BrushStyle::Cross, [](int x, int y) { return x % 8 == 0 || y % 8 == 0; }},
        {BrushStyle::DiagonalCross,
         [](int x, int y) { return (x + y) % 8 == 7 || x % 8 == y % 8; }},
    };
    for (const Case& c : cases)
        for (bool opaque : {true, false}) {
            QImage image = canvas();
            draw(image, [&](DrawingContext& dc) {
                dc.SelectPen({PenStyle::Null, 1, 0});
                dc.SelectBrush({c.style, kBlueRef});
                dc.SetBackgroundOpaque(opaque);
                dc.SetBackgroundColor(kGreenRef);
                dc.Rectangle(QRect(0, 0, 33, 33));
            });
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x) {
                    QRgb gap = opaque ? kGreen : kWhite;
                    ASSERT_EQ(image.pixel(x, y), c.covered(x, y) ? kBlue : gap)
                        << static_cast<int>(c.style) << " opaque " << opaque << " at " << x << ","
                        << y;
                }
        }
}

}  // namespace
}  // namespace pm32::test
