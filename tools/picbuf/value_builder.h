#pragma once

#include "platform/automation/dispatch.h"
#include "tools/picbuf/call_arguments.h"
#include "tools/picbuf/control_set.h"
#include "tools/picbuf/statement.h"

namespace pm32::tools {

// A scalar's own automation value: whole numbers as Integer when they fit,
// else Long; a bare word naming a control as that control's object, else text.
automation::Variant ScalarValue(const Scalar& scalar, const ControlSet& controls);

// Adds a literal as the argument for a parameter (null past the published
// ones). Scalars keep their own type for the callee to coerce; arrays are
// built with the parameter's element type and passed by reference.
void AddArgument(CallArguments& call, const Literal& literal, const automation::ParamInfo* param,
                 const ControlSet& controls);

// Adds the value put into an object-typed property. Text put into the stock
// Font is a font in its persisted text form ("Size=14;Weight=700"); text put
// into any other names a picture file, read as Basic's LoadPicture reads it,
// so Picture=photo.bmp stands for Set Picture = LoadPicture("photo.bmp") and
// Picture="" for an empty picture. Other literals are added as AddArgument
// adds them.
void AddObjectValue(CallArguments& call, const Literal& literal, automation::DispId member,
                    const ControlSet& controls);

}  // namespace pm32::tools
