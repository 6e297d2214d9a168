#include "tests/pages/page_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "control/factory.h"
#include "control/pages/page_factory.h"
#include "platform/message_box.h"
#include "tests/window/offscreen_application.h"

namespace pm32::test {

BoxRecorder::BoxRecorder() {
    platform::SetMessageBoxHandler(
        [this](std::string_view text, std::string_view, std::uint32_t style) {
            texts.emplace_back(text);
            return platform::DefaultAnswer(style);
        });
}

BoxRecorder::~BoxRecorder() { platform::SetMessageBoxHandler({}); }

OpenPage::OpenPage(std::string_view progId, bool userMode)
    : site(userMode), control(control::CreatePicbuf(&site)) {
    OffscreenApplication();
    page = control::pages::CreatePropertyPage(progId);
    if (page) page->setObjects({control});
}

automation::Variant OpenPage::get(std::string_view name) const {
    return automation::GetProperty(*control, name);
}

void OpenPage::put(std::string_view name, automation::Variant value) {
    automation::PutProperty(*control, name, std::move(value));
}

void OpenPage::reopen() { page->setObjects({control}); }

QWidget* OpenPage::widget(std::string_view property) const { return page->widgetFor(property); }

std::string Shown(const QWidget* widget) {
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return std::to_string(combo->currentIndex());
    if (const auto* check = qobject_cast<const QCheckBox*>(widget))
        return check->isChecked() ? "1" : "0";
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text().toStdString();
    if (const auto* text = qobject_cast<const QPlainTextEdit*>(widget))
        return text->toPlainText().toStdString();
    return "?";
}

void Enter(QWidget* widget, const std::string& text) {
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        combo->setCurrentIndex(std::stoi(text));
    else if (auto* check = qobject_cast<QCheckBox*>(widget))
        check->setChecked(text == "1");
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(QString::fromStdString(text));
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
        plain->setPlainText(QString::fromStdString(text));
}

}  // namespace pm32::test
