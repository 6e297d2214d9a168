#include "formats/deco_library.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/module_path.h"

namespace pm32 {
namespace {

constexpr const char* kLibraryName = "libdeco32.so";

std::vector<std::string> candidatePaths() {
    std::vector<std::string> paths;
    if (const char* chosen = std::getenv("PIXMILL_DECO"); chosen != nullptr && *chosen != '\0')
        paths.emplace_back(chosen);
    const std::string module = platform::ModulePath();
    if (auto slash = module.find_last_of('/'); slash != std::string::npos)
        paths.push_back(module.substr(0, slash + 1) + kLibraryName);
    paths.emplace_back(kLibraryName);  // no slash: the system's search path
    return paths;
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return path.find('/') != std::string::npos && stat(path.c_str(), &info) == 0;
}

template <typename Function>
bool take(DecoOrdinalEntry entry, std::int32_t ordinal, Function& function) {
    function = reinterpret_cast<Function>(entry(ordinal));
    return function != nullptr;
}

bool takeAll(DecoOrdinalEntry entry, DecoFunctions& f) {
    return take(entry, 1, f.create) && take(entry, 2, f.free) && take(entry, 3, f.open) &&
           take(entry, 5, f.setTable) && take(entry, 9, f.storedSize) &&
           take(entry, 11, f.setOutputSize) && take(entry, 13, f.setOutputFormat) &&
           take(entry, 14, f.decode) && take(entry, 15, f.tableName) &&
           take(entry, 17, f.setProgress) && take(entry, 18, f.fastestSize) &&
           take(entry, 20, f.setDither) && take(entry, 23, f.colorTable) &&
           take(entry, 24, f.setPalette) && take(entry, 26, f.fixedPalette) &&
           take(entry, 27, f.version) && take(entry, 28, f.checkFile);
}

}  // namespace

DecoLibrary::DecoLibrary() {
    bool sawUnloadable = false;
    for (const std::string& path : candidatePaths()) {
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_ != nullptr) break;
        sawUnloadable = sawUnloadable || fileExists(path);
    }
    if (handle_ == nullptr) {
        error_ = sawUnloadable ? err::FifDecoderBad : err::FifDecoderMissing;
        return;
    }
    auto entry = reinterpret_cast<DecoOrdinalEntry>(dlsym(handle_, DECO32_ENTRY_NAME));
    if (entry == nullptr || !takeAll(entry, functions_)) {
        functions_ = {};
        error_ = err::FifDecoderBad;
    }
}

DecoLibrary::~DecoLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

}  // namespace pm32
