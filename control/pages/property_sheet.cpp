#include "control/pages/property_sheet.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "control/pages/page_factory.h"
#include "control/pages/property_page.h"

namespace pm32::control::pages {

PropertySheet::PropertySheet(const QString& title, Objects objects, QWidget* parent)
    : QDialog(parent), tabs_(new QTabWidget(this)) {
    setWindowTitle(title);
    for (std::unique_ptr<PropertyPage>& created : CreateControlPages()) {
        PropertyPage* page = created.release();
        page->setObjects(objects);
        tabs_->addTab(page, page->windowTitle());
    }
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    applyButton_ = buttons->button(QDialogButtonBox::Apply);
    connect(buttons, &QDialogButtonBox::accepted, this, &PropertySheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PropertySheet::reject);
    connect(applyButton_, &QPushButton::clicked, this, [this] { apply(); });
    // Apply is offered while some page differs from what it read.
    for (auto* edit : tabs_->findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textChanged, this, &PropertySheet::updateActions);
    for (auto* edit : tabs_->findChildren<QPlainTextEdit*>())
        connect(edit, &QPlainTextEdit::textChanged, this, &PropertySheet::updateActions);
    for (auto* combo : tabs_->findChildren<QComboBox*>())
        connect(combo, &QComboBox::currentIndexChanged, this, &PropertySheet::updateActions);
    for (auto* check : tabs_->findChildren<QCheckBox*>())
        connect(check, &QCheckBox::toggled, this, &PropertySheet::updateActions);
    for (auto* chooser : tabs_->findChildren<QColorDialog*>())
        connect(chooser, &QColorDialog::currentColorChanged, this, &PropertySheet::updateActions);
    for (auto* chooser : tabs_->findChildren<QFontDialog*>())
        connect(chooser, &QFontDialog::currentFontChanged, this, &PropertySheet::updateActions);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    updateActions();
}

PropertyPage* PropertySheet::page(int index) const {
    return static_cast<PropertyPage*>(tabs_->widget(index));
}

int PropertySheet::pageCount() const { return tabs_->count(); }

bool PropertySheet::apply() {
    for (int i = 0; i < pageCount(); ++i)
        if (!page(i)->apply()) {
            tabs_->setCurrentIndex(i);
            updateActions();
            return false;
        }
    updateActions();
    return true;
}

void PropertySheet::accept() {
    if (apply()) QDialog::accept();
}

std::vector<std::string> PropertySheet::written() const {
    std::vector<std::string> names;
    for (int i = 0; i < pageCount(); ++i)
        for (const std::string& name : page(i)->written())
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    return names;
}

void PropertySheet::updateActions() {
    bool dirty = false;
    for (int i = 0; i < pageCount() && !dirty; ++i) dirty = page(i)->isDirty();
    applyButton_->setEnabled(dirty);
}

}  // namespace pm32::control::pages
