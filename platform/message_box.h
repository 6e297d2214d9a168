#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/toolkit_export.h"

namespace pm32::platform {

inline constexpr std::uint32_t MB_OK = 0x0000;
inline constexpr std::uint32_t MB_OKCANCEL = 0x0001;
inline constexpr std::uint32_t MB_ABORTRETRYIGNORE = 0x0002;
inline constexpr std::uint32_t MB_YESNOCANCEL = 0x0003;
inline constexpr std::uint32_t MB_YESNO = 0x0004;
inline constexpr std::uint32_t MB_ICONHAND = 0x0010;
inline constexpr std::uint32_t MB_ICONQUESTION = 0x0020;
inline constexpr std::uint32_t MB_ICONEXCLAMATION = 0x0030;

enum class BoxAnswer { Ok, Cancel, Abort, Retry, Ignore, Yes, No };

// What a host shows for a message box and the button the user chose.
using MessageBoxHandler =
    std::function<BoxAnswer(std::string_view text, std::string_view caption, std::uint32_t style)>;

// Installs the host's handler; an empty function restores the default, which
// writes the caption and text as one line on stderr and takes the box's
// default (first) button.
PM32_TOOLKIT_API void SetMessageBoxHandler(MessageBoxHandler handler);

PM32_TOOLKIT_API BoxAnswer MessageBox(std::string_view text, std::string_view caption,
                                      std::uint32_t style);

// The first button of a box of this style, which is its default answer.
BoxAnswer DefaultAnswer(std::uint32_t style);

// Asks the host to end its message loop with an exit code. Without a quit
// handler the request is kept for a host without a loop to read.
using QuitHandler = std::function<void(int exitCode)>;
void SetQuitHandler(QuitHandler handler);
void PostQuitMessage(int exitCode);
std::optional<int> PendingQuit();
void ClearPendingQuit();

}  // namespace pm32::platform
