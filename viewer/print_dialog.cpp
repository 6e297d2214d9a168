#include "viewer/print_dialog.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/gdi/device_dc.h"
#include "platform/message_box.h"
#include "viewer/help_page.h"
#include "viewer/image_steps.h"
#include "viewer/page_preview.h"
#include "viewer/pdf_page_setup.h"
#include "viewer/printer_list.h"
#include "viewer/settings.h"

namespace pm32::viewer {
namespace {

constexpr const char* kProgram = "Vistel/32";
constexpr int kPdfDotsPerInch = 300;

void tell(const char* text) {
    platform::MessageBox(text, kProgram, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

// Ends the painting whatever happens on the way.
class DeviceContext {
  public:
    explicit DeviceContext(QPaintDevice& device) : dc_(platform::gdi::CreateDeviceDC(device)) {}
    ~DeviceContext() { end(); }
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    platform::gdi::HDC handle() const { return dc_; }
    void end() {
        if (dc_ != 0) platform::gdi::DeleteDeviceDC(dc_);
        dc_ = 0;
    }

  private:
    platform::gdi::HDC dc_;
};

}  // namespace

PrintDialog::PrintDialog(Picbuf& shown, ViewerSettings& settings, QWidget* parent)
    : QDialog(parent), shown_(shown), settings_(settings), printing_(std::make_unique<Picbuf>()) {
    setObjectName("Print_Form");
    setWindowTitle("Print");
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;

    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(new QLabel("Printer:", this));
    printerName_ = new QLabel(this);
    printerName_->setObjectName("lblPrinter");
    printerRow->addWidget(printerName_, 1);
    left->addLayout(printerRow);

    auto* scaleRow = new QHBoxLayout;
    scale_ = new QSpinBox(this);
    scale_->setObjectName("txtScale");
    scale_->setRange(kLowestScale, kHighestScale);
    scale_->setSuffix(" %");
    scale_->setKeyboardTracking(false);
    auto* scaleLabel = new QLabel("Scale", this);
    scaleLabel->setBuddy(scale_);
    scaleRow->addWidget(scaleLabel);
    scaleRow->addWidget(scale_);
    left->addLayout(scaleRow);
    fit_ = new QCheckBox("Fit to Page", this);
    fit_->setObjectName("chkFit");
    centerVertically_ = new QCheckBox("Center Vert", this);
    centerVertically_->setObjectName("chkCenterVert");
    centerHorizontally_ = new QCheckBox("Center Horiz", this);
    centerHorizontally_->setObjectName("chkCenterHoriz");
    for (QCheckBox* box : {fit_, centerVertically_, centerHorizontally_}) {
        box->setChecked(true);
        left->addWidget(box);
        connect(box, &QCheckBox::toggled, this, &PrintDialog::readChoices);
    }
    scale_->setValue(100);
    connect(scale_, &QSpinBox::valueChanged, this, &PrintDialog::readChoices);
    left->addStretch(1);

    auto* middle = new QVBoxLayout;
    preview_ = new PagePreview(this);
    connect(preview_, &PagePreview::dragged, this, &PrintDialog::dragTo);
    auto* hint = new QLabel("Use mouse to position image", this);
    hint->setObjectName("lblHint");
    middle->addWidget(preview_, 1);
    middle->addWidget(hint, 0, Qt::AlignHCenter);

    auto* buttons = new QVBoxLayout;
    const struct {
        const char* name;
        const char* caption;
    } captions[] = {{"cmdPrint", "Print"},
                    {"cmdCancel", "Cancel"},
                    {"cmdSelect", "Select..."},
                    {"cmdSetup", "Setup..."},
                    {"cmdHelp", "Help"}};
    QPushButton* made[5] = {};
    for (int i = 0; i < 5; ++i) {
        made[i] = new QPushButton(captions[i].caption, this);
        made[i]->setObjectName(captions[i].name);
        buttons->addWidget(made[i]);
    }
    made[0]->setDefault(true);
    buttons->addStretch(1);
    connect(made[0], &QPushButton::clicked, this, &PrintDialog::print);
    connect(made[1], &QPushButton::clicked, this, &PrintDialog::reject);
    connect(made[2], &QPushButton::clicked, this, &PrintDialog::selectPrinter);
    connect(made[3], &QPushButton::clicked, this, &PrintDialog::setupPage);
    connect(made[4], &QPushButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl::fromLocalFile(HelpPagePath())); });

    layout->addLayout(left);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);

    const QString saved = settings_.text("Printer");
    if (saved == kPdfTarget || QPrinterInfo::availablePrinterNames().contains(saved))
        target_ = saved;
    else
        target_ = QPrinterInfo::defaultPrinterName();
    makePrinter();
    readChoices();
}

PrintDialog::~PrintDialog() = default;

void PrintDialog::setTarget(const QString& target) {
    target_ = target;
    settings_.setText("Printer", target);
    makePrinter();
}

void PrintDialog::makePrinter() {
    if (target_.isEmpty() || target_ == kPdfTarget) {
        // PDF output also stands for the page while no printer is chosen.
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setResolution(kPdfDotsPerInch);
        printer_->setPageSize(QPageSize(QPageSize::A4));
    } else {
        printer_ = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(target_),
                                              QPrinter::HighResolution);
    }
    // Device pixels count from the paper's corner.
    printer_->setFullPage(true);
    printer_->setDocName("Vistel/32");
    printerName_->setText(target_.isEmpty() ? QString("(none)") : target_);
    updateLayout();
}

int PrintDialog::resolution() const { return printer_->resolution(); }

QSize PrintDialog::paperSize() const {
    return printer_->pageLayout().fullRectPixels(resolution()).size();
}

QRect PrintDialog::printableArea() const {
    return printer_->pageLayout().paintRectPixels(resolution());
}

void PrintDialog::readChoices() {
    placement_.fitToPage = fit_->isChecked();
    placement_.centerHorizontally = centerHorizontally_->isChecked();
    placement_.centerVertically = centerVertically_->isChecked();
    placement_.scalePercent = scale_->value();
    updateLayout();
}

void PrintDialog::dragTo(QPoint offset) {
    placement_.dragged = ClampedOffset(offset, imageRect_.size(), printableArea().size());
    updateLayout();
}

void PrintDialog::updateLayout() {
    const QSize image(shown_.getInt("Xresolution"), shown_.getInt("Yresolution"));
    imageRect_ = PlaceOnPage(printableArea(), image, resolution(), placement_);
    preview_->setPage(paperSize(), printableArea());
    preview_->setImageRect(imageRect_);
    scale_->setEnabled(!placement_.fitToPage);
    if (placement_.fitToPage) {
        const QSignalBlocker block(scale_);
        scale_->setValue(ScaleOfWidth(image, imageRect_.width(), resolution()));
    }
}

void PrintDialog::selectPrinter() {
    QStringList printers = QPrinterInfo::availablePrinterNames();
    if (printers.isEmpty()) tell("There are no printers installed!");
    printers << kPdfTarget;
    PrinterList list(printers, target_, this);
    if (list.exec() == QDialog::Accepted && !list.chosen().isEmpty()) setTarget(list.chosen());
}

void PrintDialog::setupPage() {
    if (printer_->outputFormat() == QPrinter::PdfFormat) {
        PdfPageSetup setup(printer_->pageLayout(), this);
        if (setup.exec() != QDialog::Accepted) return;
        printer_->setPageLayout(setup.chosenLayout());
    } else {
        // The printer driver's own settings, through the print system.
        QPageSetupDialog setup(printer_.get(), this);
        if (setup.exec() != QDialog::Accepted) return;
    }
    printer_->setFullPage(true);
    updateLayout();
}

void PrintDialog::print() {
    if (target_.isEmpty()) {
        tell("Error:\nNo printer device selected.");
        return;
    }
    if (target_ != kPdfTarget) {
        if (printToPrinter()) accept();
        return;
    }
    QFileDialog ask(this, kPdfTarget, settings_.text("LastSavePath"), "PDF (*.pdf)");
    ask.setObjectName("pdfFileDialog");
    ask.setAcceptMode(QFileDialog::AcceptSave);
    ask.setDefaultSuffix("pdf");
    ask.setOption(QFileDialog::DontUseNativeDialog);
    if (ask.exec() != QDialog::Accepted || ask.selectedFiles().isEmpty()) return;
    if (printToPdf(ask.selectedFiles().constFirst())) accept();
}

void PrintDialog::printerError() {
    tell("A printer error occurred. There may not be a valid printer installed.  Unable to print.");
}

bool PrintDialog::drawOn(QPaintDevice& device, QPrinter* printer) {
    DeviceContext dc(device);
    if (dc.handle() == 0) return false;
    try {
        CopyImage(*printing_, shown_);
        printing_->put("PrintLeft", Short(imageRect_.left()));
        printing_->put("PrintTop", Short(imageRect_.top()));
        printing_->put("PrintWidth", Short(imageRect_.width()));
        printing_->put("PrintHeight", Short(imageRect_.height()));
        printing_->put("PrinterhDC", Long(static_cast<int>(dc.handle())));
    } catch (const automation::AutomationError&) {
        printing_->call("Clear");
        // No half page goes out.
        if (printer != nullptr) printer->abort();
        return false;
    }
    printing_->call("Clear");
    return true;
}

bool PrintDialog::printToPrinter() {
    if (QPrinterInfo::printerInfo(target_).isNull() || !printer_->isValid()) {
        tell("There does not appear to be a valid printer installed.  Unable to print.");
        return false;
    }
    if (!drawOn(*printer_, printer_.get()) || printer_->printerState() == QPrinter::Error ||
        printer_->printerState() == QPrinter::Aborted) {
        printerError();
        return false;
    }
    return true;
}

bool PrintDialog::printToPdf(const QString& path) {
    // The page is made in memory and written at once, so a file that cannot
    // be written whole (a full disk) is noticed.
    QBuffer page;
    page.open(QIODevice::WriteOnly);
    bool drawn = false;
    {
        QPdfWriter writer(&page);
        writer.setResolution(resolution());
        writer.setPageLayout(printer_->pageLayout());
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setCreator("Vistel/32");
        drawn = drawOn(writer, nullptr);
    }
    QFile file(path);
    if (!drawn || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(page.data()) != page.data().size() || !file.flush()) {
        printerError();
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        printerError();
        return false;
    }
    return true;
}

}  // namespace pm32::viewer
