#pragma once

#include <cstdint>
#include <string_view>

namespace pm32::control {

inline constexpr std::string_view kClassId = "{970B41E3-F71E-11CE-B134-444553540000}";
inline constexpr std::string_view kDispatchInterfaceId = "{970B41E1-F71E-11CE-B134-444553540000}";
inline constexpr std::string_view kEventInterfaceId = "{970B41E2-F71E-11CE-B134-444553540000}";
inline constexpr std::string_view kTypeLibraryId = "{970B41E0-F71E-11CE-B134-444553540000}";
inline constexpr std::string_view kTypeLibraryVersion = "1.0";
inline constexpr std::string_view kProgId = "Pixmill32.Picbuf.1";
inline constexpr std::string_view kDataSourceProgId = "Pixmill32.DataSource.1";
// Ours, after the property pages' ids.
inline constexpr std::string_view kDataSourceClassId = "{970B41EC-F71E-11CE-B134-444553540000}";
inline constexpr std::string_view kDataSourceTypeName = "Pixmill32 Data Source";
inline constexpr std::string_view kTypeLibraryName = "pm32Lib";
// SETCLIENTSITEFIRST, SIMPLEFRAME, ACTIVATEWHENVISIBLE, INSIDEOUT, CANTLINKINSIDE,
// RECOMPOSEONRESIZE.
inline constexpr std::uint32_t kMiscStatus = 0x30191;
inline constexpr std::string_view kTypeName = "Pixmill32 Control";
inline constexpr std::string_view kVersion = "1.0.1.13";
inline constexpr std::int16_t kPicbufId = 23145;
inline constexpr std::int32_t kPropertySetVersion = 0x10000;

}  // namespace pm32::control
