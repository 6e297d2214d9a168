#include "control/module_exports.h"

#include "control/identity.h"
#include "control/memory_image.h"
#include "platform/global_memory.h"

extern "C" const char* pm32_module_version() { return pm32::control::kVersion.data(); }

extern "C" std::uint16_t pmx_mem2dib(std::uint32_t memory, std::uint32_t length, std::uint32_t,
                                     std::uint32_t* out, std::uint16_t* outFormat) {
    if (out == nullptr || outFormat == nullptr) return pm32::err::OperationFailure;
    pm32::HGLOBAL dib = 0;
    pm32::ErrorNumber result = pm32::control::DibFromMemory(memory, length, dib, *outFormat);
    *out = dib;
    return result;
}

extern "C" std::uint32_t pm32_global_alloc(std::uint32_t flags, std::size_t bytes) {
    return pm32::platform::GlobalAlloc(flags, bytes);
}

extern "C" void* pm32_global_lock(std::uint32_t block) { return pm32::platform::GlobalLock(block); }

extern "C" int pm32_global_unlock(std::uint32_t block) {
    return pm32::platform::GlobalUnlock(block) ? 1 : 0;
}

extern "C" std::size_t pm32_global_size(std::uint32_t block) {
    return pm32::platform::GlobalSize(block);
}

extern "C" std::uint32_t pm32_global_free(std::uint32_t block) {
    return pm32::platform::GlobalFree(block);
}
