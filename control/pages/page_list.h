#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "control/enumerations.h"

namespace pm32::control::pages {

// The entries of a page's combo box, index = value: the page's own texts
// where its dialog words them differently, else those the enumeration shows
// (its information text, or its published name where it has none).
struct PageList {
    std::span<const std::string_view> own = {};
    const Enumeration* enumeration = nullptr;
};

std::vector<std::string_view> ListTexts(const PageList& list);

}  // namespace pm32::control::pages
