#include "deco/library_version.h"

namespace deco {

const std::int32_t kLibraryMajor = 6;
const std::int32_t kLibraryMinor = 0;

}  // namespace deco
