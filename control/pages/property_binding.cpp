#include "control/pages/property_binding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <charconv>
#include <limits>

#include "platform/automation/automation_error.h"
#include "platform/message_box.h"

namespace pm32::control::pages {
namespace {

using automation::Variant;
using automation::VarType;

QWidget* makeWidget(const BindingRow& row, QWidget* parent) {
    switch (row.kind) {
        case BindingKind::Combo: {
            auto* combo = new QComboBox(parent);
            for (std::string_view text : ListTexts(row.list))
                combo->addItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
            return combo;
        }
        case BindingKind::Check:
            return new QCheckBox(
                QString::fromUtf8(row.caption.data(), static_cast<qsizetype>(row.caption.size())),
                parent);
        case BindingKind::Edit:
            return new QLineEdit(parent);
        case BindingKind::ReadOnlyEdit: {
            auto* edit = new QLineEdit(parent);
            edit->setReadOnly(true);
            return edit;
        }
        case BindingKind::MultiLineEdit:
            return new QPlainTextEdit(parent);
    }
    return nullptr;
}

// The whole text as a decimal integer, blanks around it allowed.
std::optional<std::int64_t> parsedInteger(const std::string& text) {
    std::size_t first = text.find_first_not_of(' ');
    std::size_t last = text.find_last_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+') ++begin;
    std::int64_t value = 0;
    auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// The text as an integer of the property's type, or nothing when it is none.
std::optional<std::int32_t> integerOf(const std::string& text, VarType type) {
    std::optional<std::int64_t> value = parsedInteger(text);
    if (!value) return std::nullopt;
    const bool shortInteger = type == VarType::I2;
    const std::int64_t low = shortInteger ? std::numeric_limits<std::int16_t>::min()
                                          : std::numeric_limits<std::int32_t>::min();
    const std::int64_t high = shortInteger ? std::numeric_limits<std::int16_t>::max()
                                           : std::numeric_limits<std::int32_t>::max();
    if (*value < low || *value > high) return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

bool isInteger(VarType type) { return type == VarType::I2 || type == VarType::I4; }

}  // namespace

PropertyBinding::PropertyBinding(const BindingRow& row, QWidget* parent)
    : row_(row), member_(FindMember(row.property)), widget_(makeWidget(row, parent)) {
    widget_->setObjectName(
        QString::fromUtf8(row.property.data(), static_cast<qsizetype>(row.property.size())));
    widget_->setProperty("controlId", row.controlId);
}

void PropertyBinding::load(const Objects& objects) {
    if (objects.empty()) return;
    // A property the control will not give now cannot be edited either.
    try {
        show(automation::GetProperty(*objects.front(), member_->name));
        widget_->setEnabled(true);
    } catch (const automation::AutomationError&) {
        widget_->setEnabled(false);
    }
    loaded_ = shownText();
}

bool PropertyBinding::changed() const {
    return row_.kind != BindingKind::ReadOnlyEdit && widget_->isEnabled() && shownText() != loaded_;
}

std::optional<std::string> PropertyBinding::validate() const {
    if (!changed()) return std::nullopt;
    const std::string text = shownText();
    if (row_.kind == BindingKind::Edit && isInteger(member_->type)) {
        std::optional<std::int64_t> number = parsedInteger(text);
        if (number && row_.limits.range &&
            (*number < row_.limits.range->first || *number > row_.limits.range->second))
            return "Please enter an integer between " + std::to_string(row_.limits.range->first) +
                   " and " + std::to_string(row_.limits.range->second) + ".";
        if (!integerOf(text, member_->type)) return "Please enter an integer.";
    }
    if (row_.limits.maxChars > 0 && QString::fromStdString(text).size() > row_.limits.maxChars)
        return "Please enter no more than " + std::to_string(row_.limits.maxChars) + " characters.";
    return std::nullopt;
}

bool PropertyBinding::apply(const Objects& objects) {
    if (!changed()) return true;
    const Variant newValue = value();
    for (const automation::DispatchPtr& object : objects) {
        try {
            automation::PutProperty(*object, member_->name, newValue);
        } catch (const automation::AutomationError& error) {
            platform::MessageBox(error.description(),
                                 error.source().empty() ? member_->name : error.source(),
                                 platform::MB_OK | platform::MB_ICONEXCLAMATION);
            load(objects);
            return false;
        }
    }
    loaded_ = shownText();
    return true;
}

void PropertyBinding::show(const Variant& value) {
    switch (row_.kind) {
        case BindingKind::Combo: {
            auto* combo = static_cast<QComboBox*>(widget_);
            // A value the list does not hold shows as no entry, and stays unless one is chosen.
            std::int32_t index = value.toI4();
            combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
            return;
        }
        case BindingKind::Check:
            static_cast<QCheckBox*>(widget_)->setChecked(value.toBool());
            return;
        case BindingKind::Edit:
        case BindingKind::ReadOnlyEdit:
            static_cast<QLineEdit*>(widget_)->setText(QString::fromStdString(value.toString()));
            return;
        case BindingKind::MultiLineEdit:
            static_cast<QPlainTextEdit*>(widget_)->setPlainText(
                QString::fromStdString(value.toString()));
            return;
    }
}

std::string PropertyBinding::shownText() const {
    switch (row_.kind) {
        case BindingKind::Combo:
            return std::to_string(static_cast<QComboBox*>(widget_)->currentIndex());
        case BindingKind::Check:
            return static_cast<QCheckBox*>(widget_)->isChecked() ? "1" : "0";
        case BindingKind::Edit:
        case BindingKind::ReadOnlyEdit:
            return static_cast<QLineEdit*>(widget_)->text().toStdString();
        case BindingKind::MultiLineEdit:
            return static_cast<QPlainTextEdit*>(widget_)->toPlainText().toStdString();
    }
    return {};
}

Variant PropertyBinding::value() const {
    const std::string text = shownText();
    switch (row_.kind) {
        case BindingKind::Combo:
        case BindingKind::Check:
            return Variant::I4(std::stoi(text)).coerced(member_->type);
        case BindingKind::Edit:
        case BindingKind::ReadOnlyEdit:
        case BindingKind::MultiLineEdit:
            if (isInteger(member_->type))
                return Variant::I4(integerOf(text, member_->type).value_or(0))
                    .coerced(member_->type);
            return Variant::String(text);
    }
    return {};
}

}  // namespace pm32::control::pages
