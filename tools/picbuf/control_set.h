#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/automation/dispatch.h"

namespace pm32::tools {

// The controls of a session by name; statements and object arguments name them.
class ControlSet {
  public:
    void add(std::string name, automation::DispatchPtr control);
    // Another object statements and arguments may name (a data source); it is
    // no control: all() and the form files leave it out.
    void addObject(std::string name, automation::DispatchPtr object);

    // The control or object of that name, compared without case; null when there is none.
    automation::DispatchPtr find(std::string_view name) const;

    // The name of one of the controls; empty for any other object.
    std::string_view nameOf(const automation::Dispatch* control) const;

    // The control a statement without a control name goes to; the set must
    // not be empty.
    automation::Dispatch& first() const { return *controls_.front().second; }
    const std::string& firstName() const { return controls_.front().first; }
    const std::string& lastName() const { return controls_.back().first; }

    // Every control with its name, in the order they were made.
    const std::vector<std::pair<std::string, automation::DispatchPtr>>& all() const {
        return controls_;
    }

  private:
    std::vector<std::pair<std::string, automation::DispatchPtr>> controls_;
    std::vector<std::pair<std::string, automation::DispatchPtr>> objects_;
};

}  // namespace pm32::tools
