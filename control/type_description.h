#pragma once

#include "platform/automation/dispatch.h"

namespace pm32::control {

// The control's published type description, generated from its member table.
const automation::TypeInfo& PicbufTypeInfo();

}  // namespace pm32::control
