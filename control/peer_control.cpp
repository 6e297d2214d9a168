#include "control/peer_control.h"

#include "control/dispids.h"
#include "control/holder_registry.h"
#include "control/identity.h"

namespace pm32::control {
namespace {}  // namespace

PeerControl::PeerControl(automation::Dispatch& object) : object_(object) {
    if (read(dispid::PicbufID, VarType::I2).toI2() != kPicbufId) Raise(err::NotAPicbuf);
}

Variant PeerControl::read(DispId id, VarType type) {
    Variant value;
    try {
        value = object_.Invoke(id, automation::InvokeKind::PropertyGet, {});
    } catch (const automation::AutomationError&) {
        Raise(err::NotAPicbuf);
    }
    if (value.isArray() || value.type() != type) Raise(err::NotAPicbuf);
    return value;
}

std::int16_t PeerControl::Short(DispId id) { return read(id, VarType::I2).toI2(); }

std::int32_t PeerControl::Long(DispId id) { return read(id, VarType::I4).toI4(); }

const ZDibHolder* PeerControl::Image() {
    auto id = static_cast<std::uint32_t>(read(dispid::pZDib, VarType::I4).toI4());
    if (id == 0) return nullptr;
    const ZDibHolder* holder = ResolveDibHolder(id);
    if (holder == nullptr) Raise(err::NotAPicbuf);
    return holder;
}

const ZPal* PeerControl::Palette() {
    auto id = static_cast<std::uint32_t>(read(dispid::pZPal, VarType::I4).toI4());
    if (id == 0) return nullptr;
    const ZPal* holder = ResolvePalHolder(id);
    if (holder == nullptr) Raise(err::NotAPicbuf);
    return holder;
}

}  // namespace pm32::control
