#include "control/module_exports.h"

#include "control/identity.h"
#include "control/memory_image.h"

extern "C" const char* pm32_module_version() { return pm32::control::kVersion.data(); }

extern "C" std::uint16_t pmx_mem2dib(std::uint32_t memory, std::uint32_t length, std::uint32_t,
                                     std::uint32_t* out, std::uint16_t* outFormat) {
    if (out == nullptr || outFormat == nullptr) return pm32::err::OperationFailure;
    pm32::HGLOBAL dib = 0;
    pm32::ErrorNumber result = pm32::control::DibFromMemory(memory, length, dib, *outFormat);
    *out = dib;
    return result;
}
