#pragma once

#include <string>

#include "tests/support/temp_dir.h"

namespace pm32::test {

// A PostgreSQL server of the test's own: a cluster made by initdb in a
// temporary folder, listening only on a Unix socket in that folder, run as
// the postgres user (the server refuses root) and stopped when the guard goes.
class PrivatePostgres {
  public:
    PrivatePostgres();
    ~PrivatePostgres();
    PrivatePostgres(const PrivatePostgres&) = delete;
    PrivatePostgres& operator=(const PrivatePostgres&) = delete;

    // Where the server's programs are; empty when PostgreSQL is not installed.
    static std::string programFolder();

    bool ready() const { return ready_; }
    // A URL for the postgres database as the postgres user.
    std::string address() const;
    std::string log() const;

  private:
    std::string asServerUser(const std::string& command) const;

    TempDir dir_;
    std::string root_;  // the cluster, its logs and its socket
    bool ready_ = false;
};

}  // namespace pm32::test
