#include "platform/message_box.h"

#include <cstdio>
#include <string>

namespace pm32::platform {
namespace {

MessageBoxHandler& boxHandler() {
    static MessageBoxHandler handler;
    return handler;
}

QuitHandler& quitHandler() {
    static QuitHandler handler;
    return handler;
}

std::optional<int>& pendingQuit() {
    static std::optional<int> code;
    return code;
}

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler) { boxHandler() = std::move(handler); }

BoxAnswer DefaultAnswer(std::uint32_t style) {
    switch (style & 0x0F) {
        case MB_ABORTRETRYIGNORE:
            return BoxAnswer::Abort;
        case MB_YESNOCANCEL:
        case MB_YESNO:
            return BoxAnswer::Yes;
        default:
            return BoxAnswer::Ok;
    }
}

BoxAnswer MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) {
    if (boxHandler()) return boxHandler()(text, caption, style);
    std::string line = std::string(caption) + ": " + std::string(text) + "\n";
    std::fputs(line.c_str(), stderr);
    return DefaultAnswer(style);
}

void SetQuitHandler(QuitHandler handler) { quitHandler() = std::move(handler); }

void PostQuitMessage(int exitCode) {
    if (quitHandler()) {
        quitHandler()(exitCode);
        return;
    }
    pendingQuit() = exitCode;
}

std::optional<int> PendingQuit() { return pendingQuit(); }

void ClearPendingQuit() { pendingQuit().reset(); }

}  // namespace pm32::platform
