#include "viewer/resize_dialog.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/message_box.h"
#include "viewer/failure_messages.h"
#include "viewer/help_page.h"
#include "viewer/image_steps.h"

namespace pm32::viewer {
namespace {

QSpinBox* sizeBox(const char* name, int highest, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(1, highest);
    box->setKeyboardTracking(false);
    return box;
}

}  // namespace

ResizeDialog::ResizeDialog(Picbuf& shown, QWidget* parent)
    : QDialog(parent),
      shown_(shown),
      proportions_(QSize(shown.getInt("Xresolution"), shown.getInt("Yresolution"))) {
    setObjectName("Resize");
    setWindowTitle("Resize");
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;

    auto* dimensions = new QGroupBox("Dimensions", this);
    auto* form = new QFormLayout(dimensions);
    width_ = sizeBox("txtWidth", 32767, dimensions);
    height_ = sizeBox("txtHeight", 32767, dimensions);
    // 32767 pixels is the most a side may have, so a 1-pixel image may grow
    // that far.
    scale_ = sizeBox("txtScale", 3276700, dimensions);
    scale_->setSuffix(" %");
    form->addRow("Width", width_);
    form->addRow("Height", height_);
    form->addRow("Scale", scale_);
    left->addWidget(dimensions);
    proportional_ = new QCheckBox("&Proportional Resize", this);
    proportional_->setObjectName("chkProportional");
    proportional_->setChecked(true);
    left->addWidget(proportional_);
    left->addStretch(1);

    auto* buttons = new QVBoxLayout;
    const struct {
        const char* name;
        const char* caption;
    } captions[] = {
        {"cmdOK", "OK"}, {"cmdPreview", "Preview"}, {"cmdCancel", "Cancel"}, {"cmdHelp", "Help"}};
    QPushButton* made[4] = {};
    for (int i = 0; i < 4; ++i) {
        made[i] = new QPushButton(captions[i].caption, this);
        made[i]->setObjectName(captions[i].name);
        buttons->addWidget(made[i]);
    }
    made[0]->setDefault(true);
    buttons->addStretch(1);
    connect(made[0], &QPushButton::clicked, this, &ResizeDialog::accept);
    connect(made[1], &QPushButton::clicked, this, &ResizeDialog::showPreview);
    connect(made[2], &QPushButton::clicked, this, &ResizeDialog::reject);
    connect(made[3], &QPushButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl::fromLocalFile(HelpPagePath())); });

    auto* previewColumn = new QVBoxLayout;
    previewHost_ = new platform::WidgetWindowHost(this);
    previewHost_->setObjectName("previewImage");
    previewHost_->setMinimumSize(240, 180);
    preview_ = std::make_unique<Picbuf>(previewHost_);
    preview_->put("ScrollBars", Short(3));
    previewSize_ = new QLabel(this);
    previewSize_->setObjectName("lblPreviewSize");
    previewColumn->addWidget(previewHost_, 1);
    previewColumn->addWidget(previewSize_);

    layout->addLayout(left);
    layout->addLayout(previewColumn, 1);
    layout->addLayout(buttons);

    showProportions();
    connect(width_, &QSpinBox::valueChanged, this, &ResizeDialog::setFromWidth);
    connect(height_, &QSpinBox::valueChanged, this, &ResizeDialog::setFromHeight);
    connect(scale_, &QSpinBox::valueChanged, this, &ResizeDialog::setFromScale);
    connect(proportional_, &QCheckBox::toggled, this, &ResizeDialog::setProportional);
}

// The preview control goes before the widget it shows in.
ResizeDialog::~ResizeDialog() { preview_.reset(); }

void ResizeDialog::setFromWidth(int width) {
    proportions_.setWidth(width);
    showProportions();
}

void ResizeDialog::setFromHeight(int height) {
    proportions_.setHeight(height);
    showProportions();
}

void ResizeDialog::setFromScale(int percent) {
    proportions_.setScale(percent);
    showProportions();
}

void ResizeDialog::setProportional(bool on) {
    proportions_.setProportional(on);
    showProportions();
}

void ResizeDialog::showProportions() {
    const QSignalBlocker blockWidth(width_);
    const QSignalBlocker blockHeight(height_);
    const QSignalBlocker blockScale(scale_);
    width_->setValue(proportions_.size().width());
    height_->setValue(proportions_.size().height());
    scale_->setValue(proportions_.scalePercent());
}

void ResizeDialog::showPreview() {
    try {
        StretchInto(*preview_, shown_, proportions_.size());
    } catch (const automation::AutomationError& error) {
        preview_->call("Clear");
        previewSize_->clear();
        platform::MessageBox(
            FailureText(FailureOfOperation(ErrorNumberOf(error)), {}, ErrorNumberOf(error))
                .toStdString(),
            "Vistel/32", platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return;
    }
    previewSize_->setText(QString("%1 x %2 pixels")
                              .arg(preview_->getInt("Xresolution"))
                              .arg(preview_->getInt("Yresolution")));
}

}  // namespace pm32::viewer
