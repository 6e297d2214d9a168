#include <QFontDatabase>
#include <QFontDialog>
#include <QVBoxLayout>
#include <cstdlib>

#include "control/pages/pages.h"
#include "platform/automation/automation_error.h"
#include "platform/message_box.h"

namespace pm32::control::pages {
namespace {

using automation::Variant;

// The family's style that has the font's slant and the weight nearest to
// it, so the chooser selects that style rather than its first one. Among
// equals the plainest, shortest name wins ("Book" before "Condensed").
void nameStyle(QFont& font) {
    QString best;
    int bestDistance = 0;
    for (const QString& style : QFontDatabase::styles(font.family())) {
        const QFont candidate = QFontDatabase::font(font.family(), style, 10);
        if (candidate.italic() != font.italic()) continue;
        const int distance = std::abs(candidate.weight() - font.weight());
        if (best.isEmpty() || distance < bestDistance ||
            (distance == bestDistance && style.size() < best.size())) {
            best = style;
            bestDistance = distance;
        }
    }
    if (!best.isEmpty()) font.setStyleName(best);
}

QFont fontOf(automation::Dispatch& font) {
    QFont shown(QString::fromStdString(automation::GetProperty(font, "Name").toString()));
    shown.setPointSizeF(automation::GetProperty(font, "Size").toR8());
    shown.setWeight(static_cast<QFont::Weight>(automation::GetProperty(font, "Weight").toI4()));
    shown.setItalic(automation::GetProperty(font, "Italic").toBool());
    shown.setUnderline(automation::GetProperty(font, "Underline").toBool());
    shown.setStrikeOut(automation::GetProperty(font, "Strikethrough").toBool());
    nameStyle(shown);
    return shown;
}

// Writes what the user changed on the page through the font object's own
// properties, so the control hears of each change and keeps the rest.
void writeFont(automation::Dispatch& font, const QFont& from, const QFont& to) {
    if (to.family() != from.family())
        automation::PutProperty(font, "Name", Variant::String(to.family().toStdString()));
    if (to.pointSizeF() != from.pointSizeF())
        automation::PutProperty(font, "Size", Variant::R8(to.pointSizeF()));
    if (to.weight() != from.weight())
        automation::PutProperty(font, "Weight",
                                Variant::I2(static_cast<std::int16_t>(to.weight())));
    if (to.italic() != from.italic())
        automation::PutProperty(font, "Italic", Variant::Bool(to.italic()));
    if (to.underline() != from.underline())
        automation::PutProperty(font, "Underline", Variant::Bool(to.underline()));
    if (to.strikeOut() != from.strikeOut())
        automation::PutProperty(font, "Strikethrough", Variant::Bool(to.strikeOut()));
}

bool sameFont(const QFont& a, const QFont& b) {
    return a.family() == b.family() && a.pointSizeF() == b.pointSizeF() &&
           a.weight() == b.weight() && a.italic() == b.italic() && a.underline() == b.underline() &&
           a.strikeOut() == b.strikeOut();
}

}  // namespace

FontPage::FontPage(QWidget* parent)
    : PropertyPage(*FindPageClass("StockFontPage"), parent), chooser_(new QFontDialog(this)) {
    chooser_->setObjectName("Font");
    chooser_->setWindowFlags(Qt::Widget);
    chooser_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chooser_);
}

bool FontPage::isDirty() const { return !sameFont(chooser_->currentFont(), loaded_); }

void FontPage::load() {
    if (objects().empty()) return;
    automation::DispatchPtr font = automation::GetProperty(*objects().front(), "Font").toDispatch();
    if (!font) return;
    loaded_ = fontOf(*font);
    chooser_->setCurrentFont(loaded_);
    // The chooser shows the nearest font it has; that is what the page started from.
    loaded_ = chooser_->currentFont();
}

bool FontPage::write() {
    const QFont chosen = chooser_->currentFont();
    if (sameFont(chosen, loaded_)) return true;
    for (const automation::DispatchPtr& object : objects()) {
        try {
            automation::DispatchPtr font = automation::GetProperty(*object, "Font").toDispatch();
            if (font) writeFont(*font, loaded_, chosen);
        } catch (const automation::AutomationError& error) {
            platform::MessageBox(error.description(), "Font",
                                 platform::MB_OK | platform::MB_ICONEXCLAMATION);
            load();
            return false;
        }
    }
    loaded_ = chosen;
    noteWritten("Font");
    return true;
}

}  // namespace pm32::control::pages
