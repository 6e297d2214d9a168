#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/support/peer_tools.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/private_cups.h"

namespace pm32::tools {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCupsPdfPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

// cups-pdf writes the jobs of users it does not know into its anonymous
// folder, which only the system's configuration names.
std::string cupsPdfAnonymousFolder() {
    std::ifstream conf("/etc/cups/cups-pdf.conf");
    for (std::string line; std::getline(conf, line);) {
        if (line.rfind("AnonDirName ", 0) == 0) return line.substr(12);
    }
    return "/var/spool/cups-pdf/ANONYMOUS";
}

// The PDF cups-pdf made for a job of this user (it records the user as the
// author), once the job has gone through the filters.
std::string waitForPdfOf(const std::string& user) {
    const std::string folder = cupsPdfAnonymousFolder();
    for (int attempt = 0; attempt < 600; ++attempt) {
        std::error_code missing;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder, missing)) {
            const std::string path = entry.path().string();
            if (entry.path().extension() == ".pdf" &&
                test::run("pdfinfo " + test::quoted(path) + " 2>/dev/null | grep -q '(" + user +
                          ")'") == 0)
                return path;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

// The smallest rectangle holding every pixel that is not paper white.
QRect inkedArea(const QImage& page) {
    QRect area;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if ((page.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) area |= QRect(x, y, 1, 1);
    return area;
}

// picbuf prints through Qt's CUPS support to a cups-pdf queue of a scheduler the
// test starts itself; the PDF that comes out holds the image where the print
// rectangle put it, at whatever resolution the queue printed in.
TEST(PicbufCupsPrinting, APrivateSchedulerPrintsThePictureToCupsPdf) {
    if (test::run("command -v cupsd lpadmin pdfinfo pdftoppm >/dev/null") != 0 ||
        !fs::exists(kCupsPdfPpd))
        PM32_MISSING_PEER() << "needs cups-daemon, cups-client, printer-driver-cups-pdf and "
                               "poppler-utils";
    if (::geteuid() != 0) GTEST_SKIP() << "a private scheduler runs its back ends as lp: root only";
    PrivateCups cups;
    ASSERT_TRUE(cups.ready()) << cups.log();
    test::TempDir dir;
    ASSERT_EQ(test::run("lpadmin -h " + cups.server() + " -p pm32pdf -E -v cups-pdf:/ -P " +
                        std::string(kCupsPdfPpd) + " 2>" + test::quoted(dir.path("lpadmin"))),
              0)
        << test::readText(dir.path("lpadmin")) << cups.log();

    const std::string user = "pm32-print-" + std::to_string(::getpid());
    ASSERT_EQ(test::run("CUPS_SERVER=" + cups.server() + " CUPS_USER=" + user + " " +
                        test::quoted(PICBUF_BINARY) +
                        " --printer cups:pm32pdf 'Init(24,2,1,0x0000FF)'"
                        " 'PutScanLine(0,[0x0000FF,0xFF0000])' PrintLeft=400 PrintTop=200"
                        " PrintWidth=1600 PrintHeight=800 'PrinterhDC=$printer' >/dev/null 2>" +
                        test::quoted(dir.path("err"))),
              0)
        << test::readText(dir.path("err"));
    const std::string pdf = waitForPdfOf(user);
    ASSERT_FALSE(pdf.empty()) << cups.log();
    const int rendered = test::run("pdftoppm -r 300 -png -singlefile " + test::quoted(pdf) + " " +
                                   test::quoted(dir.path("page")));
    fs::remove(pdf);
    ASSERT_EQ(rendered, 0);

    QImage page(QString::fromStdString(dir.path("page.png")));
    ASSERT_FALSE(page.isNull());
    const QRect area = inkedArea(page);
    ASSERT_FALSE(area.isEmpty());
    // Ghostscript may soften the picture's edges by a pixel.
    const double scale = area.width() / 1600.0;
    EXPECT_NEAR(area.height(), 800 * scale, 2);
    EXPECT_NEAR(area.left(), 400 * scale, 2);
    EXPECT_NEAR(area.top(), 200 * scale, 2);
    const int middle = area.center().y();
    EXPECT_EQ(page.pixel(area.left() + area.width() / 4, middle) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(page.pixel(area.left() + 3 * area.width() / 4, middle) & 0xFFFFFF, 0x0000FFu);
}

}  // namespace
}  // namespace pm32::tools
