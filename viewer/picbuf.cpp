#include "viewer/picbuf.h"

#include "control/factory.h"

namespace pm32::viewer {

Picbuf::Picbuf(platform::WidgetWindowHost* host)
    : host_(host), control_(control::CreateControl("Pixmill32.Picbuf.1", this)) {}

// The control goes first: it still talks to its site while it is taken down.
Picbuf::~Picbuf() { control_.reset(); }

void Picbuf::OnEvent(automation::DispId, std::string_view name, std::span<Variant> args) {
    if (handler_) handler_(name, args);
}

std::uint32_t ErrorNumberOf(const automation::AutomationError& error) {
    return automation::IsControlScode(error.scode()) ? automation::ControlErrorNumber(error.scode())
                                                     : static_cast<std::uint32_t>(error.scode());
}

}  // namespace pm32::viewer
