#include "engine/progress.h"

#include <gtest/gtest.h>

#include <vector>

namespace pm32 {
namespace {

class WindowGuard {
  public:
    explicit WindowGuard(platform::PumpWaitingMessages pump)
        : window_(platform::RegisterWindow(std::move(pump))) {}
    ~WindowGuard() { platform::UnregisterWindow(window_); }
    platform::HWND get() const { return window_; }

  private:
    platform::HWND window_;
};

TEST(ProgressPump, CallsBackEveryIntervalRowsAfterPumping) {
    std::vector<int> events;
    WindowGuard window([&] { events.push_back(-1); });
    ProgressPump pump;
    pump.SetUp(
        [&](int rows) {
            events.push_back(rows);
            return 1;
        },
        10, window.get());
    pump.Begin();
    for (int row = 0; row < 35; ++row) ASSERT_TRUE(pump.Tick());
    EXPECT_EQ(events, (std::vector<int>{-1, 10, -1, 20, -1, 30}));
    EXPECT_EQ(pump.Interval(), 10);
}

TEST(ProgressPump, BeginStartsTheCountAgain) {
    std::vector<int> rows;
    WindowGuard window([] {});
    ProgressPump pump;
    pump.SetUp(
        [&](int r) {
            rows.push_back(r);
            return 1;
        },
        2, window.get());
    pump.Begin();
    for (int i = 0; i < 3; ++i) pump.Tick();
    pump.Begin();
    for (int i = 0; i < 2; ++i) pump.Tick();
    EXPECT_EQ(rows, (std::vector<int>{2, 2}));
}

TEST(ProgressPump, ACallbackOfZeroCancelsAtThatRow) {
    WindowGuard window([] {});
    ProgressPump pump;
    pump.SetUp([](int) { return 0; }, 3, window.get());
    pump.Begin();
    EXPECT_TRUE(pump.Tick());
    EXPECT_TRUE(pump.Tick());
    EXPECT_FALSE(pump.Tick());
}

TEST(ProgressPump, IsOffWithoutIntervalCallbackOrLiveWindow) {
    int calls = 0;
    auto count = [&](int) {
        ++calls;
        return 0;
    };
    ProgressPump pump;
    {
        WindowGuard window([] {});
        pump.SetUp(count, 0, window.get());
        pump.Begin();
        for (int i = 0; i < 5; ++i) EXPECT_TRUE(pump.Tick());
        pump.SetUp({}, 1, window.get());
        pump.Begin();
        EXPECT_TRUE(pump.Tick());
        pump.SetUp(count, 1, window.get());
    }
    pump.Begin();  // the window has gone since set-up
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(pump.Tick());
    EXPECT_EQ(calls, 0);
}

TEST(ProgressPump, TheFilePumpIsOneProcessWideInstance) {
    EXPECT_EQ(&FileProgressPump(), &FileProgressPump());
}

}  // namespace
}  // namespace pm32
