#include <QGridLayout>

#include "control/pages/pages.h"

namespace pm32::control::pages {
namespace {

constexpr std::string_view kScrollBars[] = {"0 - None", "1 - Horizontal", "2 - Vertical",
                                            "3 - Both"};

constexpr BindingRow kAuto[] = {
    {207, BindingKind::Check, "AutoScale", "Auto&Scale"},
    {208, BindingKind::Check, "AutoSize", "A&utoSize"},
    {213, BindingKind::Combo, "AutoLoad", {}, {.enumeration = &enums::AutoLoad}},
};
constexpr BindingRow kScale[] = {
    {211, BindingKind::Edit, "ScaleImage"},
    {205, BindingKind::Edit, "ScaleScreen"},
};
constexpr BindingRow kScrollBarRows[] = {
    {209, BindingKind::Combo, "ScrollBars", {}, {.own = kScrollBars}},
    {210, BindingKind::Edit, "ScrollBarsLargeChange"},
    {206, BindingKind::Edit, "ScrollBarsSmallChange"},
};

}  // namespace

ViewPage::ViewPage(QWidget* parent) : PropertyPage(*FindPageClass("ZViewPPG"), parent) {
    auto* layout = new QGridLayout(this);
    addGroup(layout, 0, 0, tr("Auto"), kAuto);
    addGroup(layout, 1, 0, tr("Scale"), kScale);
    addGroup(layout, 0, 1, tr("ScrollBars"), kScrollBarRows);
}

}  // namespace pm32::control::pages
