#include "deco/library_version.h"

// A build of the decoder that reports an older version, for the reader's version check.
namespace deco {

const std::int32_t kLibraryMajor = 5;
const std::int32_t kLibraryMinor = 2;

}  // namespace deco
