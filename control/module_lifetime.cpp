#include "control/module_lifetime.h"

#include <atomic>

namespace pm32::control {
namespace {

// The module's own life: one count for the whole process, as a loader sees it.
std::atomic<int> liveObjects{0};
std::atomic<int> serverLocks{0};

}  // namespace

ModuleReference::ModuleReference() { ++liveObjects; }
ModuleReference::~ModuleReference() { --liveObjects; }
ModuleReference::ModuleReference(const ModuleReference&) { ++liveObjects; }

void LockModule(bool lock) {
    if (lock) {
        ++serverLocks;
        return;
    }
    // An unlock without a lock is the caller's mistake; it must not make the
    // module look free while another caller still holds one.
    int locks = serverLocks.load();
    while (locks > 0 && !serverLocks.compare_exchange_weak(locks, locks - 1)) {
    }
}

bool ModuleInUse() { return liveObjects.load() > 0 || serverLocks.load() > 0; }

}  // namespace pm32::control
