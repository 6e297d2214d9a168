#pragma once

#include <memory>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace pm32::tools {

// A CUPS scheduler of the test's own: its configuration, spool, cache and logs
// in a temporary folder, listening on a free loopback port, stopped when the
// guard goes. It runs its filters and back ends as the lp user, as the
// system's scheduler does, so it must be started by root.
class PrivateCups {
  public:
    PrivateCups();

    // True once the scheduler answers on its port.
    bool ready() const { return ready_; }
    // Host and port for CUPS_SERVER and the -h option of the CUPS tools.
    std::string server() const;
    // The scheduler's error log, to explain a failure.
    std::string log() const;

  private:
    test::TempDir dir_;
    int port_ = -1;
    std::unique_ptr<test::ChildProcess> cupsd_;
    bool ready_ = false;
};

}  // namespace pm32::tools
