#include "tools/picbuf/control_set.h"

#include "platform/text_compare.h"

namespace pm32::tools {
void ControlSet::add(std::string name, automation::DispatchPtr control) {
    controls_.emplace_back(std::move(name), std::move(control));
}

void ControlSet::addObject(std::string name, automation::DispatchPtr object) {
    objects_.emplace_back(std::move(name), std::move(object));
}

automation::DispatchPtr ControlSet::find(std::string_view name) const {
    for (const auto* list : {&controls_, &objects_})
        for (const auto& [controlName, control] : *list)
            if (platform::EqualsIgnoringCase(controlName, name)) return control;
    return nullptr;
}

std::string_view ControlSet::nameOf(const automation::Dispatch* control) const {
    for (const auto* list : {&controls_, &objects_})
        for (const auto& [controlName, candidate] : *list)
            if (candidate.get() == control) return controlName;
    return {};
}

}  // namespace pm32::tools
