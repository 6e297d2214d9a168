#pragma once

#include <string>

namespace pm32::tools {

// picbuf's manual page in roff: the usage text with its sections, then every
// member's help by group, as `picbuf --help` and `picbuf --help NAME` tell them.
std::string ManualPage();

}  // namespace pm32::tools
