#pragma once

#include <QDialog>
#include <memory>

#include "viewer/picbuf.h"
#include "viewer/resize_proportions.h"

class QCheckBox;
class QLabel;
class QSpinBox;

namespace pm32::viewer {

// The Resize dialog: width, height and scale under "Dimensions", kept in
// proportion when "&Proportional Resize" is checked; "Preview" shows the
// resized image at actual size in the dialog. The shown control is only
// read; the caller resizes it when the dialog is accepted.
class ResizeDialog : public QDialog {
    Q_OBJECT

  public:
    // The shown control must hold an image and outlive the dialog.
    explicit ResizeDialog(Picbuf& shown, QWidget* parent = nullptr);
    ~ResizeDialog() override;

    QSize chosenSize() const { return proportions_.size(); }
    Picbuf& preview() { return *preview_; }

  public slots:
    void showPreview();

  private:
    void setFromWidth(int width);
    void setFromHeight(int height);
    void setFromScale(int percent);
    void setProportional(bool on);
    // Shows the proportions in the boxes without feeding back.
    void showProportions();

    Picbuf& shown_;
    ResizeProportions proportions_;
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
    QSpinBox* scale_ = nullptr;
    QCheckBox* proportional_ = nullptr;
    QLabel* previewSize_ = nullptr;
    platform::WidgetWindowHost* previewHost_ = nullptr;
    std::unique_ptr<Picbuf> preview_;
};

}  // namespace pm32::viewer
