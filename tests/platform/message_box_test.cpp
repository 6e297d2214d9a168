#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/window_registry.h"

namespace pm32::platform {
namespace {

TEST(MessageBoxHook, WithoutAHandlerTheDefaultButtonAnswers) {
    SetMessageBoxHandler({});
    testing::internal::CaptureStderr();
    BoxAnswer answer = MessageBox("text", "caption", MB_ICONHAND | MB_ABORTRETRYIGNORE);
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, BoxAnswer::Abort);
    EXPECT_EQ(printed, "caption: text\n");
    EXPECT_EQ(DefaultAnswer(MB_OKCANCEL), BoxAnswer::Ok);
    EXPECT_EQ(DefaultAnswer(MB_OK), BoxAnswer::Ok);
    EXPECT_EQ(DefaultAnswer(MB_YESNOCANCEL | MB_ICONQUESTION), BoxAnswer::Yes);
    EXPECT_EQ(DefaultAnswer(MB_YESNO), BoxAnswer::Yes);
}

TEST(MessageBoxHook, TheHostsHandlerDecides) {
    std::string seen;
    SetMessageBoxHandler([&](std::string_view text, std::string_view caption, std::uint32_t style) {
        seen = std::string(caption) + "|" + std::string(text) + "|" + std::to_string(style);
        return BoxAnswer::Cancel;
    });
    EXPECT_EQ(MessageBox("t", "c", MB_OKCANCEL), BoxAnswer::Cancel);
    EXPECT_EQ(seen, "c|t|1");
    SetMessageBoxHandler({});
}

TEST(MessageBoxHook, QuitWithoutAHandlerIsKeptForTheHost) {
    ClearPendingQuit();
    PostQuitMessage(1);
    EXPECT_EQ(PendingQuit(), 1);
    int received = 0;
    SetQuitHandler([&](int code) { received = code; });
    ClearPendingQuit();
    PostQuitMessage(3);
    EXPECT_EQ(received, 3);
    EXPECT_FALSE(PendingQuit().has_value());
    SetQuitHandler({});
}

TEST(WindowRegistry, PumpsOnlyLiveWindows) {
    int pumped = 0;
    HWND w = RegisterWindow([&] { ++pumped; });
    EXPECT_TRUE(IsWindow(w));
    PumpWindowMessages(w);
    EXPECT_EQ(pumped, 1);
    EXPECT_TRUE(UnregisterWindow(w));
    EXPECT_FALSE(IsWindow(w));
    PumpWindowMessages(w);
    EXPECT_EQ(pumped, 1);
    EXPECT_FALSE(IsWindow(0));
}

TEST(WindowRegistry, AWindowMayCloseItselfWhilePumping) {
    HWND w = 0;
    w = RegisterWindow([&] { UnregisterWindow(w); });
    PumpWindowMessages(w);
    EXPECT_FALSE(IsWindow(w));
}

}  // namespace
}  // namespace pm32::platform
