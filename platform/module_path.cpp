#include "platform/module_path.h"

#include <dlfcn.h>

namespace pm32::platform {

std::string ModulePath() {
    Dl_info self{};
    if (dladdr(reinterpret_cast<void*>(&ModulePath), &self) == 0 || self.dli_fname == nullptr)
        return {};
    return self.dli_fname;
}

}  // namespace pm32::platform
