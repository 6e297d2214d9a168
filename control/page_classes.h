#pragma once

#include <span>
#include <string_view>

namespace pm32::control {

// A property page class the module registers: the names it is known by, the
// caption of its tab and the dialog it was laid out as.
struct PageClass {
    std::string_view className;
    std::string_view progId;
    std::string_view classId;
    std::string_view typeName;
    std::string_view caption;
    int dialogId = 0;  // 0 for the stock pages, which have no dialog of ours
};

// The pages the control lists, in its order: General, Picture, Load, Write,
// Select, View, Drawing, Text, then the stock font and colour pages.
std::span<const PageClass> ControlPages();

}  // namespace pm32::control
