#include "platform/profile.h"

#include <gtest/gtest.h>

namespace pm32::platform {
namespace {

TEST(Profile, ReadsKeysWithoutCaseAndWithBlanks) {
    Profile p =
        Profile::parse("; comment\n[Other]\nDebug=7\n[ Pixmill ]\r\n  debug = 3  \r\nPalette=1\n");
    EXPECT_EQ(p.intValue("PIXMILL", "Debug", -1), 3);
    EXPECT_EQ(p.intValue("pixmill", "palette", -1), 1);
    EXPECT_EQ(p.intValue("Other", "Debug", -1), 7);
    EXPECT_EQ(p.intValue("Pixmill", "Missing", -1), -1);
}

TEST(Profile, IntegersTakeTheLeadingDigits) {
    Profile p = Profile::parse("[s]\na=12abc\nb=abc\nc=-4\nd=\ne=99999999999\n");
    EXPECT_EQ(p.intValue("s", "a", -1), 12);
    EXPECT_EQ(p.intValue("s", "b", -1), 0);
    EXPECT_EQ(p.intValue("s", "c", -1), -4);
    EXPECT_EQ(p.intValue("s", "d", -1), 0);
    EXPECT_EQ(p.intValue("s", "e", -1), 0x7FFFFFFF);
}

TEST(Profile, FirstOccurrenceOfAKeyWins) {
    Profile p = Profile::parse("[s]\nk=1\nk=2\n[s]\nk=3\n");
    EXPECT_EQ(p.intValue("s", "k", 0), 1);
}

TEST(Profile, MissingFileIsAnEmptyProfile) {
    Profile p = Profile::readFile("/nonexistent/dir/pixmill.ini");
    EXPECT_FALSE(p.value("Pixmill", "Debug").has_value());
}

TEST(Profile, PathComesFromTheEnvironment) {
    ::setenv("PIXMILL_PROFILE", "/tmp/somewhere.ini", 1);
    EXPECT_EQ(ProfilePath(), "/tmp/somewhere.ini");
    ::unsetenv("PIXMILL_PROFILE");
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(ProfilePath(), "/cfg/pixmill32/pixmill.ini");
}

}  // namespace
}  // namespace pm32::platform
