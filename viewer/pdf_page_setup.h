#pragma once

#include <QDialog>
#include <QPageLayout>

class QComboBox;
class QRadioButton;

namespace pm32::viewer {

// The page set-up of PDF output, which has no printer driver whose dialog
// could serve: the paper size and the orientation.
class PdfPageSetup : public QDialog {
    Q_OBJECT

  public:
    explicit PdfPageSetup(const QPageLayout& layout, QWidget* parent = nullptr);

    // The layout given, with the chosen paper and orientation.
    QPageLayout chosenLayout() const;

  private:
    QPageLayout layout_;
    QComboBox* paper_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
};

}  // namespace pm32::viewer
