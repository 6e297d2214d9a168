#include <QGridLayout>

#include "control/pages/pages.h"

namespace pm32::control::pages {
namespace {

// The page calls alignment 2 vertical, as the published name does, while the
// information text calls it centred.
constexpr std::string_view kAlignments[] = {"0 - Left", "1 - Right", "2 - Vertical"};

constexpr BindingRow kRows[] = {
    {219, BindingKind::MultiLineEdit, "Text"},
    {220, BindingKind::Combo, "TextAlignment", {}, {.own = kAlignments}},
    {216, BindingKind::Check, "FontTransparent", "&FontTransparent"},
    {221, BindingKind::Check, "TextAutoSize", "TextAuto&Size"},
    {222, BindingKind::Check, "TextExtLeading", "Text&ExtLeading"},
    {223, BindingKind::Check, "TextMultiLine", "Text&MultiLine"},
};

}  // namespace

TextPage::TextPage(QWidget* parent) : PropertyPage(*FindPageClass("ZTextPPG"), parent) {
    addRows(new QGridLayout(this), kRows);
}

}  // namespace pm32::control::pages
