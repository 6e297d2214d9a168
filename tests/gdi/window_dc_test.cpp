#include "platform/gdi/window_dc.h"

#include <gtest/gtest.h>

#include "platform/window_registry.h"

namespace pm32::test {
namespace {

using namespace platform::gdi;

TEST(WindowDC, TheCallerOwnsAContextUntilItIsReleased) {
    platform::HWND window = platform::RegisterWindow([] {});
    std::size_t before = LiveWindowDCCount();
    HDC first = GetDC(window);
    HDC second = GetDC(window);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second) << "every call makes a new context";
    EXPECT_EQ(WindowOfDC(first), window);
    EXPECT_FALSE(ReleaseDC(window + 1, first)) << "only with its own window";
    EXPECT_TRUE(ReleaseDC(window, first));
    EXPECT_FALSE(ReleaseDC(window, first)) << "a context goes back once";
    EXPECT_EQ(WindowOfDC(first), 0u);
    EXPECT_TRUE(ReleaseDC(window, second));
    EXPECT_EQ(LiveWindowDCCount(), before);
    platform::UnregisterWindow(window);
    EXPECT_EQ(GetDC(window), 0u) << "no context of a window that is gone";
}

}  // namespace
}  // namespace pm32::test
