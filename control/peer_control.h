#pragma once

#include "control/zpm32.h"

namespace pm32::control {

// Another Picbuf of the process, reached through its dispatch interface by
// the fixed dispatch identifiers. Its holders are read in place for the span
// of one call and never kept.
class PeerControl {
  public:
    // Raises err::NotAPicbuf unless the object answers PicbufID with 23145.
    explicit PeerControl(automation::Dispatch& object);

    // The peer's image holder (pZDib) and palette holder (pZPal), null when it
    // has none. A failed read, a value of another type or an id that names
    // no live holder raises err::NotAPicbuf.
    const ZDibHolder* Image();
    const ZPal* Palette();

    // A 16-bit property (selection, origin) or a 32-bit one (BackColor) read
    // by its fixed dispatch identifier; a failed read or a value of another
    // type raises err::NotAPicbuf.
    std::int16_t Short(DispId id);
    std::int32_t Long(DispId id);

  private:
    Variant read(DispId id, VarType type);

    automation::Dispatch& object_;
};

}  // namespace pm32::control
