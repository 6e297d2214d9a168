#pragma once

#include <QDialog>
#include <QRect>
#include <memory>

#include "viewer/picbuf.h"
#include "viewer/print_layout.h"

class QCheckBox;
class QLabel;
class QPrinter;
class QSpinBox;

namespace pm32::viewer {

class PagePreview;
class ViewerSettings;

// The entry of the printer list that writes a PDF file instead.
inline constexpr const char* kPdfTarget = "Print to PDF file";

// The Print dialog: the current printer with "Select..." and "Setup...",
// the Scale box, "Fit to Page", "Center Vert", "Center Horiz" and a page
// preview on which the image's rectangle is dragged. "Print" copies the
// shown image into a hidden control, hands it the printer's device context
// and the rectangle in printer pixels, and ends the document. The shown
// image is never changed.
class PrintDialog : public QDialog {
    Q_OBJECT

  public:
    // The shown control must hold an image; it and the settings must outlive
    // the dialog. The printer is the one last chosen when it is still
    // installed, else the system's default.
    PrintDialog(Picbuf& shown, ViewerSettings& settings, QWidget* parent = nullptr);
    ~PrintDialog() override;

    // A printer's name, kPdfTarget, or empty when none is chosen.
    QString target() const { return target_; }
    // Makes the printer (or PDF output) current and remembers it.
    void setTarget(const QString& target);

    int resolution() const;
    QSize paperSize() const;
    QRect printableArea() const;
    // Where the image goes, in device pixels from the paper's corner.
    QRect imageRect() const { return imageRect_; }
    PagePreview* pagePreview() const { return preview_; }

  public slots:
    void selectPrinter();
    void setupPage();
    // Prints to the current printer, asking for the file name when printing
    // to PDF; the dialog closes when the page is printed.
    void print();
    // Writes the page to a PDF file; false (after saying why) on failure.
    bool printToPdf(const QString& path);

  private slots:
    void dragTo(QPoint offset);
    void readChoices();

  private:
    void makePrinter();
    void updateLayout();
    bool printToPrinter();
    // Draws the image through the hidden control; false when it fails, and
    // then a printer's job is cancelled.
    bool drawOn(QPaintDevice& device, QPrinter* printer);
    void printerError();

    Picbuf& shown_;
    ViewerSettings& settings_;
    QString target_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<Picbuf> printing_;
    PrintPlacement placement_;
    QRect imageRect_;
    QLabel* printerName_ = nullptr;
    QSpinBox* scale_ = nullptr;
    QCheckBox* fit_ = nullptr;
    QCheckBox* centerVertically_ = nullptr;
    QCheckBox* centerHorizontally_ = nullptr;
    PagePreview* preview_ = nullptr;
};

}  // namespace pm32::viewer
