#pragma once

#include <string>

#include "platform/toolkit_export.h"

namespace pm32::platform {

// Why the system refuses a file, as an errno value (EISDIR for a folder), or
// 0 when it would not: for reading an existing file, and for writing at the
// path, an existing file or a new one in its folder. Asked before an
// operation, or after one failed, to say why in the user's terms.
PM32_TOOLKIT_API int ReadRefusal(const std::string& path);
PM32_TOOLKIT_API int WriteRefusal(const std::string& path);

}  // namespace pm32::platform
