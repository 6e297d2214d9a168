#include "control/dispids.h"
#include "control/entries.h"
#include "control/picture_text.h"
#include "control/zpm32.h"
#include "platform/window/system_metrics.h"

namespace pm32::control::entries {
namespace {

const ZDibHolder& requireImage(ZPm32& c) {
    if (c.Image() == nullptr) Raise(err::NoDib);
    return *c.Image();
}

// What MouseIcon takes: an icon or cursor picture, or an empty one.
bool isCursor(const Picture& picture) {
    return picture.Type() == PictureType::None || picture.Type() == PictureType::Icon;
}

void notifyChanged(ZPm32& c, DispId id) {
    if (c.Site() != nullptr) c.Site()->OnPropertyChanged(id);
    c.SetModified();
}

// The image pixel under a client pixel along one axis, -1 outside the image.
Variant screenToImage(ZPm32& c, std::int16_t location, std::int32_t origin, std::int32_t extent) {
    const ZView& view = c.View();
    double ratio = static_cast<double>(view.ScaleImage()) / view.ScaleScreen();
    auto pixel = static_cast<std::int64_t>(ratio * location) + origin;
    if (pixel < 0 || pixel >= extent) return Variant::I2(-1);
    return Variant::I2(static_cast<std::int16_t>(pixel));
}

}  // namespace

Variant RePos(ZPm32& c, std::span<Variant> args) {
    const ZDibHolder& image = requireImage(c);
    if (c.Bool(dispid::AutoScale)) Raise(err::RePosAutoScale);
    if (c.Bool(dispid::AutoSize)) Raise(err::RePosAutoSize);
    std::int16_t imageX = args[0].toI2();
    std::int16_t imageY = args[1].toI2();
    std::int16_t clientX = args[2].toI2();
    std::int16_t clientY = args[3].toI2();
    ZView& view = c.View();
    if (clientX < 0 || clientX >= view.ClientWidth() || clientY < 0 ||
        clientY >= view.ClientHeight())
        Raise(err::RePosClientRange);
    if (imageX < 0 || imageX >= image.width || imageY < 0 || imageY >= image.height)
        Raise(err::RePosImageRange);
    view.ScrollTo(imageX, imageY, clientX, clientY);
    return {};
}

Variant ScreenToImageX(ZPm32& c, std::span<Variant> args) {
    const ZDibHolder& image = requireImage(c);
    return screenToImage(c, args[0].toI2(), c.View().XOrigin(), image.width);
}

Variant ScreenToImageY(ZPm32& c, std::span<Variant> args) {
    const ZDibHolder& image = requireImage(c);
    return screenToImage(c, args[0].toI2(), c.View().YOrigin(), image.height);
}

Variant Scale(ZPm32& c, std::span<Variant> args) {
    if (c.Bool(dispid::AutoScale)) Raise(err::ScaleWhileAutoScaled);
    std::int16_t scaleImage = args[0].toI2();
    std::int16_t scaleScreen = args[1].toI2();
    if (scaleImage < 1) Raise(err::ScaleImageRange);
    if (scaleScreen < 1) Raise(err::ScaleScreenRange);
    c.Store(dispid::ScaleImage, Variant::I2(scaleImage));
    c.Store(dispid::ScaleScreen, Variant::I2(scaleScreen));
    c.View().Refresh();
    notifyChanged(c, dispid::ScaleImage);
    notifyChanged(c, dispid::ScaleScreen);
    return {};
}

Variant GetHorzSBHeight(ZPm32&, std::span<Variant>) {
    return Variant::I2(static_cast<std::int16_t>(platform::HorizontalScrollBarHeight()));
}

Variant GetVertSBWidth(ZPm32&, std::span<Variant>) {
    return Variant::I2(static_cast<std::int16_t>(platform::VerticalScrollBarWidth()));
}

Variant Refresh(ZPm32& c, std::span<Variant>) {
    if (platform::WindowHost* host = c.Host()) {
        host->Invalidate();
        host->UpdateWindow();
    }
    return {};
}

void RefreshView(ZPm32& c, const Variant&) { c.View().Refresh(); }

void InvalidateView(ZPm32& c, const Variant&) {
    if (platform::WindowHost* host = c.Host()) host->Invalidate();
}

void ApplyLook(ZPm32& c, const Variant&) { c.LookChanged(); }

void ShowMousePointer(ZPm32& c, const Variant&) {
    platform::WindowHost* host = c.Host();
    if (c.RunTime() && host != nullptr && host->CursorOverClient()) host->SendSetCursor();
}

Variant GetMouseIcon(ZPm32& c, std::span<Variant>) { return Variant::Object(c.MouseIcon()); }

void SetMouseIcon(ZPm32& c, std::span<Variant>, const Variant& value) {
    automation::DispatchPtr object = value.toDispatch();
    std::shared_ptr<Picture> icon =
        object ? std::dynamic_pointer_cast<Picture>(object) : std::make_shared<Picture>();
    if (!icon || !isCursor(*icon)) Raise(err::MouseIconKind);
    c.SetMouseIcon(std::move(icon));
    notifyChanged(c, dispid::MouseIcon);
}

std::string SaveMouseIcon(const ZPm32& c) { return PictureText(*c.MouseIcon()); }

void LoadMouseIcon(ZPm32& c, std::optional<std::string_view> text) {
    std::shared_ptr<Picture> icon = text ? ParsePictureText(*text) : nullptr;
    c.SetMouseIcon(icon && isCursor(*icon) ? std::move(icon) : std::make_shared<Picture>());
}

}  // namespace pm32::control::entries
