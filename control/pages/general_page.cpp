#include <QGridLayout>

#include "control/pages/pages.h"

namespace pm32::control::pages {
namespace {

constexpr std::string_view kBorderStyles[] = {"None", "FixedSingle"};
constexpr std::string_view kMousePointers[] = {"Pointing Hand",
                                               "Arrow",
                                               "Cross",
                                               "IBeam",
                                               "ICon",
                                               "Size",
                                               "Size NE SW",
                                               "Size N S",
                                               "Size NW SE",
                                               "Size W E",
                                               "Up Arrow",
                                               "Hourglass",
                                               "No Drop",
                                               "Arrow and Hourglass",
                                               "Arrow and Question",
                                               "Size All",
                                               "Custom"};

constexpr BindingRow kLayout[] = {
    {205, BindingKind::Combo, "Appearance", "&Appearance", {.enumeration = &enums::Appearance}},
    {206, BindingKind::Combo, "BorderStyle", "&BorderStyle", {.own = kBorderStyles}},
};
constexpr BindingRow kMouse[] = {
    {203, BindingKind::Combo, "MousePointer", "&MousePointer", {.own = kMousePointers}},
};
constexpr BindingRow kInformation[] = {
    {204, BindingKind::ReadOnlyEdit, "Version", "&Version"},
};

}  // namespace

GeneralPage::GeneralPage(QWidget* parent) : PropertyPage(*FindPageClass("ZGenPPG"), parent) {
    auto* layout = new QGridLayout(this);
    addGroup(layout, 0, 0, tr("Layout"), kLayout);
    addGroup(layout, 1, 0, tr("Mouse"), kMouse);
    addGroup(layout, 0, 1, tr("Information"), kInformation);
}

}  // namespace pm32::control::pages
