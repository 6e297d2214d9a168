#include <cstdio>

#include "control/auto_load.h"
#include "control/dispids.h"
#include "control/entries.h"
#include "control/identity.h"
#include "control/zpm32.h"
#include "formats/format_codes.h"
#include "platform/message_box.h"

namespace pm32::control::entries {
namespace {

// A property's value as the information texts show it.
std::string valueText(ZPm32& c, DispId id) {
    return std::string(InfoTextOf(*FindMember(id)->enumeration, c.I2(id)));
}

template <typename... Args>
Variant formattedText(const char* format, Args... args) {
    int length = std::snprintf(nullptr, 0, format, args...);
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format, args...);
    return Variant::String(std::move(text));
}

std::string name(std::string_view text) { return std::string(text); }

}  // namespace

Variant GetColorDepth(ZPm32& c, std::span<Variant>) {
    return Variant::I2(c.Image() ? static_cast<std::int16_t>(c.Image()->depth) : 0);
}

Variant GetContents(ZPm32& c, std::span<Variant>) {
    return Variant::I2(static_cast<std::int16_t>(c.Contents()));
}

Variant GetXresolution(ZPm32& c, std::span<Variant>) {
    return Variant::I2(c.Image() ? static_cast<std::int16_t>(c.Image()->width) : 0);
}

Variant GetYresolution(ZPm32& c, std::span<Variant>) {
    return Variant::I2(c.Image() ? static_cast<std::int16_t>(c.Image()->height) : 0);
}

Variant AboutBox(ZPm32&, std::span<Variant>) {
    platform::MessageBox("Pixmill32 OCX\nVersion " + std::string(kVersion),
                         "About Pixmill32 Control", platform::MB_OK);
    return {};
}

Variant GetVersion(ZPm32&, std::span<Variant>) { return Variant::String(std::string(kVersion)); }

Variant GetPZDib(ZPm32& c, std::span<Variant>) {
    return Variant::I4(static_cast<std::int32_t>(c.ImageId()));
}

Variant GetPZPal(ZPm32& c, std::span<Variant>) {
    return Variant::I4(static_cast<std::int32_t>(c.PaletteId()));
}

Variant GetPicbufID(ZPm32&, std::span<Variant>) { return Variant::I2(kPicbufId); }

Variant GetErrorNumber(ZPm32& c, std::span<Variant>) { return Variant::I4(c.ErrorNumber()); }

void SetErrorNumber(ZPm32& c, std::span<Variant>, const Variant& value) {
    c.SetErrorNumber(value.toI4());
    c.SetModified();
}

Variant GetHWnd(ZPm32& c, std::span<Variant>) {
    return Variant::I4(c.Site() ? static_cast<std::int32_t>(c.Site()->Window()) : 0);
}

void FileNameChanged(ZPm32& c, const Variant&) {
    if (c.RunTime()) return;
    RefreshDesignImage(c);
    if (platform::WindowHost* host = c.Host()) host->Invalidate();
}

void AutoLoadChanged(ZPm32& c, const Variant&) {
    RefreshDesignImage(c);
    SizeToDesignImage(c);
    if (platform::WindowHost* host = c.Host()) host->Invalidate();
}

Variant GetDataSource(ZPm32&, std::span<Variant>) { return Variant::Object(nullptr); }

void SetDataSource(ZPm32& c, std::span<Variant>, const Variant& value) {
    c.Binding().SetSource(value.toDispatch());
    c.SetModified();
}

void DataFieldChanged(ZPm32& c, const Variant&) { c.Binding().FieldChanged(); }

// Asking for a sizing mode while scroll bars are in use turns the mode off
// before the request fails.
void CheckAutoScale(ZPm32& c, const Variant& value) {
    if (!value.toBool() || c.I2(dispid::ScrollBars) == 0) return;
    c.Store(dispid::AutoScale, Variant::Bool(false));
    Raise(err::AutoScaleWithScrollBars);
}

void CheckAutoSize(ZPm32& c, const Variant& value) {
    if (!value.toBool() || c.I2(dispid::ScrollBars) == 0) return;
    c.Store(dispid::AutoSize, Variant::Bool(false));
    Raise(err::AutoSizeWithScrollBars);
}

void CheckScrollBars(ZPm32& c, const Variant& value) {
    if (value.toI2() == 0) return;
    if (c.Bool(dispid::AutoSize)) Raise(err::ScrollBarsWithAutoSize);
    if (c.Bool(dispid::AutoScale)) Raise(err::ScrollBarsWithAutoScale);
}

void CheckNotAutoScaled(ZPm32& c, const Variant&) {
    if (c.Bool(dispid::AutoScale)) Raise(err::ScaleWhileAutoScaled);
}

void CopyToWriteCompression(ZPm32& c, const Variant& value) {
    c.Store(dispid::WriteCompression, value.coerced(VarType::I2));
}

Variant GetInfoImage(ZPm32& c, std::span<Variant>) {
    const char* contents[] = {"Empty", "Image", "Palette"};
    const ZDibHolder* image = c.Image();
    return formattedText("Contents=%s\nColorDepth=%d\nXresolution=%d\nYresolution=%d",
                         contents[c.Contents()], image ? static_cast<int>(image->depth) : 0,
                         image ? image->width : 0, image ? image->height : 0);
}

Variant GetInfoIO(ZPm32& c, std::span<Variant>) {
    std::string writeOption = valueText(c, dispid::WriteOption);
    std::string format = name(FormatCodeText(c.I2(dispid::ImageFormat)));
    std::string fileName = c.String(dispid::FileName);
    return formattedText(
        "WriteCompression=%d\nWriteOption=%s\nImageFormat=%s\nImageNumber=%d\nFilename=%s",
        c.I2(dispid::WriteCompression), writeOption.c_str(), format.c_str(),
        c.I2(dispid::ImageNumber), fileName.c_str());
}

Variant GetInfoView(ZPm32& c, std::span<Variant>) {
    std::string autoLoad = valueText(c, dispid::AutoLoad);
    std::string scrollBars = valueText(c, dispid::ScrollBars);
    return formattedText(
        "AutoLoad=%s\nAutoScale=%d\nAutoSize=%d\nScaleImage=%d\nScaleScreen=%d\nScrollBars=%s\n"
        "ScrollBarsLargeChange=%d\nScrollBarsSmallChange=%d",
        autoLoad.c_str(), c.Bool(dispid::AutoScale) ? 1 : 0, c.Bool(dispid::AutoSize) ? 1 : 0,
        c.I2(dispid::ScaleImage), c.I2(dispid::ScaleScreen), scrollBars.c_str(),
        c.I2(dispid::ScrollBarsLargeChange), c.I2(dispid::ScrollBarsSmallChange));
}

Variant GetInfoDraw(ZPm32& c, std::span<Variant>) {
    std::string arrows = valueText(c, dispid::DrawArrows);
    std::string style = valueText(c, dispid::DrawStyle);
    std::string fill = valueText(c, dispid::FillStyle);
    auto color = static_cast<std::uint32_t>(c.I4(dispid::FillColor));
    return formattedText(
        "DrawArrows=%s\nDrawStyle=%s\nDrawWidth=%d\nFillColor(r,g,b)=%d,%d,%d\nFillStyle=%s\n"
        "FillTransparent=%d",
        arrows.c_str(), style.c_str(), c.I2(dispid::DrawWidth), static_cast<int>(color & 0xFF),
        static_cast<int>((color >> 8) & 0xFF), static_cast<int>((color >> 16) & 0xFF), fill.c_str(),
        c.Bool(dispid::FillTransparent) ? 1 : 0);
}

Variant GetInfoText(ZPm32& c, std::span<Variant>) {
    std::string alignment = valueText(c, dispid::TextAlignment);
    return formattedText("FontTransparent=%d\nTextAlignment=%s\nTextAutoSize=%d",
                         c.Bool(dispid::FontTransparent) ? 1 : 0, alignment.c_str(),
                         c.Bool(dispid::TextAutoSize) ? 1 : 0);
}

}  // namespace pm32::control::entries
