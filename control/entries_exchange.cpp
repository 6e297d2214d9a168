#include "control/bitmap_conversion.h"
#include "control/cut_out.h"
#include "control/dispids.h"
#include "control/engine_result.h"
#include "control/entries.h"
#include "control/image_combination.h"
#include "control/peer_control.h"
#include "control/selection_transfer.h"
#include "control/whole_image_transfer.h"
#include "control/zpm32.h"
#include "engine/errors.h"
#include "platform/automation/ole_color.h"
#include "platform/bitmap/bitmap_handles.h"
#include "process/mask_blend.h"

namespace pm32::control::entries {
namespace {

// Where a peer's image lands in this control's picture coordinates: offset
// by the difference of the two origins.
PictureRect placed(ZPm32& c, PeerControl& peer, const ZDibHolder& image) {
    std::int32_t x = c.I2(dispid::Xorigin) - peer.Short(dispid::Xorigin);
    std::int32_t y = c.I2(dispid::Yorigin) - peer.Short(dispid::Yorigin);
    return {x, y, x + image.width, y + image.height};
}

PictureRect shifted(const PictureRect& r, const PictureRect& origin) {
    return {r.left - origin.left, r.top - origin.top, r.right - origin.left, r.bottom - origin.top};
}

// The image a peer hands over: its selection cut out on its own BackColor,
// or a copy of its whole DIB. 0 when the selection misses its image.
HGLOBAL incomingFrom(PeerControl& peer, const ZDibHolder& image, bool selection) {
    if (!selection) {
        HGLOBAL copy = 0;
        RaiseIfFailed(pm32::DuplicateDib(image.handle, copy));
        return copy;
    }
    std::int32_t width = peer.Short(dispid::SelectWidth);
    std::int32_t height = peer.Short(dispid::SelectHeight);
    if (width == 0 || height == 0) Raise(err::EmptySelection);
    std::int32_t left = peer.Short(dispid::SelectLeft);
    std::int32_t top = peer.Short(dispid::SelectTop);
    COLORREF fill =
        automation::TranslateOleColor(static_cast<std::uint32_t>(peer.Long(dispid::BackColor)));
    return CutOut(image.handle, {left, top, left + width, top + height}, fill);
}

}  // namespace

Variant Assign(ZPm32& c, std::span<Variant> args) {
    bool intoSelection = args[0].toBool();
    automation::DispatchPtr source = args[1].toDispatch();
    if (!source) Raise(err::NullControl);
    if (intoSelection && c.Image() == nullptr) Raise(err::NoDib);
    PeerControl peer(*source);
    const ZDibHolder* image = peer.Image();
    if (image == nullptr) Raise(err::NoDib);
    HGLOBAL incoming = incomingFrom(peer, *image, args[2].toBool());
    if (incoming == 0) return {};
    if (intoSelection)
        TransferIntoSelection(c, incoming, true);
    else
        TransferWholeImage(c, incoming, true);
    return {};
}

Variant MaskCopy(ZPm32& c, std::span<Variant> args) {
    HGLOBAL held = ImageHandle(c);
    automation::DispatchPtr from = args[0].toDispatch();
    if (!from) Raise(err::FromControlInvalid);
    automation::DispatchPtr mask = args[1].toDispatch();
    if (!mask) Raise(err::MaskControlInvalid);
    PeerControl fromPeer(*from);
    PeerControl maskPeer(*mask);
    const ZDibHolder* fromImage = fromPeer.Image();
    if (fromImage == nullptr) Raise(err::FromControlEmpty);
    const ZDibHolder* maskImage = maskPeer.Image();
    if (maskImage == nullptr) Raise(err::MaskControlEmpty);
    if (fromImage->depth != c.Image()->depth) Raise(err::DepthMismatch);

    PictureRect fromPlace = placed(c, fromPeer, *fromImage);
    PictureRect maskPlace = placed(c, maskPeer, *maskImage);
    PictureRect area = Intersection(
        Intersection({0, 0, c.Image()->width, c.Image()->height}, fromPlace), maskPlace);
    if (IsEmpty(area)) return {};
    HGLOBAL blended = 0;
    RaiseIfFailed(MaskBlend(fromImage->handle, shifted(area, fromPlace), held, area,
                            maskImage->handle, shifted(area, maskPlace), blended));
    InstallResult(c, blended);
    return {};
}

Variant DibToBitmap(ZPm32& c, std::span<Variant>) {
    DeviceBitmap bitmap = BitmapOfDib(ImageHandle(c));
    if (bitmap.pixels.isNull()) Raise(err::NoBitmap);
    platform::HBITMAP handle =
        platform::CreateBitmapObject(std::move(bitmap.pixels), bitmap.bitsPerPixel);
    if (handle == 0) Raise(err::NoBitmap);
    return Variant::I4(static_cast<std::int32_t>(handle));
}

Variant BitmapToDib(ZPm32& c, std::span<Variant> args) {
    const platform::BitmapObject* bitmap =
        platform::FindBitmap(static_cast<platform::HBITMAP>(args[0].toI4()));
    if (bitmap == nullptr) Raise(err::NoBitmap);
    c.InstallImage(DibOfBitmap(bitmap->pixels, bitmap->bitsPerPixel * bitmap->planes, {}), true);
    return {};
}

Variant GetPicture(ZPm32& c, std::span<Variant>) {
    if (c.Image() == nullptr) return Variant::Object(nullptr);
    DeviceBitmap bitmap = BitmapOfDib(c.Image()->handle);
    if (bitmap.pixels.isNull()) Raise(err::PictureNotMade);
    return Variant::Object(
        std::make_shared<Picture>(PictureType::Bitmap, std::move(bitmap.pixels)));
}

void SetPicture(ZPm32& c, std::span<Variant>, const Variant& value) {
    automation::DispatchPtr object = value.toDispatch();
    if (!object) {
        c.InstallImage(0, false);
        return;
    }
    auto picture = std::dynamic_pointer_cast<Picture>(object);
    if (!picture) Raise(err::PictureTypeRefused);
    switch (picture->Type()) {
        case PictureType::None:
            c.InstallImage(0, false);
            return;
        case PictureType::Bitmap:
            c.InstallImage(DibOfBitmap(picture->Image(), BitsPerPixelOf(picture->Image()), {}),
                           true);
            return;
        default:
            Raise(err::PictureTypeRefused);
    }
}

}  // namespace pm32::control::entries
