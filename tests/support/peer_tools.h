#pragma once

#include <gtest/gtest.h>

#include <string>

namespace pm32::test {

// Runs a shell command; returns its exit status (-1 when it could not run).
int run(const std::string& command);

// ImageMagick's convert, or empty when the build found none.
std::string convertTool();

// What a missing peer tool makes of a test: a skip on a developer's machine, a
// fatal failure where PM32_REQUIRE_PEERS is set (as CI sets it), so an oracle
// that vanished from the machine cannot pass unnoticed.
::testing::TestPartResult::Type missingPeerOutcome();

// Quotes a path for the shell.
std::string quoted(const std::string& text);

}  // namespace pm32::test

// Ends the test for a missing peer tool, as GTEST_SKIP() does, streaming the
// reason: `if (convert.empty()) PM32_MISSING_PEER() << "convert was not found";`.
#define PM32_MISSING_PEER() return GTEST_MESSAGE_("", ::pm32::test::missingPeerOutcome())
