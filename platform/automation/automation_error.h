#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/automation/api_export.h"

namespace pm32::automation {

using SCODE = std::int32_t;

inline constexpr SCODE E_NOTIMPL = static_cast<SCODE>(0x80004001);
inline constexpr SCODE DISP_E_MEMBERNOTFOUND = static_cast<SCODE>(0x80020003);
inline constexpr SCODE DISP_E_TYPEMISMATCH = static_cast<SCODE>(0x80020005);
inline constexpr SCODE DISP_E_UNKNOWNNAME = static_cast<SCODE>(0x80020006);
inline constexpr SCODE DISP_E_OVERFLOW = static_cast<SCODE>(0x8002000A);
inline constexpr SCODE DISP_E_BADPARAMCOUNT = static_cast<SCODE>(0x8002000E);
inline constexpr SCODE DISP_E_PARAMNOTOPTIONAL = static_cast<SCODE>(0x8002000F);
inline constexpr SCODE DISP_E_PARAMNOTFOUND = static_cast<SCODE>(0x80020004);
inline constexpr SCODE REGDB_E_CLASSNOTREG = static_cast<SCODE>(0x80040154);

// SCODE of a control error n: severity error, facility control.
constexpr SCODE ControlScode(std::uint32_t n) {
    return static_cast<SCODE>(0x800A0000u | (n & 0xFFFFu));
}
// Whether an SCODE is a control error, and its number.
constexpr bool IsControlScode(SCODE scode) {
    return (static_cast<std::uint32_t>(scode) & 0xFFFF0000u) == 0x800A0000u;
}
constexpr std::uint32_t ControlErrorNumber(SCODE scode) {
    return static_cast<std::uint32_t>(scode) & 0xFFFFu;
}

// The standard control errors of the framework for unsupported property access.
inline constexpr std::uint32_t CTL_E_SETNOTSUPPORTED = 383;
inline constexpr std::uint32_t CTL_E_GETNOTSUPPORTED = 394;

// An error raised to a late-bound caller: what an automation exception carries.
class PM32_API AutomationError : public std::runtime_error {
  public:
    AutomationError(SCODE scode, std::string description, std::string source = {})
        : std::runtime_error(description),
          scode_(scode),
          description_(std::move(description)),
          source_(std::move(source)) {}

    SCODE scode() const { return scode_; }
    const std::string& description() const { return description_; }
    const std::string& source() const { return source_; }

  private:
    SCODE scode_;
    std::string description_;
    std::string source_;
};

[[noreturn]] PM32_API void ThrowTypeMismatch();
[[noreturn]] PM32_API void ThrowOverflow();
[[noreturn]] PM32_API void ThrowNotImplemented(const std::string& member);

}  // namespace pm32::automation
