#include "control/pages/page_list.h"

namespace pm32::control::pages {

std::vector<std::string_view> ListTexts(const PageList& list) {
    if (!list.own.empty()) return {list.own.begin(), list.own.end()};
    std::vector<std::string_view> texts;
    if (list.enumeration == nullptr) return texts;
    for (const EnumValue& value : list.enumeration->values)
        texts.push_back(value.infoText.empty() ? value.name : value.infoText);
    return texts;
}

}  // namespace pm32::control::pages
