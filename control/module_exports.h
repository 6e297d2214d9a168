#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/automation/api_export.h"

extern "C" {

// The module's version text, "1.0.1.13", for loaders that check what they got.
PM32_API const char* pm32_module_version();

// Turns the first length bytes of the memory block (a GIF file, or a
// database OLE-object field holding a Paintbrush bitmap) into a new DIB,
// whose handle goes to *out; the caller owns it. *outFormat receives 4 for
// GIF, 8 for a Paintbrush object. Returns 0 or the error number; null out
// pointers give err::OperationFailure without reading the block.
PM32_API std::uint16_t pmx_mem2dib(std::uint32_t memory, std::uint32_t length,
                                   std::uint32_t reserved, std::uint32_t* out,
                                   std::uint16_t* outFormat);

// The movable memory blocks images and files travel in between a program and
// the controls (hDib, pmx_mem2dib): 32-bit handles, never 0, with lock counts.
// Allocation returns 0 for a size of 0 or one that cannot be had; a lock
// returns null for a stale or foreign handle; free returns 0, or the handle
// when it names no live block.
PM32_API std::uint32_t pm32_global_alloc(std::uint32_t flags, std::size_t bytes);
PM32_API void* pm32_global_lock(std::uint32_t block);
PM32_API int pm32_global_unlock(std::uint32_t block);
PM32_API std::size_t pm32_global_size(std::uint32_t block);
PM32_API std::uint32_t pm32_global_free(std::uint32_t block);

// The module as a component loader drives it. Results are SCODEs: S_OK, or
// S_FALSE, or a failure below.
// Records the module's classes (the control, its eight property pages, the
// data source) and its type library in the registry folder: PIXMILL_REGISTRY,
// else pixmill32/registry under the user's data folder (absolute paths only).
// Entries are replaced whole; a failure leaves earlier ones as they were.
PM32_API std::int32_t DllRegisterServer();
// Removes what DllRegisterServer recorded; absent entries are no failure.
PM32_API std::int32_t DllUnregisterServer();
// The class object of classId ("{...}", any case) as interface interfaceId
// (IClassFactory or IUnknown), a new pm32::ClassFactory with one reference, to
// *object; null there for any failure.
PM32_API std::int32_t DllGetClassObject(const char* classId, const char* interfaceId,
                                        void** object);
// S_OK when no object the module handed out and no server lock remains, else
// S_FALSE.
PM32_API std::int32_t DllCanUnloadNow();
}

namespace pm32 {

inline constexpr std::int32_t S_OK = 0;
inline constexpr std::int32_t S_FALSE = 1;
inline constexpr std::int32_t E_FAIL = static_cast<std::int32_t>(0x80004005);
inline constexpr std::int32_t E_NOINTERFACE = static_cast<std::int32_t>(0x80004002);
inline constexpr std::int32_t E_POINTER = static_cast<std::int32_t>(0x80004003);
inline constexpr std::int32_t CLASS_E_CLASSNOTAVAILABLE = static_cast<std::int32_t>(0x80040111);
inline constexpr std::int32_t SELFREG_E_TYPELIB = static_cast<std::int32_t>(0x80040200);
inline constexpr std::int32_t SELFREG_E_CLASS = static_cast<std::int32_t>(0x80040201);

inline constexpr const char* IID_IUnknown = "{00000000-0000-0000-C000-000000000046}";
inline constexpr const char* IID_IClassFactory = "{00000001-0000-0000-C000-000000000046}";

}  // namespace pm32
