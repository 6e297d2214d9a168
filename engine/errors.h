#pragma once

#include <cstdint>

#include "engine/error_table.h"

namespace pm32 {

// A 16-bit error number; 0 is success and the message of n is string n.
using ErrorNumber = std::uint16_t;

namespace err {
inline constexpr ErrorNumber None = 0;
#define PM32_ERROR_NAME(name, number, message) inline constexpr ErrorNumber name = number;
PM32_ERROR_TABLE(PM32_ERROR_NAME)
#undef PM32_ERROR_NAME
}  // namespace err

}  // namespace pm32
