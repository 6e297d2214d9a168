#pragma once

#include <QWidget>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "control/page_classes.h"
#include "control/pages/property_binding.h"
#include "platform/toolkit_export.h"

class QGridLayout;
class QGroupBox;

namespace pm32::control::pages {

// One tab of the control's property sheet. It reads every bound property of
// the edited controls when they are given to it, and on Apply writes each
// changed one through the property's set path after its own checks passed.
class PM32_TOOLKIT_API PropertyPage : public QWidget {
  public:
    PropertyPage(const PageClass& pageClass, QWidget* parent);
    ~PropertyPage() override;

    const PageClass& pageClass() const { return pageClass_; }
    // The name the class is registered under, "ZGenPPG Property Page" and the like.
    std::string_view typeName() const { return pageClass_.typeName; }

    // The controls being edited; the page shows the first one's values.
    void setObjects(Objects objects);
    const Objects& objects() const { return objects_; }

    // Something on the page differs from what it read.
    virtual bool isDirty() const;
    // The page's checks first: a refusal is shown and nothing is written.
    // Then every changed property is written; false when a check or a
    // property refused.
    bool apply();
    // The properties this page has written so far, each once, in page order.
    const std::vector<std::string>& written() const { return written_; }

    // The widget bound to a property, null when the page has none.
    QWidget* widgetFor(std::string_view property) const;

  protected:
    virtual void load();
    virtual std::optional<std::string> validate() const;
    // Writes what changed; false when a property refused its value.
    virtual bool write();
    void noteWritten(std::string_view property);

    // Layout pieces: a group box of labelled rows, or rows without a box.
    QGroupBox* addGroup(QGridLayout* layout, int row, int column, const QString& title,
                        std::span<const BindingRow> rows);
    void addRows(QGridLayout* grid, std::span<const BindingRow> rows);
    PropertyBinding& bind(const BindingRow& row);

  private:
    const PageClass& pageClass_;
    Objects objects_;
    std::vector<std::unique_ptr<PropertyBinding>> bindings_;
    std::vector<std::string> written_;
};

}  // namespace pm32::control::pages
