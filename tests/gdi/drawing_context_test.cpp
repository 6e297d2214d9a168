#include "platform/gdi/drawing_context.h"

#include <gtest/gtest.h>

#include <QImage>
#include <functional>

namespace pm32::test {
namespace {

using platform::gdi::BrushStyle;
using platform::gdi::ColorTable;
using platform::gdi::DrawingContext;
using platform::gdi::FillRule;
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

TEST(Shapes, FilledRectangleCoversExactlyItsBoxWithOutlineInside) {
    QImage image = canvas();
    draw(image, [](DrawingContext& dc) {
        dc.SelectPen({PenStyle::Solid, 1, kRedRef});
        dc.SelectBrush({BrushStyle::Solid, kBlueRef});
        dc.Rectangle(QRect(5, 7, 10, 6));
    });
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            bool inside = x >= 5 && x < 15 && y >= 7 && y < 13;
            bool edge = inside && (x == 5 || x == 14 || y == 7 || y == 12);
            QRgb expected = edge ? kRed : inside ? kBlue : kWhite;
            ASSERT_EQ(image.pixel(x, y), expected) << x << "," << y;
        }
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

// A five-pointed star drawn in one stroke: its inner pentagon is crossed twice.
const QPoint kStar[] = {{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}};

TEST(Shapes, PolygonFillRules) {
    QImage alternate = canvas();
    QImage winding = canvas();
    for (auto [image, rule] :
         {std::pair{&alternate, FillRule::Alternate}, std::pair{&winding, FillRule::Winding}})
        draw(*image, [rule](DrawingContext& dc) {
            dc.SelectPen({PenStyle::Solid, 1, kRedRef});
            dc.SelectBrush({BrushStyle::Solid, kBlueRef});
            dc.Polygon(kStar, rule);
        });
    QPoint centre(20, 20);
    EXPECT_EQ(alternate.pixel(centre), kWhite) << "the inner pentagon stays empty";
    EXPECT_EQ(winding.pixel(centre), kBlue) << "the winding rule fills it";
    QPoint tip(20, 8);  // inside the top point of the star
    EXPECT_EQ(alternate.pixel(tip), kBlue);
    EXPECT_EQ(winding.pixel(tip), kBlue);
}

TEST(Pens, DashedStyleOnlyAtWidthOne) {
    QImage thin = canvas(60);
    QImage wide = canvas(60);
    for (auto [image, width] : {std::pair{&thin, 1}, std::pair{&wide, 2}})
        draw(*image, [width](DrawingContext& dc) {
            dc.SetBackgroundOpaque(false);
            dc.SelectPen({PenStyle::Dash, width, kRedRef});
            const QPoint line[] = {{2, 20}, {57, 20}};
            dc.Polyline(line);
        });
    int thinGaps = 0;
    for (int x = 3; x < 56; ++x) {
        thinGaps += thin.pixel(x, 20) == kWhite;
        EXPECT_EQ(wide.pixel(x, 20), kRed) << x;
    }
    EXPECT_GT(thinGaps, 0) << "a one-pixel dashed pen leaves gaps";
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

TEST(Shapes, ColoursAreMatchedToTheTableOfAnIndexedSurface) {
    QImage image = canvas();
    {
        DrawingContext dc(image, ColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(0, 0, 128)}));
        dc.SelectPen({PenStyle::Null, 1, 0});
        dc.SelectBrush({BrushStyle::Solid, 0xFF2010});  // a bright blue absent from the table
        dc.Rectangle(QRect(0, 0, 10, 10));
    }
    EXPECT_EQ(image.pixel(3, 3), qRgb(0, 0, 128));
}

TEST(Shapes, PieAndChordFillTheirSideOfTheEllipse) {
    QImage pie = canvas();
    QImage chord = canvas();
    for (QImage* image : {&pie, &chord})
        draw(*image, [image, &pie](DrawingContext& dc) {
            dc.SelectPen({PenStyle::Solid, 1, kRedRef});
            dc.SelectBrush({BrushStyle::Solid, kBlueRef});
            // From the radial to the right counter-clockwise to the radial to the left: the top
            // half.
            if (image == &pie)
                dc.Pie(QRect(0, 0, 41, 41), QPoint(40, 20), QPoint(0, 20));
            else
                dc.Chord(QRect(0, 0, 41, 41), QPoint(40, 20), QPoint(0, 20));
        });
    for (QImage* image : {&pie, &chord}) {
        EXPECT_EQ(image->pixel(20, 10), kBlue);
        EXPECT_EQ(image->pixel(20, 30), kWhite);
        EXPECT_EQ(image->pixel(2, 2), kWhite) << "outside the ellipse";
    }
}

TEST(Shapes, ArcDrawsOutlineOnly) {
    QImage image = canvas(48);
    draw(image, [](DrawingContext& dc) {
        dc.SelectPen({PenStyle::Solid, 1, kRedRef});
        dc.SelectBrush({BrushStyle::Solid, kBlueRef});
        dc.Arc(QRect(0, 0, 41, 41), QPoint(40, 20), QPoint(0, 20));
    });
    EXPECT_EQ(countOf(image, kBlue), 0);
    EXPECT_EQ(image.pixel(20, 0), kRed) << "the top of the arc";
    EXPECT_EQ(image.pixel(20, 40), kWhite) << "the bottom half is not on the arc";
}

}  // namespace
}  // namespace pm32::test
