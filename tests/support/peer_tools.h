#pragma once

#include <string>

namespace pm32::test {

// Runs a shell command; returns its exit status (-1 when it could not run).
int run(const std::string& command);

// ImageMagick's convert, or empty when the build found none.
std::string convertTool();

// Quotes a path for the shell.
std::string quoted(const std::string& text);

}  // namespace pm32::test
