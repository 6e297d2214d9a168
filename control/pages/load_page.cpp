#include <QGridLayout>

#include "control/pages/pages.h"

namespace pm32::control::pages {
namespace {

// Five options where the published enumeration names three: values 3 and 4
// load at 4 bits.
constexpr std::string_view kLoadOptions[] = {"0 - 24 Bit", "1 - 8 Bit Dithered",
                                             "2 - 4 Bit Dithered", "3 - 8 Bit Non-Dithered",
                                             "4 - 4 Bit Non-Dithered"};
constexpr std::string_view kLoadScales[] = {"0 - Full Scale", "1 - Half Scale", "2 - Double Scale",
                                            "3 - Ignore Scale"};

constexpr BindingRow kCrop[] = {
    {204, BindingKind::Edit, "LoadCropX"},
    {229, BindingKind::Edit, "LoadCropY"},
    {230, BindingKind::Edit, "LoadCropWidth"},
    {231, BindingKind::Edit, "LoadCropHeight"},
};
constexpr BindingRow kSize[] = {
    {233, BindingKind::Edit, "LoadWidth"},
    {234, BindingKind::Edit, "LoadHeight"},
    {235, BindingKind::Combo, "LoadOptions", {}, {.own = kLoadOptions}},
    {236, BindingKind::Combo, "LoadScale", {}, {.own = kLoadScales}},
    {232, BindingKind::Check, "LoadFastest", "LoadFastest"},
};

}  // namespace

LoadPage::LoadPage(QWidget* parent) : PropertyPage(*FindPageClass("ZLoadPPG"), parent) {
    auto* layout = new QGridLayout(this);
    addGroup(layout, 0, 0, tr("Crop"), kCrop);
    auto* rest = new QGridLayout;
    addRows(rest, kSize);
    layout->addLayout(rest, 0, 1);
}

}  // namespace pm32::control::pages
