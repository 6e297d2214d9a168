#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "tools/picbuf/control_set.h"
#include "tools/picbuf/statement.h"

namespace pm32::tools {

// Runs statements against the controls of a session: results go to out as
// Name=value lines, failures to err.
class Executor {
  public:
    Executor(const ControlSet& controls, std::ostream& out, std::ostream& err);

    // Runs statement number `number` (from 1); false when it failed: the
    // failure is on err, an automation error followed by where it happened.
    bool run(std::string_view statement, int number);

    // Runs statements in order, stopping at the first failure unless
    // keepGoing; the exit status: 0 when all succeeded, else 1.
    int runAll(std::span<const std::string> statements, bool keepGoing);

  private:
    void execute(const Statement& statement, automation::Dispatch& control);
    automation::Dispatch& target(const Statement& statement) const;

    const ControlSet& controls_;
    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace pm32::tools
