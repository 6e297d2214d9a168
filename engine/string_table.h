#pragma once

#include <optional>
#include <string_view>

namespace pm32 {

// The module's compiled-in string table: the message of error n is string n.
std::optional<std::string_view> LoadResourceString(unsigned id);

}  // namespace pm32
