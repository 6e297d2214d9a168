#include "viewer/preferences_dialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/message_box.h"
#include "viewer/settings.h"

namespace pm32::viewer {
namespace {

QLabel* explanation(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

}  // namespace

PreferencesDialog::PreferencesDialog(ViewerSettings& settings, QWidget* parent,
                                     const QString& executable)
    : QDialog(parent),
      settings_(settings),
      executable_(executable.isEmpty() ? QCoreApplication::applicationFilePath() : executable) {
    setObjectName("PrefForm");
    setWindowTitle("Preferences");
    auto* layout = new QVBoxLayout(this);

    auto* zoom = new QGroupBox("Initial Zoom", this);
    auto* zoomLayout = new QVBoxLayout(zoom);
    zoomLayout->addWidget(explanation(
        "When an image is opened, it can be shown initially zoomed in or out to the largest size "
        "that will display on the screen.  If these options are unchecked, Images will be actual "
        "size (1:1) and large images will have scroll bars.",
        zoom));
    const char* zoomCaptions[] = {"Zoom small images up to largest that will show completely",
                                  "Zoom large images down to largest that will show completely"};
    for (std::size_t i = 0; i < zoomBoxes_.size(); ++i) {
        zoomBoxes_[i] = new QCheckBox(zoomCaptions[i], zoom);
        zoomBoxes_[i]->setObjectName(QString("Check2_%1").arg(i));
        zoomLayout->addWidget(zoomBoxes_[i]);
    }
    zoomBoxes_[0]->setChecked(settings_.smallZoom());
    zoomBoxes_[1]->setChecked(settings_.largeZoom());
    layout->addWidget(zoom);

    auto* instances = new QGroupBox("Instances", this);
    auto* instanceLayout = new QVBoxLayout(instances);
    instanceLayout->addWidget(explanation(
        "The 'Instance' option controls whether Vistel/32 opens a new copy of the program when a "
        "file is opened and another file is already open, or whether it will replace the existing "
        "image instead.  'Single Instance' will replace the current image with the new one.  "
        "Single instance is faster and uses less resources.  'Multiple Instances' will open a new "
        "one, and is handy when you want to view more than one file at a time.",
        instances));
    const char* instanceCaptions[] = {"Multiple Instances", "Single Instance"};
    for (std::size_t i = 0; i < instanceButtons_.size(); ++i) {
        instanceButtons_[i] = new QRadioButton(instanceCaptions[i], instances);
        instanceButtons_[i]->setObjectName(QString("Option1_%1").arg(i));
        instanceLayout->addWidget(instanceButtons_[i]);
    }
    instanceButtons_[settings_.singleInstance() ? 1 : 0]->setChecked(true);
    layout->addWidget(instances);

    auto* types = new QGroupBox("Associations", this);
    auto* typeLayout = new QGridLayout(types);
    typeLayout->addWidget(
        explanation("When the box is checked next to a file type, below, that file will be "
                    "'associated' with Vistel/32.  Double-Clicking a file with that extension in "
                    "File Manager or Windows 95 Explorer will cause Vistel/32 to open and load the "
                    "file.  Whether a new copy is opened, or a previously loaded image is "
                    "replaced, is determined by the Instance choice above.",
                    types),
        0, 0, 1, 7);
    // The desktop entry and the MIME package go in when they are first needed.
    if (!associations_.installed() && !associations_.install(executable_))
        platform::MessageBox("The file types could not be registered with the desktop.",
                             "Vistel/32", platform::MB_OK | platform::MB_ICONEXCLAMATION);
    for (std::size_t i = 0; i < typeBoxes_.size(); ++i) {
        const AssociatedType& type = AssociatedTypes()[i];
        typeBoxes_[i] = new QCheckBox(type.word, types);
        typeBoxes_[i]->setObjectName(QString("Check1_%1").arg(i));
        wasDefault_[i] = associations_.isDefault(type.mimeType);
        typeBoxes_[i]->setChecked(wasDefault_[i]);
        typeLayout->addWidget(typeBoxes_[i], 1, static_cast<int>(i));
    }
    layout->addWidget(types);

    auto* files = new QGroupBox("Files", this);
    auto* filesLayout = new QVBoxLayout(files);
    filesLayout->addWidget(explanation(
        "When the box is checked, Vistel/32 also opens the files of today: PNG, Targa and BMP "
        "with transparency (shown over the background colour), 2-bit PNG and GIF, CMYK JPEG, "
        "TIFF of every compression, and files whose name does not match their content.",
        files));
    modernBox_ = new QCheckBox("Open files of every kind I can read", files);
    modernBox_->setObjectName("CheckModern");
    modernBox_->setChecked(settings_.modernFiles());
    filesLayout->addWidget(modernBox_);
    layout->addWidget(files);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Command1");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &PreferencesDialog::confirm);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

void PreferencesDialog::confirm() {
    settings_.setSmallZoom(zoomBoxes_[0]->isChecked());
    settings_.setLargeZoom(zoomBoxes_[1]->isChecked());
    settings_.setSingleInstance(instanceButtons_[1]->isChecked());
    settings_.setModernFiles(modernBox_->isChecked());
    bool allDone = true;
    for (std::size_t i = 0; i < typeBoxes_.size(); ++i) {
        const QString mimeType = AssociatedTypes()[i].mimeType;
        if (typeBoxes_[i]->isChecked() && !wasDefault_[i])
            allDone = associations_.makeDefault(mimeType) && allDone;
        else if (!typeBoxes_[i]->isChecked() && wasDefault_[i])
            allDone = associations_.removeDefault(mimeType) && allDone;
    }
    settings_.setText("ProgramPath", QFileInfo(executable_).absolutePath());
    if (!allDone)
        platform::MessageBox("Some file associations could not be changed.", "Vistel/32",
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
    accept();
}

}  // namespace pm32::viewer
