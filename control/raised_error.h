#pragma once

#include "engine/errors.h"

namespace pm32 {

// What the control's holders throw; the control's entries catch it and report
// the number. Engine code below the control returns numbers instead.
struct RaisedError {
    ErrorNumber number;
};

}  // namespace pm32
