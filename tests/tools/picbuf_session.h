#pragma once

#include <string>
#include <vector>

namespace pm32::tools {

// What one in-process picbuf run gave back.
struct Session {
    int status;
    std::string out;
    std::string err;
};

Session run(std::vector<std::string> args);

}  // namespace pm32::tools
