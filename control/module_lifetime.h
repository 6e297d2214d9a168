#pragma once

namespace pm32::control {

// Counts an object the module handed out (a control, a class object) for as
// long as it lives, so the module can tell whether it may be unloaded.
class ModuleReference {
  public:
    ModuleReference();
    ~ModuleReference();
    ModuleReference(const ModuleReference&);
    ModuleReference& operator=(const ModuleReference&) = default;
};

// A server lock keeps the module in use without any object (LockServer).
void LockModule(bool lock);

// Whether an object or a lock still needs the module.
bool ModuleInUse();

}  // namespace pm32::control
