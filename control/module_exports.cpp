#include "control/module_exports.h"

#include "control/factory.h"
#include "control/identity.h"
#include "control/memory_image.h"
#include "control/module_lifetime.h"
#include "control/pm32.h"
#include "control/registration.h"
#include "platform/global_memory.h"
#include "platform/text_compare.h"

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

extern "C" std::int32_t DllRegisterServer() {
    return pm32::control::RegisterModule(pm32::control::RegistryFolder());
}

extern "C" std::int32_t DllUnregisterServer() {
    return pm32::control::UnregisterModule(pm32::control::RegistryFolder());
}

extern "C" std::int32_t DllGetClassObject(const char* classId, const char* interfaceId,
                                          void** object) {
    using pm32::platform::EqualsIgnoringCase;
    if (object == nullptr) return pm32::E_POINTER;
    *object = nullptr;
    if (classId == nullptr || !pm32::control::IsControlClassId(classId))
        return pm32::CLASS_E_CLASSNOTAVAILABLE;
    if (interfaceId == nullptr || (!EqualsIgnoringCase(interfaceId, pm32::IID_IClassFactory) &&
                                   !EqualsIgnoringCase(interfaceId, pm32::IID_IUnknown)))
        return pm32::E_NOINTERFACE;
    *object = new pm32::ClassFactory(classId);
    return pm32::S_OK;
}

extern "C" std::int32_t DllCanUnloadNow() {
    return pm32::control::ModuleInUse() ? pm32::S_FALSE : pm32::S_OK;
}
