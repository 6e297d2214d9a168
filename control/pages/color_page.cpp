#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "control/pages/pages.h"
#include "platform/automation/automation_error.h"
#include "platform/automation/ole_color.h"
#include "platform/message_box.h"

namespace pm32::control::pages {
namespace {

// The control's colour properties, as the stock page lists them.
constexpr std::string_view kColorProperties[] = {"BackColor", "FillColor", "ForeColor"};

QColor shown(std::uint32_t oleColor) {
    std::uint32_t bgr = automation::TranslateOleColor(oleColor);
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

std::uint32_t oleColorOf(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) |
           static_cast<std::uint32_t>(color.green()) << 8 |
           static_cast<std::uint32_t>(color.blue()) << 16;
}

}  // namespace

ColorPage::ColorPage(QWidget* parent)
    : PropertyPage(*FindPageClass("StockColorPage"), parent),
      properties_(new QComboBox(this)),
      chooser_(new QColorDialog(this)) {
    properties_->setObjectName("Properties");
    for (std::string_view name : kColorProperties)
        if (const MemberRow* member = FindMember(name))
            properties_->addItem(QString::fromUtf8(member->name.data(),
                                                   static_cast<qsizetype>(member->name.size())));
    chooser_->setObjectName("Color");
    chooser_->setWindowFlags(Qt::Widget);
    chooser_->setOptions(QColorDialog::NoButtons | QColorDialog::DontUseNativeDialog);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("&Properties"), this);
    label->setBuddy(properties_);
    layout->addWidget(label);
    layout->addWidget(properties_);
    layout->addWidget(chooser_);
    connect(properties_, &QComboBox::currentIndexChanged, this, &ColorPage::showProperty);
    connect(chooser_, &QColorDialog::currentColorChanged, this, &ColorPage::choose);
}

bool ColorPage::isDirty() const { return chosen_ != loaded_; }

void ColorPage::load() {
    loaded_.clear();
    if (objects().empty()) return;
    for (int i = 0; i < properties_->count(); ++i)
        loaded_.push_back(static_cast<std::uint32_t>(
            automation::GetProperty(*objects().front(), properties_->itemText(i).toStdString())
                .toI4()));
    chosen_ = loaded_;
    showProperty(properties_->currentIndex());
}

bool ColorPage::write() {
    for (std::size_t i = 0; i < chosen_.size(); ++i) {
        if (chosen_[i] == loaded_[i]) continue;
        const std::string name = properties_->itemText(static_cast<int>(i)).toStdString();
        try {
            for (const automation::DispatchPtr& object : objects())
                automation::PutProperty(
                    *object, name, automation::Variant::I4(static_cast<std::int32_t>(chosen_[i])));
        } catch (const automation::AutomationError& error) {
            platform::MessageBox(error.description(), name,
                                 platform::MB_OK | platform::MB_ICONEXCLAMATION);
            load();
            return false;
        }
        loaded_[i] = chosen_[i];
        noteWritten(name);
    }
    return true;
}

void ColorPage::showProperty(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= chosen_.size()) return;
    // Showing a colour is not choosing it: a system colour stays one until changed.
    const QSignalBlocker quiet(chooser_);
    chooser_->setCurrentColor(shown(chosen_[static_cast<std::size_t>(index)]));
}

void ColorPage::choose(const QColor& color) {
    const int index = properties_->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= chosen_.size()) return;
    chosen_[static_cast<std::size_t>(index)] = oleColorOf(color);
}

}  // namespace pm32::control::pages
