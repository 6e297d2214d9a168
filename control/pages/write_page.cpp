#include <QGridLayout>

#include "control/pages/pages.h"

namespace pm32::control::pages {
namespace {

constexpr BindingRow kRows[] = {
    {223, BindingKind::Edit, "WriteCompression"},
    {227, BindingKind::Combo, "WriteOption", {}, {.enumeration = &enums::WriteOption}},
};

}  // namespace

WritePage::WritePage(QWidget* parent) : PropertyPage(*FindPageClass("ZWritePPG"), parent) {
    auto* layout = new QGridLayout(this);
    addRows(layout, kRows);
    layout->setRowStretch(layout->rowCount(), 1);
}

}  // namespace pm32::control::pages
