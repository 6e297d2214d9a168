#include "tools/picbuf/control_set.h"

#include <cctype>

namespace pm32::tools {
namespace {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

void ControlSet::add(std::string name, automation::DispatchPtr control) {
    controls_.emplace_back(std::move(name), std::move(control));
}

automation::DispatchPtr ControlSet::find(std::string_view name) const {
    for (const auto& [controlName, control] : controls_)
        if (sameName(controlName, name)) return control;
    return nullptr;
}

std::string_view ControlSet::nameOf(const automation::Dispatch* control) const {
    for (const auto& [controlName, candidate] : controls_)
        if (candidate.get() == control) return controlName;
    return {};
}

}  // namespace pm32::tools
