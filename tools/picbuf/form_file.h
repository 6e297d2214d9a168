#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/picbuf/control_set.h"

namespace pm32::tools {

// A form file keeps every control's persisted properties: a line "[Name]"
// opens a control's section, followed by that control's property bag, one
// "Property=value" line each, as the control writes it.

class FormError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::string FormText(const ControlSet& controls);

// Gives each section to the control of its name, through the control's own
// property exchange; throws FormError for a section naming no control, a
// line outside any section, or a control that keeps no properties.
void LoadForm(std::string_view text, const ControlSet& controls);

// The same from and to a file; throws FormError when it cannot be read or
// written, with the system's reason.
void LoadFormFile(const std::string& path, const ControlSet& controls);
void SaveFormFile(const std::string& path, const ControlSet& controls);

}  // namespace pm32::tools
