#include "control/pages/property_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <algorithm>

#include "platform/message_box.h"

namespace pm32::control::pages {

PropertyPage::PropertyPage(const PageClass& pageClass, QWidget* parent)
    : QWidget(parent), pageClass_(pageClass) {
    setObjectName(QString::fromUtf8(pageClass.className.data(),
                                    static_cast<qsizetype>(pageClass.className.size())));
    setWindowTitle(QString::fromUtf8(pageClass.caption.data(),
                                     static_cast<qsizetype>(pageClass.caption.size())));
}

PropertyPage::~PropertyPage() = default;

void PropertyPage::setObjects(Objects objects) {
    objects_ = std::move(objects);
    load();
}

bool PropertyPage::isDirty() const {
    return std::any_of(bindings_.begin(), bindings_.end(),
                       [](const auto& binding) { return binding->changed(); });
}

bool PropertyPage::apply() {
    if (std::optional<std::string> refusal = validate()) {
        platform::MessageBox(*refusal, std::string(pageClass_.caption),
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    return write();
}

QWidget* PropertyPage::widgetFor(std::string_view property) const {
    for (const auto& binding : bindings_)
        if (binding->row().property == property) return binding->widget();
    return nullptr;
}

void PropertyPage::load() {
    for (const auto& binding : bindings_) binding->load(objects_);
}

std::optional<std::string> PropertyPage::validate() const {
    for (const auto& binding : bindings_)
        if (std::optional<std::string> refusal = binding->validate()) {
            binding->widget()->setFocus();
            return refusal;
        }
    return std::nullopt;
}

bool PropertyPage::write() {
    bool all = true;
    for (const auto& binding : bindings_) {
        if (!binding->changed()) continue;
        if (binding->apply(objects_))
            noteWritten(binding->member().name);
        else
            all = false;
    }
    return all;
}

void PropertyPage::noteWritten(std::string_view property) {
    if (std::find(written_.begin(), written_.end(), property) == written_.end())
        written_.emplace_back(property);
}

QGroupBox* PropertyPage::addGroup(QGridLayout* layout, int row, int column, const QString& title,
                                  std::span<const BindingRow> rows) {
    auto* group = new QGroupBox(title, this);
    auto* grid = new QGridLayout(group);
    addRows(grid, rows);
    layout->addWidget(group, row, column);
    return group;
}

void PropertyPage::addRows(QGridLayout* grid, std::span<const BindingRow> rows) {
    for (const BindingRow& row : rows) {
        PropertyBinding& binding = bind(row);
        const int line = grid->count() == 0 ? 0 : grid->rowCount();
        if (row.kind == BindingKind::Check) {
            grid->addWidget(binding.widget(), line, 0, 1, 2);
            continue;
        }
        std::string_view text = row.caption.empty() ? row.property : row.caption;
        auto* label =
            new QLabel(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), this);
        label->setBuddy(binding.widget());
        grid->addWidget(label, line, 0);
        grid->addWidget(binding.widget(), line, 1);
    }
}

PropertyBinding& PropertyPage::bind(const BindingRow& row) {
    bindings_.push_back(std::make_unique<PropertyBinding>(row, this));
    return *bindings_.back();
}

}  // namespace pm32::control::pages
