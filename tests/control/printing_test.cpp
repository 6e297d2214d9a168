#include <gtest/gtest.h>

#include <QImage>

#include "platform/gdi/device_dc.h"
#include "tests/control/test_site.h"
#include "tests/support/test_dibs.h"

namespace pm32::test {
namespace {

using platform::gdi::HDC;

constexpr QRgb kPaper = 0xFFFFFFFF;
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

// A control holding a 2 x 1 image, red then blue, printing onto a white page.
struct PrintingControl : PlacedControl {
    QImage page{16, 8, QImage::Format_RGB32};
    HDC dc = 0;
    PrintingControl() {
        OwnedDib dib = TrueColorDib(2, 1, [](int x, int) { return x == 0 ? kRed : kBlue; });
        call("ImportDib",
             {Variant::I4(static_cast<std::int32_t>(dib.take())), Variant::Bool(true)});
        page.fill(kPaper);
        dc = platform::gdi::CreateDeviceDC(page);
    }
    ~PrintingControl() { platform::gdi::DeleteDeviceDC(dc); }
    void print(int left, int top, int width, int height, HDC target) {
        put("PrintLeft", Variant::I2(static_cast<std::int16_t>(left)));
        put("PrintTop", Variant::I2(static_cast<std::int16_t>(top)));
        put("PrintWidth", Variant::I2(static_cast<std::int16_t>(width)));
        put("PrintHeight", Variant::I2(static_cast<std::int16_t>(height)));
        put("PrinterhDC", Variant::I4(static_cast<std::int32_t>(target)));
    }
    // The page's row as R (red), B (blue) and . (paper).
    std::string row(int y) {
        platform::gdi::DeleteDeviceDC(dc);
        dc = 0;
        std::string text;
        for (int x = 0; x < page.width(); ++x) {
            QRgb pixel = page.pixel(x, y) & 0xFFFFFF;
            text += pixel == 0xFF0000   ? 'R'
                    : pixel == 0x0000FF ? 'B'
                    : pixel == 0xFFFFFF ? '.'
                                        : '?';
        }
        return text;
    }
};

// Columns are repeated or dropped, never blended; a negative width mirrors;
// an empty rectangle, no image, handle 0 or a handle that is no device
// context draw nothing and raise nothing.
TEST(Printing, TheImageIsStretchedColourOnColourOntoThePrintRectangle) {
    struct Case {
        int left, top, width, height;
        std::string row1;
    };
    const Case cases[] = {
        {2, 1, 4, 2, "..RRBB.........."},  {0, 1, 2, 1, "RB.............."},
        {0, 1, 1, 1, "R..............."},  {8, 1, 6, 3, "........RRRBBB.."},
        {6, 1, -4, 1, "..BBRR.........."}, {0, 0, 0, 0, "................"},
    };
    for (const Case& c : cases) {
        PrintingControl p;
        EXPECT_EQ(errorOf([&] { p.print(c.left, c.top, c.width, c.height, p.dc); }), 0u);
        EXPECT_EQ(p.row(1), c.row1) << c.left << "," << c.width;
    }
    PrintingControl p;
    QImage other(4, 4, QImage::Format_RGB32);
    HDC stale = platform::gdi::CreateDeviceDC(other);
    ASSERT_NE(stale, 0u);
    EXPECT_TRUE(platform::gdi::DeleteDeviceDC(stale));
    EXPECT_FALSE(platform::gdi::DeleteDeviceDC(stale));
    for (HDC target : {HDC{0}, stale, HDC{0xDEADBEEF}})
        EXPECT_EQ(errorOf([&] { p.print(0, 0, 16, 8, target); }), 0u);
    p.call("Clear");
    EXPECT_EQ(errorOf([&] { p.print(0, 0, 16, 8, p.dc); }), 0u);
    EXPECT_EQ(p.row(1), "................");
    EXPECT_EQ(errorOf([&] { p.get("PrinterhDC"); }), 20377u);
}

}  // namespace
}  // namespace pm32::test
