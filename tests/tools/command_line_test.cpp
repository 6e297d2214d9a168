#include "tools/picbuf/command_line.h"

#include <gtest/gtest.h>

namespace pm32::tools {
namespace {

Options parsed(std::vector<std::string> args) { return ParseCommandLine(args); }

std::string failureOf(std::vector<std::string> args) {
    try {
        ParseCommandLine(args);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "parsed";
}

TEST(PicbufCommandLine, DefaultsToTwoControlsInRunMode) {
    Options options = parsed({"Load"});
    EXPECT_EQ(options.controls, 2);
    EXPECT_FALSE(options.designMode);
    EXPECT_FALSE(options.events);
    EXPECT_FALSE(options.keepGoing);
    EXPECT_FALSE(options.members);
    EXPECT_FALSE(options.help);
    EXPECT_EQ(options.statements, std::vector<std::string>{"Load"});
}

TEST(PicbufCommandLine, OptionsMayStandAnywhereAndStatementsKeepTheirOrder) {
    Options options = parsed({"FileName=a.bmp", "--events", "Load", "--controls", "5",
                              "--keep-going", "Picbuf5.Store", "--design", "--members"});
    EXPECT_EQ(options.controls, 5);
    EXPECT_TRUE(options.events);
    EXPECT_TRUE(options.keepGoing);
    EXPECT_TRUE(options.designMode);
    EXPECT_TRUE(options.members);
    EXPECT_EQ(options.statements,
              (std::vector<std::string>{"FileName=a.bmp", "Load", "Picbuf5.Store"}));
    EXPECT_EQ(parsed({"--controls=64"}).controls, 64);
    EXPECT_TRUE(parsed({"-h"}).help);
}

TEST(PicbufCommandLine, TheControlCountIsChecked) {
    EXPECT_EQ(failureOf({"--controls"}), "--controls needs a number");
    EXPECT_EQ(failureOf({"--controls", "65"}), "--controls needs a number from 1 to 64, not '65'");
    EXPECT_EQ(failureOf({"--controls=3x"}), "--controls needs a number from 1 to 64, not '3x'");
    EXPECT_EQ(failureOf({"--controls="}), "--controls needs a number from 1 to 64, not ''");
    EXPECT_EQ(failureOf({"--controls", "-1"}), "--controls needs a number from 1 to 64, not '-1'");
}

TEST(PicbufCommandLine, UnknownOptionsAreRefused) {
    EXPECT_EQ(failureOf({"Load", "--keepgoing"}), "unknown option --keepgoing");
    EXPECT_EQ(failureOf({"-x"}), "unknown option -x");
}

}  // namespace
}  // namespace pm32::tools
