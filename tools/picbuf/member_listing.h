#pragma once

#include <ostream>

#include "platform/automation/dispatch.h"

namespace pm32::tools {

// Prints a type description: the identity, then one line per member
// ("id property|method Name(params) As Type"), per event and per enumeration.
void PrintMembers(const automation::TypeInfo& info, std::ostream& out);

}  // namespace pm32::tools
