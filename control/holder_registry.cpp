#include "control/holder_registry.h"

#include <variant>

#include "platform/handle_registry.h"

namespace pm32::control {
namespace {

using Holder = std::variant<ZDibHolder*, ZPal*>;

platform::HandleRegistry<Holder>& holders() {
    static platform::HandleRegistry<Holder> registry;
    return registry;
}

template <typename T>
T* resolve(std::uint32_t id) {
    Holder* holder = holders().find(id);
    if (holder == nullptr) return nullptr;
    T** found = std::get_if<T*>(holder);
    return found ? *found : nullptr;
}

}  // namespace

std::uint32_t RegisterDibHolder(ZDibHolder* holder) { return holders().add(holder); }

std::uint32_t RegisterPalHolder(ZPal* holder) { return holders().add(holder); }

void UnregisterHolder(std::uint32_t id) { holders().remove(id); }

ZDibHolder* ResolveDibHolder(std::uint32_t id) { return resolve<ZDibHolder>(id); }

ZPal* ResolvePalHolder(std::uint32_t id) { return resolve<ZPal>(id); }

}  // namespace pm32::control
