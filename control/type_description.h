#pragma once

#include "platform/automation/dispatch.h"
#include "platform/toolkit_export.h"

namespace pm32::control {

// The control's published type description, generated from its member table.
PM32_TOOLKIT_API const automation::TypeInfo& PicbufTypeInfo();

}  // namespace pm32::control
