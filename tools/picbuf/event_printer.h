#pragma once

#include <ostream>

#include "platform/automation/dispatch.h"
#include "tools/picbuf/control_set.h"

namespace pm32::tools {

// Prints each fired event as "event Name", followed by its arguments as
// Param=value under the names the event description publishes.
class EventPrinter : public automation::EventSink {
  public:
    EventPrinter(std::ostream& out, const automation::TypeInfo& description,
                 const ControlSet& controls);

    void OnEvent(automation::DispId id, std::string_view name,
                 std::span<automation::Variant> args) override;

  private:
    std::ostream& out_;
    const automation::TypeInfo& description_;
    const ControlSet& controls_;
};

}  // namespace pm32::tools
