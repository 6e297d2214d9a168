#include <QGridLayout>

#include "control/pages/pages.h"

namespace pm32::control::pages {
namespace {

constexpr BindingRow kSelect[] = {
    {221, BindingKind::Edit, "SelectLeft"},
    {222, BindingKind::Edit, "SelectTop"},
    {223, BindingKind::Edit, "SelectWidth"},
    {224, BindingKind::Edit, "SelectHeight"},
};
constexpr BindingRow kPrint[] = {
    {228, BindingKind::Edit, "PrintLeft"},
    {227, BindingKind::Edit, "PrintTop"},
    {226, BindingKind::Edit, "PrintWidth"},
    {225, BindingKind::Edit, "PrintHeight"},
};

}  // namespace

SelectPage::SelectPage(QWidget* parent) : PropertyPage(*FindPageClass("ZSelPPG"), parent) {
    auto* layout = new QGridLayout(this);
    addGroup(layout, 0, 0, tr("Select"), kSelect);
    addGroup(layout, 0, 1, tr("Print"), kPrint);
}

}  // namespace pm32::control::pages
