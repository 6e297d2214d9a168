#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "viewer/picbuf.h"
#include "viewer/tune_mapping.h"

class QScrollBar;

namespace pm32::viewer {

// Applies the positions' brightness, contrast and gamma to the control's
// image; neutral bars make no call. Raises the control's automation error.
void ApplyTune(Picbuf& control, const TunePositions& positions);

// The brightness, contrast and gamma dialog: three scroll bars, the
// untouched image and a preview of the adjusted one side by side.
// "Preview" applies the bars to a copy, "Reset" brings the bars and the
// preview back to neutral. The shown control is only read; the caller
// applies the accepted positions.
class AdjustDialog : public QDialog {
    Q_OBJECT

  public:
    // The shown control must hold an image and outlive the dialog; the bars
    // start at the given positions.
    AdjustDialog(Picbuf& shown, const TunePositions& start, QWidget* parent = nullptr);
    ~AdjustDialog() override;

    TunePositions positions() const;
    void setPositions(const TunePositions& positions);
    Picbuf& untouched() { return *untouched_; }
    Picbuf& preview() { return *preview_; }

  public slots:
    void showPreview();
    void reset();

  private:
    std::array<QScrollBar*, 3> bars_{};
    std::unique_ptr<Picbuf> untouched_;
    std::unique_ptr<Picbuf> preview_;
};

}  // namespace pm32::viewer
