#include "viewer/print_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "tests/support/peer_tools.h"
#include "tests/viewer/viewer_fixture.h"
#include "viewer/page_preview.h"
#include "viewer/pdf_page_setup.h"
#include "viewer/printer_list.h"

namespace pm32::test {
namespace {

using viewer::kPdfTarget;
using viewer::PrintDialog;
using PrintDialogTest = ViewerTest;

constexpr const char* kPrinterError =
    "A printer error occurred. There may not be a valid printer installed.  Unable to print.";

template <class Widget>
Widget* child(QDialog& dialog, const char* name) {
    auto* found = dialog.findChild<Widget*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void send(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Fit to Page fills the printable width of a wide image and centring puts
// it in the middle; without them the Scale box sets the size and the mouse
// moves the rectangle.
TEST_F(PrintDialogTest, FitCentreScaleAndDrag) {
    open(writeImage("wide.bmp", 400, 200));
    dialogs.then([&](QDialog& shown) {
        auto& dialog = As<PrintDialog>(shown);
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Print");
        dialog.setTarget(kPdfTarget);
        EXPECT_EQ(child<QLabel>(dialog, "lblPrinter")->text().toStdString(), kPdfTarget);
        EXPECT_EQ(settings->text("Printer").toStdString(), kPdfTarget);
        EXPECT_EQ(dialog.resolution(), 300);
        EXPECT_EQ(dialog.paperSize(), QSize(2479, 3508))
            << "A4, 595 x 842 points, at 300 dots per inch";
        const QRect printable = dialog.printableArea();
        ASSERT_FALSE(printable.isEmpty());

        QRect rect = dialog.imageRect();
        EXPECT_EQ(rect.width(), printable.width());
        EXPECT_EQ(rect.height(), (printable.width() + 1) / 2);
        EXPECT_EQ(rect.left(), printable.left());
        EXPECT_EQ(rect.top() - printable.top(), (printable.height() - rect.height()) / 2);
        auto* scale = child<QSpinBox>(dialog, "txtScale");
        EXPECT_FALSE(scale->isEnabled());
        EXPECT_EQ(scale->value(), (printable.width() * 96 * 100 + 400 * 300 / 2) / (400 * 300));

        child<QCheckBox>(dialog, "chkFit")->setChecked(false);
        EXPECT_TRUE(scale->isEnabled());
        scale->setValue(50);
        rect = dialog.imageRect();
        EXPECT_EQ(rect.size(), QSize(625, 313)) << "400 x 200 at 96 pixels an inch, halved";
        EXPECT_EQ(rect.center().x(), printable.center().x());
        child<QCheckBox>(dialog, "chkCenterHoriz")->setChecked(false);
        child<QCheckBox>(dialog, "chkCenterVert")->setChecked(false);
        EXPECT_EQ(dialog.imageRect().topLeft(), printable.topLeft());

        viewer::PagePreview* page = dialog.pagePreview();
        const QPoint grab = page->toWidget(dialog.imageRect()).center();
        send(page, QEvent::MouseButtonPress, grab, Qt::LeftButton);
        send(page, QEvent::MouseMove, grab + QPoint(20, 30), Qt::LeftButton);
        send(page, QEvent::MouseButtonRelease, grab + QPoint(20, 30), Qt::NoButton);
        EXPECT_EQ(dialog.imageRect().topLeft(), printable.topLeft() + page->toDevice({20, 30}));
        EXPECT_EQ(page->imageRect(), dialog.imageRect());
        // Dragging far off the page stops at its edge.
        const QPoint from = page->toWidget(dialog.imageRect()).center();
        send(page, QEvent::MouseButtonPress, from, Qt::LeftButton);
        send(page, QEvent::MouseMove, from + QPoint(5000, 5000), Qt::LeftButton);
        send(page, QEvent::MouseButtonRelease, from, Qt::NoButton);
        EXPECT_EQ(dialog.imageRect().bottomRight(), printable.bottomRight());
        // A centred axis does not follow the mouse.
        child<QCheckBox>(dialog, "chkCenterVert")->setChecked(true);
        EXPECT_EQ(dialog.imageRect().center().y(), printable.center().y());
        dialog.reject();
    });
    trigger("MenuPrint");
}

// Printing to a PDF file: the page, rendered back by poppler, shows every
// image pixel where the rectangle says, on white paper; the shown image and
// its control are untouched.
TEST_F(PrintDialogTest, PrintsToAPdfFile) {
    if (run("command -v pdftoppm >/dev/null") != 0) PM32_MISSING_PEER() << "needs poppler-utils";
    open(writeImage("small.bmp", 4, 2));
    const QString pdf = file("page.pdf");
    QRect printed;
    dialogs.then([&](QDialog& shown) {
        auto& dialog = As<PrintDialog>(shown);
        dialog.setTarget(kPdfTarget);
        child<QCheckBox>(dialog, "chkFit")->setChecked(false);
        child<QSpinBox>(dialog, "txtScale")->setValue(1000);
        printed = dialog.imageRect();
        child<QPushButton>(dialog, "cmdPrint")->click();
    });
    dialogs.then([&](QDialog& shown) {
        auto& ask = As<QFileDialog>(shown);
        // The name box has the focus, so it is typed into rather than selected.
        auto* name = ask.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(pdf);
        static_cast<QDialog&>(ask).accept();
    });
    trigger("MenuPrint");
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_FALSE(window->isImageModified());
    EXPECT_EQ(window->shown().getInt("PrintWidth"), 0);
    ASSERT_EQ(run("pdftoppm -r 300 -png -singlefile " + quoted(pdf.toStdString()) + " " +
                  quoted(dir.path("page"))),
              0);
    const QImage page(file("page.png"));
    ASSERT_TRUE(QRect(QPoint(0, 0), page.size()).contains(printed.adjusted(-5, -5, 5, 5)));
    EXPECT_EQ(printed.size(), QSize(125, 63)) << "4 x 2 at 96 pixels an inch, ten times";
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            const QPoint centre(printed.left() + (2 * x + 1) * printed.width() / 8,
                                printed.top() + (2 * y + 1) * printed.height() / 4);
            const QColor got = page.pixelColor(centre);
            const Rgb want = Pattern(x, y);
            EXPECT_NEAR(got.red(), want.red, 2);
            EXPECT_NEAR(got.green(), want.green, 2);
            EXPECT_NEAR(got.blue(), want.blue, 2);
        }
    for (const QPoint outside :
         {printed.topLeft() - QPoint(5, 5), printed.bottomRight() + QPoint(5, 5)})
        EXPECT_EQ(page.pixelColor(outside), QColor(Qt::white));
}

// Each failure says why and leaves the dialog and the image as they were.
TEST_F(PrintDialogTest, FailuresSayWhy) {
    open(writeImage("shown.bmp", 6, 6));
    settings->setText("Printer", "no-such-printer-here");
    const bool noPrinters = QPrinterInfo::availablePrinterNames().isEmpty();
    dialogs.then([&](QDialog& shown) {
        auto& dialog = As<PrintDialog>(shown);
        if (noPrinters) {
            EXPECT_TRUE(dialog.target().isEmpty()) << "a vanished printer is not chosen";
            child<QPushButton>(dialog, "cmdPrint")->click();
            ASSERT_EQ(boxes.texts.size(), 1u);
            EXPECT_EQ(boxes.texts[0], "Error:\nNo printer device selected.");
            EXPECT_EQ(child<QLabel>(dialog, "lblPrinter")->text().toStdString(), "(none)");
        }
        boxes.texts.clear();
        dialog.setTarget("no-such-printer-here");
        child<QPushButton>(dialog, "cmdPrint")->click();
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0],
                  "There does not appear to be a valid printer installed.  Unable to print.");

        boxes.texts.clear();
        dialog.setTarget(kPdfTarget);
        EXPECT_FALSE(dialog.printToPdf("/dev/full")) << "a full disk";
        EXPECT_FALSE(dialog.printToPdf(file("no/such/folder/page.pdf")));
        EXPECT_EQ(boxes.texts, (std::vector<std::string>{kPrinterError, kPrinterError}));
        EXPECT_TRUE(dialog.isVisible());
        dialog.reject();
    });
    trigger("MenuPrint");
    EXPECT_EQ(shownColor(2, 3), OleColor(Pattern(2, 3)));
    EXPECT_FALSE(window->isImageModified());
}

// "Select..." lists the printers and PDF output, the current one
// highlighted; "Setup..." of PDF output chooses paper and orientation, and
// the page follows.
TEST_F(PrintDialogTest, SelectAndSetup) {
    open(writeImage("shown.bmp", 6, 6));
    const bool noPrinters = QPrinterInfo::availablePrinterNames().isEmpty();
    dialogs.then([&](QDialog& shown) {
        auto& dialog = As<PrintDialog>(shown);
        dialog.setTarget(kPdfTarget);
        child<QPushButton>(dialog, "cmdSelect")->click();
        EXPECT_EQ(dialog.target().toStdString(), kPdfTarget);
        child<QPushButton>(dialog, "cmdSetup")->click();
        EXPECT_EQ(dialog.paperSize(), QSize(3508, 2479));
        dialog.reject();
    });
    dialogs.then([&](QDialog& shown) {
        auto& list = As<viewer::PrinterList>(shown);
        EXPECT_EQ(list.windowTitle().toStdString(), "Select a printer...");
        auto* printers = child<QListWidget>(list, "PList");
        ASSERT_GT(printers->count(), 0);
        EXPECT_EQ(printers->item(printers->count() - 1)->text().toStdString(), kPdfTarget);
        EXPECT_EQ(list.chosen().toStdString(), kPdfTarget) << "the current one is highlighted";
        child<QPushButton>(list, "BT_OK")->click();
    });
    dialogs.then([&](QDialog& shown) {
        auto& setup = As<viewer::PdfPageSetup>(shown);
        child<QRadioButton>(setup, "landscape")->click();
        setup.accept();
    });
    trigger("MenuPrint");
    if (noPrinters) {
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], "There are no printers installed!");
    }
}

}  // namespace
}  // namespace pm32::test
