#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <sstream>

#include "control/factory.h"
#include "control/pages/property_page.h"
#include "control/pages/property_sheet.h"
#include "tests/support/temp_dir.h"
#include "tests/window/offscreen_application.h"
#include "tools/picbuf/command_line.h"
#include "tools/picbuf/page_session.h"

namespace pm32::tools {
namespace {

using automation::Variant;

// Two controls at design time, as picbuf --design makes them.
struct Session {
    Session() {
        test::OffscreenApplication();
        controls.add("Picbuf1", control::CreatePicbuf(nullptr));
        controls.add("Picbuf2", control::CreatePicbuf(nullptr));
    }
    ControlSet controls;
};

void enterText(control::pages::PropertySheet& sheet, int page, const char* property,
               const QString& text) {
    QWidget* widget = sheet.page(page)->widgetFor(property);
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(widget->metaObject()->invokeMethod(widget, "setText", Q_ARG(QString, text)));
}

TEST(PicbufPages, AfterOkEveryChangedPropertyPrintsAsNameEqualsValue) {
    Session s;
    std::ostringstream out;
    const bool accepted = ShowPropertyPages(s.controls, out, [](QDialog& dialog) {
        auto& sheet = static_cast<control::pages::PropertySheet&>(dialog);
        EXPECT_EQ(sheet.windowTitle().toStdString(), "Picbuf1 Properties");
        enterText(sheet, 1, "FileName", "chosen.bmp");
        enterText(sheet, 6, "DrawWidth", "5");
        dialog.accept();
        return dialog.result();
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(out.str(), "FileName=chosen.bmp\nDrawWidth=5\n");
    EXPECT_EQ(automation::GetProperty(s.controls.first(), "DrawWidth").toI2(), 5);

    std::ostringstream cancelled;
    EXPECT_FALSE(ShowPropertyPages(s.controls, cancelled, [](QDialog& dialog) {
        enterText(static_cast<control::pages::PropertySheet&>(dialog), 6, "DrawWidth", "9");
        dialog.reject();
        return dialog.result();
    }));
    EXPECT_EQ(cancelled.str(), "");
    EXPECT_EQ(automation::GetProperty(s.controls.first(), "DrawWidth").toI2(), 5);
}

TEST(PicbufPages, SnapshotsNameEveryPageAfterItsClassAtTheDialogsSizeOrMore) {
    Session s;
    test::TempDir dir;
    std::string problem;
    ASSERT_TRUE(WritePageSnapshots(s.controls, dir.path("pages"), problem)) << problem;
    for (const control::PageClass& page : control::ControlPages()) {
        QImage image(
            QString::fromStdString(dir.path("pages/" + std::string(page.className) + ".png")));
        EXPECT_FALSE(image.isNull()) << page.className;
        EXPECT_GE(image.width(), 375) << page.className;
        EXPECT_GE(image.height(), 180) << page.className;
    }
    EXPECT_FALSE(WritePageSnapshots(s.controls, "/proc/no/such/folder", problem));
    EXPECT_NE(problem.find("/proc/no/such/folder"), std::string::npos) << problem;
}

TEST(PicbufPages, PagesNeedDesignModeAndTheSnapshotAFolder) {
    std::vector<std::string> args = {"--pages", "DrawWidth=3"};
    EXPECT_THROW(ParseCommandLine(args), UsageError);
    args = {"--pages", "--design"};
    EXPECT_TRUE(ParseCommandLine(args).pages);
    args = {"--pages-snapshot"};
    EXPECT_THROW(ParseCommandLine(args), UsageError);
    args = {"--pages-snapshot=out"};
    EXPECT_EQ(ParseCommandLine(args).pagesSnapshot, "out");
}

}  // namespace
}  // namespace pm32::tools
