#pragma once

#include <QString>

namespace pm32::viewer {

// The help page shipped beside the program: help/vstl32.html in the
// program's folder.
QString HelpPagePath();

}  // namespace pm32::viewer
