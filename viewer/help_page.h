#pragma once

#include <QString>

namespace pm32::viewer {

// The help page: help/vstl32.html in the program's folder when it runs from
// its build, else the installed copy among the package's documents.
QString HelpPagePath();

}  // namespace pm32::viewer
