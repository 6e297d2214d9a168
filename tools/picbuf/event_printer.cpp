#include "tools/picbuf/event_printer.h"

#include "tools/picbuf/value_format.h"

namespace pm32::tools {

EventPrinter::EventPrinter(std::ostream& out, const automation::TypeInfo& description,
                           const ControlSet& controls)
    : out_(out), description_(description), controls_(controls) {}

void EventPrinter::OnEvent(automation::DispId id, std::string_view name,
                           std::span<automation::Variant> args) {
    const automation::MemberInfo* event = nullptr;
    for (const automation::MemberInfo& candidate : description_.events)
        if (candidate.id == id) event = &candidate;
    out_ << "event " << name;
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool named = event != nullptr && i < event->params.size();
        out_ << ' ' << (named ? event->params[i].name : "arg" + std::to_string(i + 1)) << '='
             << FormatValue(args[i], controls_);
    }
    out_ << '\n';
}

}  // namespace pm32::tools
