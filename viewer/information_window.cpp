#include "viewer/information_window.h"

#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "viewer/image_information.h"
#include "viewer/picbuf.h"

namespace pm32::viewer {
namespace {

void addRow(QFormLayout* form, const QString& caption, const QString& value) {
    auto* label = new QLabel(value, form->parentWidget());
    label->setObjectName("value" + QString(caption).remove(' '));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(caption, label);
}

}  // namespace

InformationWindow::InformationWindow(Picbuf& shown, const QString& path, bool modified,
                                     QWidget* parent)
    : QDialog(parent) {
    setObjectName("Information");
    setWindowTitle("Image Information");
    auto* layout = new QVBoxLayout(this);
    const QFileInfo file(path);
    const bool onDisk = !path.isEmpty() && file.isFile();

    auto* image = new QGroupBox("Image Information", this);
    auto* imageRows = new QFormLayout(image);
    addRow(imageRows, "Type", ImageTypeText(shown.getInt("ColorDepth")));
    addRow(imageRows, "Size", onDisk ? FileSizeText(file.size()) : QString());
    addRow(imageRows, "Width", PixelsText(shown.getInt("Xresolution")));
    addRow(imageRows, "Height", PixelsText(shown.getInt("Yresolution")));
    layout->addWidget(image);

    // The control keeps format 0 when it identified the file by its name.
    int format = shown.getInt("ImageFormat");
    if (format == 0 && onDisk) format = FormatCodeOfName(path);
    auto* fileBox = new QGroupBox("File Information", this);
    auto* fileRows = new QFormLayout(fileBox);
    addRow(fileRows, "File Name", path);
    addRow(fileRows, "Format", onDisk ? FormatText(format) : QString());
    addRow(fileRows, "Modified", ModifiedText(modified));
    layout->addWidget(fileBox);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &InformationWindow::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

QString InformationWindow::row(const QString& caption) const {
    const auto* label = findChild<QLabel*>("value" + QString(caption).remove(' '));
    return label ? label->text() : QString();
}

}  // namespace pm32::viewer
