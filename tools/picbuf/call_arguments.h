#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "platform/automation/variant.h"

namespace pm32::tools {

// The arguments of one call in published order. An array goes by reference
// to a variable kept here, so what the callee writes into it, or puts in its
// place, can be read after the call.
class CallArguments {
  public:
    void add(automation::Variant value);
    void addArray(automation::ArrayPtr array);

    std::span<automation::Variant> values() { return values_; }

    // Each array argument with its position counted from 1, as it is now.
    std::vector<std::pair<std::size_t, const automation::Variant*>> arrays() const;

  private:
    std::vector<automation::Variant> values_;
    // Boxed so the references in values_ stay valid as arguments are added.
    std::vector<std::pair<std::size_t, std::unique_ptr<automation::Variant>>> arrays_;
};

}  // namespace pm32::tools
