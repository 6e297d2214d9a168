#pragma once

#include "platform/automation/dispatch.h"

namespace pm32::control {

using automation::DispId;

// Dispatch identifiers of the control's members and events, from their rows.
namespace dispid {
#define PICBUF_MEMBER(name, id, ...) inline constexpr DispId name = id;
#include "control/member_rows.def"
}  // namespace dispid

namespace eventid {
#define PICBUF_EVENT(name, id, ...) inline constexpr DispId name = id;
#include "control/member_rows.def"
}  // namespace eventid

}  // namespace pm32::control
