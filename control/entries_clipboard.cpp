#include <cstring>

#include "control/cut_out.h"
#include "control/dib_guard.h"
#include "control/engine_result.h"
#include "control/entries.h"
#include "control/image_combination.h"
#include "control/screen_bitmap.h"
#include "control/selection_transfer.h"
#include "control/whole_image_transfer.h"
#include "control/zpm32.h"
#include "platform/clipboard/clipboard.h"

namespace pm32::control::entries {
namespace {

// Whether the option asks for the whole image: omitted or non-zero. A given
// option must be a 16-bit integer.
bool wholeImageOption(const Variant& option) {
    if (option.isMissing()) return true;
    Variant value = option.isByRef() ? option.value() : option;
    if (value.isArray() || value.type() != VarType::I2) Raise(err::OptionNotShort);
    return value.toI2() != 0;
}

// The DIB block's bytes, for the clipboard to keep its own copy.
std::vector<std::uint8_t> bytesOf(HGLOBAL dib) {
    platform::Locked block(dib);
    if (!block) Raise(err::LockFailed);
    return {block.data(), block.data() + block.size()};
}

// A block of the control's own holding the clipboard's DIB, checked as any
// caller's DIB is.
HGLOBAL blockOf(const std::vector<std::uint8_t>& bytes) {
    DibGuard block(platform::GlobalAlloc(platform::GMEM_MOVEABLE, bytes.size()));
    if (block.get() == 0) Raise(err::OutOfMemory);
    {
        platform::Locked target(block.get());
        if (!target) Raise(err::LockFailed);
        std::memcpy(target.data(), bytes.data(), bytes.size());
    }
    AcceptCallerDib(block.get());
    return block.handOn();
}

}  // namespace

Variant CopyClipboard(ZPm32& c, std::span<Variant> args) {
    HGLOBAL image = ImageHandle(c);
    bool whole = wholeImageOption(args[0]);
    platform::ClipboardSession clipboard;
    if (!clipboard.IsOpen()) Raise(err::ClipboardOpenFailed);
    clipboard.Empty();
    HGLOBAL made = 0;
    if (whole)
        RaiseIfFailed(pm32::DuplicateDib(image, made));
    else
        made = CutOut(image, SelectionOf(c), BackColorOf(c));
    DibGuard dib(made);
    if (dib.get() == 0) Raise(err::ClipboardSetFailed);
    if (!clipboard.SetDib(bytesOf(dib.get()), BuildScreenBitmap(dib.get())))
        Raise(err::ClipboardSetFailed);
    return {};
}

Variant PasteClipboard(ZPm32& c, std::span<Variant> args) {
    bool whole = wholeImageOption(args[0]);
    HGLOBAL incoming = 0;
    {
        platform::ClipboardSession clipboard;
        if (!clipboard.IsOpen()) Raise(err::ClipboardOpenFailed);
        std::optional<std::vector<std::uint8_t>> bytes = clipboard.GetDib();
        if (!bytes) Raise(err::ClipboardGetFailed);
        incoming = blockOf(*bytes);
    }
    if (whole)
        TransferWholeImage(c, incoming, true);
    else
        TransferIntoSelection(c, incoming, true);
    return {};
}

}  // namespace pm32::control::entries
