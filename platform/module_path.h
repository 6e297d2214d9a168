#pragma once

#include <string>

namespace pm32::platform {

// The file the toolkit's code was loaded from (libpm32, or the program that
// carries the engine itself), as the loader names it; empty when unknown.
std::string ModulePath();

}  // namespace pm32::platform
