#include <QFileDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "control/pages/pages.h"

namespace pm32::control::pages {
namespace {

constexpr std::string_view kImageFormats[] = {
    "0 - Unused", "1 - TIFF", "2 - Targa",          "3 - BMP", "4 - GIF", "5 - DIB",
    "6 - PCX",    "7 - JPEG", "8 - Paintbrush OLE", "9 - FIF", "10 - PNG"};

constexpr int kFileNameChars = 100;
constexpr int kImageNumberLimit = 32767;

constexpr BindingRow kRows[] = {
    {222, BindingKind::Edit, "FileName", {}, {}, {.maxChars = kFileNameChars}},
    {224, BindingKind::Combo, "ImageFormat", {}, {.own = kImageFormats}},
    {225, BindingKind::Edit, "ImageNumber", {}, {}, {.range = std::pair{0, kImageNumberLimit}}},
};

struct FileFilter {
    const char* description;
    const char* patterns;  // separated by semicolons
};

constexpr FileFilter kFilters[] = {
    {"All Images (.bmp,.dib,.fif,.gif,.jpg,.pcx,.png,.tif)",
     "*.bmp;*.dib;*.fif;*.gif;*.jpg;*.pcx;*.png;*.tif"},
    {"Windows Bitmap (.bmp, .dib)", "*.bmp;*.dib"},
    {"Iterated Fractal (.fif)", "*.fif"},
    {"GIF (.gif)", "*.gif"},
    {"JPG (.jpg)", "*.jpg"},
    {"PCX (.pcx)", "*.pcx"},
    {"PNG (.png)", "*.png"},
    {"TIFF (.tif)", "*.tif"},
};

// Qt reads a filter's patterns from the last parentheses, separated by blanks.
QStringList nameFilters() {
    QStringList filters;
    for (const FileFilter& filter : kFilters)
        filters << QStringLiteral("%1 (%2)").arg(
            QString::fromUtf8(filter.description),
            QString::fromUtf8(filter.patterns).replace(QLatin1Char(';'), QLatin1Char(' ')));
    return filters;
}

}  // namespace

PicturePage::PicturePage(QWidget* parent) : PropertyPage(*FindPageClass("ZIoPPG"), parent) {
    auto* layout = new QGridLayout(this);
    addRows(layout, kRows);
    fileName_ = static_cast<QLineEdit*>(widgetFor("FileName"));
    auto* browseButton = new QPushButton(tr("&Browse"), this);
    browseButton->setObjectName("Browse");
    browseButton->setProperty("controlId", 201);
    auto* clearButton = new QPushButton(tr("&Clear"), this);
    clearButton->setObjectName("Clear");
    clearButton->setProperty("controlId", 202);
    layout->addWidget(browseButton, 0, 2);
    layout->addWidget(clearButton, 1, 2);
    layout->setRowStretch(layout->rowCount(), 1);
    connect(browseButton, &QPushButton::clicked, this, &PicturePage::browse);
    connect(clearButton, &QPushButton::clicked, this, &PicturePage::clear);
}

void PicturePage::browse() {
    QFileDialog dialog(this, tr("Open an Image File"));
    dialog.setObjectName("OpenImageFile");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    fileName_->setText(dialog.selectedFiles().front());
}

void PicturePage::clear() { fileName_->clear(); }

}  // namespace pm32::control::pages
