#include <QGridLayout>

#include "control/pages/pages.h"

namespace pm32::control::pages {
namespace {

constexpr std::string_view kDrawArrows[] = {"0 - None", "1 - Start of line", "2 - End of line",
                                            "3 - Both ends"};
constexpr std::string_view kFillStyles[] = {
    "0 - Solid",           "1 - Transparent",       "2 - Horizontal Line", "3 - Vertical Line",
    "4 - Upward Diagonal", "5 - Downward Diagonal", "6 - Cross",           "7 - Diagonal"};

constexpr BindingRow kDraw[] = {
    {212, BindingKind::Combo, "DrawArrows", {}, {.own = kDrawArrows}},
    {213, BindingKind::Combo, "DrawStyle", {}, {.enumeration = &enums::DrawStyle}},
    {214, BindingKind::Edit, "DrawWidth"},
};
constexpr BindingRow kFill[] = {
    {215, BindingKind::Combo, "FillStyle", {}, {.own = kFillStyles}},
    {217, BindingKind::Check, "FillTransparent", "Fill&Transparent"},
};

}  // namespace

DrawingPage::DrawingPage(QWidget* parent) : PropertyPage(*FindPageClass("ZGdiPPG"), parent) {
    auto* layout = new QGridLayout(this);
    addGroup(layout, 0, 0, tr("Draw"), kDraw);
    addGroup(layout, 0, 1, tr("Fill"), kFill);
}

}  // namespace pm32::control::pages
