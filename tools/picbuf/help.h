#pragma once

#include <ostream>
#include <string_view>

namespace pm32::tools {

// Prints the usage (no topic), the members by group ("members") or one
// member's help; an unknown topic is a usage error. Returns the exit status.
int PrintHelp(std::string_view topic, std::ostream& out, std::ostream& err);

}  // namespace pm32::tools
