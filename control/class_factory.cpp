#include <atomic>
#include <string>

#include "control/identity.h"
#include "control/module_lifetime.h"
#include "control/pm32.h"

namespace pm32 {

struct ClassFactory::State {
    explicit State(std::string_view id) : classId(id) {}
    std::string classId;
    std::atomic<std::uint32_t> references{1};
    control::ModuleReference lifetime;
};

ClassFactory::ClassFactory(std::string_view classId) : state_(std::make_unique<State>(classId)) {}

ClassFactory::~ClassFactory() = default;

Control ClassFactory::CreateInstance(ControlMode mode) const {
    return Control(state_->classId, mode);
}

void ClassFactory::LockServer(bool lock) { control::LockModule(lock); }

std::uint32_t ClassFactory::AddRef() { return ++state_->references; }

std::uint32_t ClassFactory::Release() {
    const std::uint32_t remaining = --state_->references;
    if (remaining == 0) delete this;
    return remaining;
}

}  // namespace pm32
