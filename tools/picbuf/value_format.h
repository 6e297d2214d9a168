#pragma once

#include <string>

#include "platform/automation/variant.h"
#include "tools/picbuf/control_set.h"

namespace pm32::tools {

// A value as the container prints it: Booleans as True/False, text as it is,
// numbers in decimal, arrays as [v0,v1,...], fonts in their persisted text
// form, other objects by control name (Nothing for the null object).
std::string FormatValue(const automation::Variant& value, const ControlSet& controls);

}  // namespace pm32::tools
