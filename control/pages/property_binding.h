#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/member_row.h"
#include "control/pages/page_list.h"
#include "platform/automation/dispatch.h"

class QWidget;

namespace pm32::control::pages {

enum class BindingKind { Combo, Check, Edit, ReadOnlyEdit, MultiLineEdit };

// Limits a page checks itself before anything is written.
struct PageLimits {
    std::optional<std::pair<int, int>> range =
        std::nullopt;  // an integer edit's lowest and highest
    int maxChars = 0;  // a text edit's longest; 0 for any
};

// One control of a page's dialog bound to a property of the edited controls.
struct BindingRow {
    int controlId;
    BindingKind kind;
    std::string_view property;
    std::string_view caption = {};  // a check box's text; a label's for the others
    PageList list = {};
    PageLimits limits = {};
};

using Objects = std::vector<automation::DispatchPtr>;

// Keeps one widget and one property in step through the dispatch interface,
// so a write takes the property's own set path: its checks, its errors and
// its change notification.
class PropertyBinding {
  public:
    // Makes the widget (owned by its parent) for the row; the row's property
    // must be one of the control's.
    PropertyBinding(const BindingRow& row, QWidget* parent);

    const BindingRow& row() const { return row_; }
    const MemberRow& member() const { return *member_; }
    QWidget* widget() const { return widget_; }

    // Shows the value of the first object; a property it will not give
    // leaves the widget disabled and out of every write.
    void load(const Objects& objects);
    // The widget no longer shows what was loaded.
    bool changed() const;
    // The page's own refusal of the widget's value, or nothing.
    std::optional<std::string> validate() const;
    // Writes the widget's value to every object. A refused value shows the
    // property's error through the message-box hook, the widget shows the
    // value the property kept, and the result is false.
    bool apply(const Objects& objects);

  private:
    void show(const automation::Variant& value);
    std::string shownText() const;
    automation::Variant value() const;

    BindingRow row_;
    const MemberRow* member_;
    QWidget* widget_;
    std::string loaded_;
};

}  // namespace pm32::control::pages
