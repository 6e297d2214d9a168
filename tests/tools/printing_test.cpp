#include <gtest/gtest.h>

#include <QImage>

#include "tests/support/peer_tools.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/picbuf_session.h"

namespace pm32::tools {
namespace {

// A 2 x 1 image (red, blue) printed at four times its size into a PDF at
// 300 dots per inch, rendered back by poppler at the same resolution: the
// halves land where the rectangle says, counted from the paper's corner.
// (Poppler smooths the edges of images, so the exact colour-on-colour
// stretch is checked on an image device in the control's tests.)
TEST(PicbufPrinting, APdfPrinterTakesThePrintRectangleInDevicePixels) {
    if (test::run("command -v pdftoppm >/dev/null") != 0)
        PM32_MISSING_PEER() << "needs poppler-utils";
    test::TempDir dir;
    const std::string pdf = dir.path("out.pdf");
    Session s = run({"--printer", pdf, "Init(24,2,1,0x0000FF)",
                     "PutScanLine(0,[0x0000FF,0xFF0000])", "PrintLeft=100", "PrintTop=50",
                     "PrintWidth=8", "PrintHeight=4", "PrinterhDC=$printer"});
    ASSERT_EQ(s.status, 0) << s.err;
    ASSERT_EQ(test::run("pdftoppm -r 300 -png -singlefile " + test::quoted(pdf) + " " +
                        test::quoted(dir.path("page"))),
              0);
    QImage page(QString::fromStdString(dir.path("page.png")));
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(page.width(), 2480) << "A4 at 300 dpi";
    auto at = [&](int x, int y) { return page.pixel(x, y) & 0xFFFFFF; };
    for (int y = 51; y < 53; ++y) {
        for (int x : {101, 102}) EXPECT_EQ(at(x, y), 0xFF0000u) << x << "," << y;
        for (int x : {106, 107}) EXPECT_EQ(at(x, y), 0x0000FFu) << x << "," << y;
    }
    for (auto [x, y] :
         {std::pair{98, 51}, std::pair{110, 51}, std::pair{104, 47}, std::pair{104, 56}})
        EXPECT_EQ(at(x, y), 0xFFFFFFu) << x << "," << y;

    Session wrong = run({"--printer", "cups:no-such-queue-here", "Version"});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("no printer queue named 'no-such-queue-here'"), std::string::npos)
        << wrong.err;
    EXPECT_EQ(run({"--printer", "out.png", "Version"}).status, 2);
}

}  // namespace
}  // namespace pm32::tools
