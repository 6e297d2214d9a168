#include "tests/support/peer_tools.h"

#include <sys/wait.h>

#include <cstdlib>

namespace pm32::test {

int run(const std::string& command) {
    int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

std::string convertTool() {
    std::string tool = PM32_CONVERT;
    return tool.find("NOTFOUND") == std::string::npos ? tool : std::string();
}

::testing::TestPartResult::Type missingPeerOutcome() {
    const char* required = std::getenv("PM32_REQUIRE_PEERS");
    bool fail = required != nullptr && *required != '\0' && std::string(required) != "0";
    return fail ? ::testing::TestPartResult::kFatalFailure : ::testing::TestPartResult::kSkip;
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

}  // namespace pm32::test
