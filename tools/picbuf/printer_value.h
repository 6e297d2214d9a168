#pragma once

#include <cstdint>
#include <string>

namespace pm32::tools {

// The statement with every "$printer" replaced by the printer's context.
std::string WithPrinter(const std::string& statement, std::uint32_t context);

}  // namespace pm32::tools
