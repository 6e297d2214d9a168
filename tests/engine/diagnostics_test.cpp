#include "engine/diagnostics.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/message_box.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using platform::BoxAnswer;
using test::TempDir;
using test::writeText;

TEST(DiagnosticGate, LevelTwoShowsKindsZeroOneAndFourOnly) {
    EXPECT_TRUE(DiagnosticShown(2, DiagnosticKind::Hand));
    EXPECT_TRUE(DiagnosticShown(2, DiagnosticKind::Exclamation));
    EXPECT_TRUE(DiagnosticShown(2, DiagnosticKind::Confirm));
    EXPECT_FALSE(DiagnosticShown(2, DiagnosticKind::Memory));
    EXPECT_FALSE(DiagnosticShown(2, DiagnosticKind::Severe));
    EXPECT_FALSE(DiagnosticShown(2, DiagnosticKind::Trace));
}

TEST(DiagnosticGate, NothingAtZeroOrBelowAndEverythingAtHundred) {
    for (int kind = 0; kind <= 5; ++kind) {
        EXPECT_FALSE(DiagnosticShown(0, static_cast<DiagnosticKind>(kind)));
        EXPECT_FALSE(DiagnosticShown(-1, static_cast<DiagnosticKind>(kind)));
        EXPECT_TRUE(DiagnosticShown(100, static_cast<DiagnosticKind>(kind)));
    }
    EXPECT_TRUE(DiagnosticShown(3, DiagnosticKind::Severe));
    EXPECT_FALSE(DiagnosticShown(3, DiagnosticKind::Memory));
    EXPECT_TRUE(DiagnosticShown(5, DiagnosticKind::Trace));
    EXPECT_FALSE(DiagnosticShown(4, DiagnosticKind::Trace));
}

TEST(DiagnosticTexts, MissingStringsStandAsTheirFallbacks) {
    EXPECT_EQ(DiagnosticText(9021),
              "(IDS_RcStringBadRTStringID1:Does Not Exist)9021"
              "(IDS_RcStringBadRTStringID2:Does Not Exist)");
    EXPECT_EQ(DiagnosticText(20101), "The specified file was of the incorrect type or corrupted");
    EXPECT_EQ(DiagnosticCaption(DiagnosticKind::Memory),
              "(IDS_RcStringBadRTStringID1:Does Not Exist)25100"
              "(IDS_RcStringBadRTStringID2:Does Not Exist) "
              "(IDS_RcStringBadRTStringID1:Does Not Exist)25104"
              "(IDS_RcStringBadRTStringID2:Does Not Exist)");
}

TEST(StatusToError, MapsEveryStatus) {
    EXPECT_EQ(StatusToError(0), 0);
    EXPECT_EQ(StatusToError(1), 20102);
    EXPECT_EQ(StatusToError(2), 20165);
    EXPECT_EQ(StatusToError(3), 20166);
    EXPECT_EQ(StatusToError(4), 20101);
    EXPECT_EQ(StatusToError(5), 20167);
    EXPECT_EQ(StatusToError(6), 20146);
    EXPECT_EQ(StatusToError(-1), 20146);
}

// The level is read once per process, so each profile is tried in a fresh child
// process; the child's exit code carries what it saw.
class DiagnosticProfile : public testing::Test {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    // In the child: point the profile at text, report a failure of each kind
    // and exit with a bit set for every kind that showed a box.
    [[noreturn]] static void reportEveryKind(const std::string& profileText) {
        TempDir dir;
        std::string path = dir.path("pixmill.ini");
        writeText(path, profileText);
        ::setenv("PIXMILL_PROFILE", path.c_str(), 1);
        int shown = 0;
        int currentKind = 0;
        platform::SetMessageBoxHandler([&](std::string_view, std::string_view, std::uint32_t) {
            shown |= 1 << currentKind;
            return BoxAnswer::Ignore;
        });
        for (currentKind = 0; currentKind <= 5; ++currentKind)
            reportFailure(err::BadFile, 9021, static_cast<DiagnosticKind>(currentKind));
        std::exit(shown);
    }
};

TEST_F(DiagnosticProfile, NoDebugKeyShowsNothing) {
    EXPECT_EXIT(reportEveryKind("[Pixmill]\nPalette=1\n"), testing::ExitedWithCode(0), "");
}

TEST_F(DiagnosticProfile, DebugZeroShowsEverything) {
    EXPECT_EXIT(reportEveryKind("[Pixmill]\nDebug=0\n"), testing::ExitedWithCode(0b111111), "");
}

TEST_F(DiagnosticProfile, DebugTwoShowsKindsZeroOneFour) {
    EXPECT_EXIT(reportEveryKind("[Pixmill]\nDebug=2\n"), testing::ExitedWithCode(0b010011), "");
}

TEST_F(DiagnosticProfile, TheLevelIsReadOnce) {
    auto child = [] {
        TempDir dir;
        std::string path = dir.path("pixmill.ini");
        writeText(path, "[Pixmill]\nDebug=3\n");
        ::setenv("PIXMILL_PROFILE", path.c_str(), 1);
        int first = DiagnosticLevel();
        writeText(path, "[Pixmill]\nDebug=5\n");
        std::exit(first == 3 && DiagnosticLevel() == 3 ? 0 : 1);
    };
    EXPECT_EXIT(child(), testing::ExitedWithCode(0), "");
}

TEST_F(DiagnosticProfile, TheStoppingAnswerAsksTheHostToQuit) {
    auto child = [] {
        TempDir dir;
        std::string path = dir.path("pixmill.ini");
        writeText(path, "[Pixmill]\nDebug=1\n");
        ::setenv("PIXMILL_PROFILE", path.c_str(), 1);
        platform::SetMessageBoxHandler(
            [](std::string_view, std::string_view, std::uint32_t) { return BoxAnswer::Retry; });
        bool stoppedOnRetry = ReportDiagnostic(9000, DiagnosticKind::Hand);
        bool quitOnRetry = platform::PendingQuit().has_value();
        platform::SetMessageBoxHandler(
            [](std::string_view, std::string_view, std::uint32_t) { return BoxAnswer::Cancel; });
        bool stoppedOnCancel = ReportDiagnostic(9000, DiagnosticKind::Confirm);
        std::exit(!stoppedOnRetry && !quitOnRetry && stoppedOnCancel && platform::PendingQuit() == 1
                      ? 0
                      : 1);
    };
    EXPECT_EXIT(child(), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace pm32
