#pragma once

#include <string>

#include "engine/errors.h"
#include "platform/automation/dispatch.h"
#include "tools/picbuf/statement.h"

namespace pm32::tools {

// The line that follows a failed statement's error line: the statement's
// number and text and, for a file error of a member that works on the
// control's file, that file with the system's reason for refusing it, if it
// would refuse it now:
//   "  in statement 2: Load (file "/tmp/a.bmp": No such file or directory)"
std::string FailurePlace(int number, std::string_view text, const Statement& statement,
                         ErrorNumber error, automation::Dispatch& control);

}  // namespace pm32::tools
