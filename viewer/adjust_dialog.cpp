#include "viewer/adjust_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "platform/message_box.h"
#include "viewer/failure_messages.h"
#include "viewer/image_steps.h"

namespace pm32::viewer {

void ApplyTune(Picbuf& control, const TunePositions& positions) {
    if (ChangesBrightCont(positions))
        control.call("BrightCont", {Variant::R8(BrightnessArgument(positions.brightness)),
                                    Variant::R8(ContrastArgument(positions.contrast))});
    if (ChangesGamma(positions))
        control.call("Gamma", {Variant::R8(GammaArgument(positions.gamma))});
}

AdjustDialog::AdjustDialog(Picbuf& shown, const TunePositions& start, QWidget* parent)
    : QDialog(parent) {
    setObjectName("ImageAdjust");
    setWindowTitle("Adjust Brightness /Contrast/Gamma");
    auto* layout = new QVBoxLayout(this);

    auto* images = new QHBoxLayout;
    auto* untouchedHost = new platform::WidgetWindowHost(this);
    untouchedHost->setObjectName("Picbuf1_0");
    auto* previewHost = new platform::WidgetWindowHost(this);
    previewHost->setObjectName("Picbuf1_1");
    for (platform::WidgetWindowHost* host : {untouchedHost, previewHost}) {
        host->setMinimumSize(200, 150);
        images->addWidget(host, 1);
    }
    untouched_ = std::make_unique<Picbuf>(untouchedHost);
    preview_ = std::make_unique<Picbuf>(previewHost);
    for (Picbuf* control : {untouched_.get(), preview_.get()})
        control->put("AutoScale", Variant::Bool(true));
    layout->addLayout(images, 1);

    auto* barGrid = new QGridLayout;
    const struct {
        const char* caption;
        const char* name;
        TuneRange range;
    } bars[] = {{"Brightness", "HScroll1", kBrightnessRange},
                {"Contrast", "HScroll2", kContrastRange},
                {"Gamma", "HScroll3", kGammaRange}};
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        bars_[i] = new QScrollBar(Qt::Horizontal, this);
        bars_[i]->setObjectName(bars[i].name);
        bars_[i]->setRange(bars[i].range.lowest, bars[i].range.highest);
        bars_[i]->setPageStep(10);
        auto* label = new QLabel(bars[i].caption, this);
        barGrid->addWidget(label, static_cast<int>(i), 0);
        barGrid->addWidget(bars_[i], static_cast<int>(i), 1);
    }
    layout->addLayout(barGrid);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const struct {
        const char* name;
        const char* caption;
    } captions[] = {
        {"cmdPreview", "Preview"}, {"cmdReset", "Reset"}, {"cmdCancel", "Cancel"}, {"cmdOK", "OK"}};
    QPushButton* made[4] = {};
    for (int i = 0; i < 4; ++i) {
        made[i] = new QPushButton(captions[i].caption, this);
        made[i]->setObjectName(captions[i].name);
        buttons->addWidget(made[i]);
    }
    made[3]->setDefault(true);
    connect(made[0], &QPushButton::clicked, this, &AdjustDialog::showPreview);
    connect(made[1], &QPushButton::clicked, this, &AdjustDialog::reset);
    connect(made[2], &QPushButton::clicked, this, &AdjustDialog::reject);
    connect(made[3], &QPushButton::clicked, this, &AdjustDialog::accept);
    layout->addLayout(buttons);

    CopyImage(*untouched_, shown);
    setPositions(start);
    showPreview();
}

// The controls go before the widgets they show in.
AdjustDialog::~AdjustDialog() {
    preview_.reset();
    untouched_.reset();
}

TunePositions AdjustDialog::positions() const {
    return {bars_[0]->value(), bars_[1]->value(), bars_[2]->value()};
}

void AdjustDialog::setPositions(const TunePositions& positions) {
    bars_[0]->setValue(positions.brightness);
    bars_[1]->setValue(positions.contrast);
    bars_[2]->setValue(positions.gamma);
}

void AdjustDialog::showPreview() {
    try {
        CopyImage(*preview_, *untouched_);
        ApplyTune(*preview_, positions());
    } catch (const automation::AutomationError& error) {
        platform::MessageBox(
            FailureText(FailureOfOperation(ErrorNumberOf(error)), {}, ErrorNumberOf(error))
                .toStdString(),
            "Vistel/32", platform::MB_OK | platform::MB_ICONEXCLAMATION);
    }
}

void AdjustDialog::reset() {
    setPositions({});
    showPreview();
}

}  // namespace pm32::viewer
