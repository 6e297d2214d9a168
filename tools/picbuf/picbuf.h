#pragma once

#include <ostream>
#include <span>
#include <string>

namespace pm32::tools {

// The whole picbuf program: parses the command line (without the program
// name), runs the session and returns the exit status.
int RunPicbuf(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace pm32::tools
