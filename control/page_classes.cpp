#include "control/page_classes.h"

namespace pm32::control {
namespace {

// The class ids are ours; they follow the control's own.
constexpr PageClass kPages[] = {
    {"ZGenPPG", "Pm32.ZGenPPG", "{970B41E4-F71E-11CE-B134-444553540000}", "ZGenPPG Property Page",
     "General", 202},
    {"ZIoPPG", "Pm32.ZIoPPG", "{970B41E9-F71E-11CE-B134-444553540000}", "ZIoPPG Property Page",
     "Picture", 214},
    {"ZLoadPPG", "Pm32.ZLoadPPG", "{970B41EA-F71E-11CE-B134-444553540000}",
     "ZLoadPPG Property Page", "Load", 219},
    {"ZWritePPG", "Pm32.ZWritePPG", "{970B41EB-F71E-11CE-B134-444553540000}",
     "ZWritePPG Property Page", "Write", 221},
    {"ZSelPPG", "Pm32.ZSelPPG", "{970B41E8-F71E-11CE-B134-444553540000}", "ZSelPPG Property Page",
     "Select", 213},
    {"ZViewPPG", "Pm32.ZViewPPG", "{970B41E5-F71E-11CE-B134-444553540000}",
     "ZViewPPG Property Page", "View", 204},
    {"ZGdiPPG", "Pm32.ZGdiPPG", "{970B41E6-F71E-11CE-B134-444553540000}", "ZGdiPPG Property Page",
     "Drawing", 210},
    {"ZTextPPG", "Pm32.ZTextPPG", "{970B41E7-F71E-11CE-B134-444553540000}",
     "ZTextPPG Property Page", "Text", 207},
    // The framework's stock pages, which every control may list.
    {"StockFontPage", "Pm32.StockFontPage", "{0BE35200-8F91-11CE-9DE3-00AA004BB851}",
     "Font Property Page", "Font", 0},
    {"StockColorPage", "Pm32.StockColorPage", "{0BE35201-8F91-11CE-9DE3-00AA004BB851}",
     "Color Property Page", "Color", 0},
};

}  // namespace

std::span<const PageClass> ControlPages() { return kPages; }

}  // namespace pm32::control
