#include "platform/handle_registry.h"

namespace pm32::platform {

Handle32 nextHandleId() {
    static Handle32 last = 0;
    ++last;
    if (last == 0) ++last;
    return last;
}

}  // namespace pm32::platform
