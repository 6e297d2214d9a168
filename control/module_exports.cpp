#include "control/module_exports.h"

#include "control/identity.h"

extern "C" const char* pm32_module_version() { return pm32::control::kVersion.data(); }
