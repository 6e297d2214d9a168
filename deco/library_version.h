#pragma once

#include <cstdint>

namespace deco {

// The version ordinal 27 reports; each build of the library links one definition.
extern const std::int32_t kLibraryMajor;
extern const std::int32_t kLibraryMinor;

}  // namespace deco
