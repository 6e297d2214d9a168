#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "control/pages/property_binding.h"
#include "platform/toolkit_export.h"

class QTabWidget;
class QPushButton;

namespace pm32::control::pages {

class PropertyPage;

// The tabbed dialog a container shows at design time: the control's pages
// in its order, with OK, Cancel and Apply. OK applies every page and closes
// only when all took their values.
class PM32_TOOLKIT_API PropertySheet : public QDialog {
  public:
    PropertySheet(const QString& title, Objects objects, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return tabs_; }
    PropertyPage* page(int index) const;
    int pageCount() const;

    // Applies every page; false when one refused.
    bool apply();
    void accept() override;

    // The properties the pages have written, each once, in page order.
    std::vector<std::string> written() const;

  private:
    void updateActions();

    QTabWidget* tabs_;
    QPushButton* applyButton_;
};

}  // namespace pm32::control::pages
