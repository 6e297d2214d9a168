#pragma once

#include <cstdint>
#include <filesystem>

namespace pm32::control {

// Where the module records its classes for containers that look them up:
// PIXMILL_REGISTRY when set, else pixmill32/registry under the user's data
// folder (XDG_DATA_HOME, or ~/.local/share); only absolute paths count, and
// with none the folder is empty and registration fails.
std::filesystem::path RegistryFolder();

// Writes one entry per class the module serves (the control with its values
// of identity, its eight property pages, the data source) and the type
// library's description, each replaced whole or left as it was. Returns 0 or
// the failure's SCODE: SELFREG_E_CLASS for a class entry, SELFREG_E_TYPELIB
// for the type library.
std::int32_t RegisterModule(const std::filesystem::path& folder);

// Removes exactly the entries RegisterModule writes; absent ones are no
// failure. Returns 0 or SELFREG_E_CLASS.
std::int32_t UnregisterModule(const std::filesystem::path& folder);

}  // namespace pm32::control
