#include "tools/picbuf/call_arguments.h"

namespace pm32::tools {

using automation::Variant;

void CallArguments::add(Variant value) { values_.push_back(std::move(value)); }

void CallArguments::addArray(automation::ArrayPtr array) {
    auto variable = std::make_unique<Variant>(Variant::Array(std::move(array)));
    values_.push_back(Variant::Ref(variable.get()));
    arrays_.emplace_back(values_.size(), std::move(variable));
}

std::vector<std::pair<std::size_t, const Variant*>> CallArguments::arrays() const {
    std::vector<std::pair<std::size_t, const Variant*>> result;
    for (const auto& [position, variable] : arrays_) result.emplace_back(position, variable.get());
    return result;
}

}  // namespace pm32::tools
