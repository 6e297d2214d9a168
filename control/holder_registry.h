#pragma once

#include <cstdint>

#include "control/dib_holder.h"
#include "control/zpal.h"

namespace pm32::control {

// The 32-bit ids behind pZDib and pZPal: another control in the process
// resolves them; a stale id resolves to nothing.
std::uint32_t RegisterDibHolder(ZDibHolder* holder);
std::uint32_t RegisterPalHolder(ZPal* holder);
void UnregisterHolder(std::uint32_t id);
ZDibHolder* ResolveDibHolder(std::uint32_t id);
ZPal* ResolvePalHolder(std::uint32_t id);

}  // namespace pm32::control
