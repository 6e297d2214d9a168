#include <vector>

#include "control/cut_out.h"
#include "control/dispids.h"
#include "control/entries.h"
#include "control/image_combination.h"
#include "control/selection_transfer.h"
#include "control/whole_image_transfer.h"
#include "control/zpm32.h"
#include "platform/automation/ole_color.h"

namespace pm32::control::entries {

void SetHDib(ZPm32& c, std::span<Variant>, const Variant& value) {
    auto handle = static_cast<HGLOBAL>(value.toI4());
    if (handle == 0) {
        c.InstallImage(0, false);
        return;
    }
    AcceptCallerDib(handle);
    TransferWholeImage(c, handle, false);
}

void SetHPalette(ZPm32& c, std::span<Variant>, const Variant& value) {
    c.AdoptPalette(static_cast<HPALETTE>(value.toI4()));
}

Variant Clear(ZPm32& c, std::span<Variant>) {
    c.InstallImage(0, false);
    return {};
}

Variant Init(ZPm32& c, std::span<Variant> args) {
    COLORREF fill = automation::TranslateOleColor(static_cast<std::uint32_t>(args[3].toI4()));
    HGLOBAL created = 0;
    if (ErrorNumber n = CreateDib(static_cast<std::uint32_t>(args[0].toI2()), args[1].toI2(),
                                  args[2].toI2(), fill, created);
        n != 0)
        Raise(n);
    c.InstallImage(created, true);
    return {};
}

Variant Verify(ZPm32&, std::span<Variant> args) {
    if (ErrorNumber n = VerifyDib(static_cast<HGLOBAL>(args[0].toI4())); n != 0) Raise(n);
    return Variant::I2(0);
}

Variant ImportDib(ZPm32& c, std::span<Variant> args) {
    auto handle = static_cast<HGLOBAL>(args[0].toI4());
    if (handle == 0) Raise(err::Unrecoverable);
    AcceptCallerDib(handle);
    c.InstallImage(handle, args[1].toBool());
    return {};
}

Variant ExportDib(ZPm32& c, std::span<Variant> args) {
    if (c.Image() == nullptr) return Variant::I4(0);
    HGLOBAL handle = c.Image()->handle;
    if (args[0].toBool() && !c.ReleaseImageOwnership()) return Variant::I4(0);
    return Variant::I4(static_cast<std::int32_t>(handle));
}

Variant DuplicateDib(ZPm32& c, std::span<Variant> args) {
    if (c.Image() == nullptr) Raise(err::NoDib);
    if (args[0].toI2() != 0) {
        if (c.I2(dispid::SelectWidth) == 0 || c.I2(dispid::SelectHeight) == 0)
            Raise(err::EmptySelection);
        return Variant::I4(
            static_cast<std::int32_t>(CutOut(c.Image()->handle, SelectionOf(c), BackColorOf(c))));
    }
    HGLOBAL copy = 0;
    if (ErrorNumber n = pm32::DuplicateDib(c.Image()->handle, copy); n != 0) Raise(n);
    return Variant::I4(static_cast<std::int32_t>(copy));
}

Variant DuplicatePalette(ZPm32& c, std::span<Variant>) {
    if (c.Palette() == nullptr) Raise(err::NoPaletteInControl);
    HPALETTE source = c.Palette()->handle();
    std::vector<PALETTEENTRY> entries(platform::GetPaletteEntryCount(source));
    platform::GetPaletteEntries(source, 0, entries);
    HPALETTE copy = platform::CreatePalette(entries);
    if (copy == 0) Raise(err::ControlOutOfMemory);
    return Variant::I4(static_cast<std::int32_t>(copy));
}

}  // namespace pm32::control::entries
