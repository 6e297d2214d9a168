#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace pm32::test {

// A program started in the background for the length of a test (a private
// server); it is stopped with SIGTERM and reaped when the guard goes.
class ChildProcess {
  public:
    // Starts argv[0] (looked up on PATH) with its output appended to logPath.
    ChildProcess(const std::vector<std::string>& argv, const std::string& logPath);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    // False once the program has ended on its own.
    bool running();

  private:
    pid_t pid_ = -1;
};

// A loopback TCP port nobody listens on at the moment of asking.
int freeLoopbackPort();

}  // namespace pm32::test
