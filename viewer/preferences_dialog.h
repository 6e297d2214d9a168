#pragma once

#include <QDialog>
#include <array>

#include "viewer/associations.h"

class QCheckBox;
class QRadioButton;

namespace pm32::viewer {

class ViewerSettings;

// The Preferences dialog: initial zoom, instances, file associations and
// whether files of every kind the control reads are opened.
// OK writes the choices; closing the dialog otherwise changes nothing.
class PreferencesDialog : public QDialog {
    Q_OBJECT

  public:
    // The executable is what the installed desktop entry starts; by default
    // the running program.
    PreferencesDialog(ViewerSettings& settings, QWidget* parent = nullptr,
                      const QString& executable = {});

  private slots:
    void confirm();

  private:
    ViewerSettings& settings_;
    QString executable_;
    Associations associations_;
    std::array<QCheckBox*, 2> zoomBoxes_{};
    std::array<QCheckBox*, 7> typeBoxes_{};
    std::array<bool, 7> wasDefault_{};
    std::array<QRadioButton*, 2> instanceButtons_{};
    QCheckBox* modernBox_ = nullptr;
};

}  // namespace pm32::viewer
