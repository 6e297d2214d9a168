#include <vector>

#include "control/dispids.h"
#include "control/entries.h"
#include "control/file_loading.h"
#include "control/progress_hook.h"
#include "control/whole_image_transfer.h"
#include "control/zpm32.h"
#include "engine/dumps.h"
#include "engine/progress.h"
#include "formats/count_images.h"
#include "formats/dispatch.h"
#include "formats/palette_file.h"

namespace pm32::control::entries {
namespace {

std::string fileName(ZPm32& c) {
    std::string path = c.String(dispid::FileName);
    if (path.empty()) Raise(err::FileNameEmpty);
    return path;
}

bool reportsProgress(FormatCode format) {
    return format == kFormatGif || format == kFormatJpeg || format == kFormatFif ||
           format == kFormatPng;
}

bool ignored(FormatCode format) { return format == kFormatQzi || format == kFormatQzs; }

// Loads with the resolved format and hands a returned image over; a
// cancelled load returns no image and changes nothing. A palette-only result
// (an image number past a GIF's last image) leaves the control a palette alone.
void loadAndTransfer(ZPm32& c, const std::string& path, FormatCode format) {
    ZDib image;
    LoadFile(image, path, format, c.I2(dispid::ImageNumber), LoadParamsOf(c));
    if (image.error != 0) Raise(image.error);
    if (image.handle == 0) return;
    if (image.width == 0 && image.height == 0) {
        c.InstallPaletteOnly(image.handle);
        return;
    }
    TransferWholeImage(c, image.Release(), true);
}

// A view of the control's image for the engine; never owns the block.
ZDib imageRecord(ZPm32& c) {
    ZDib image;
    image.Attach(c.Image()->handle, false, false, DepthRule::Any);
    if (image.error != 0) Raise(image.error);
    return image;
}

}  // namespace

Variant Load(ZPm32& c, std::span<Variant>) {
    std::string path = fileName(c);
    FormatCode format{};
    if (ErrorNumber n = ResolveLoadFormat(c, path, format); n != 0) Raise(n);
    if (ignored(format)) return {};
    if (reportsProgress(format)) FileProgressPump().SetUp({}, 0, 0);
    loadAndTransfer(c, path, format);
    return {};
}

Variant LoadCallback(ZPm32& c, std::span<Variant> args) {
    automation::DispatchPtr peek = args[0].toDispatch();
    if (!peek) Raise(err::NullControl);
    std::string path = fileName(c);
    platform::HWND window = PeekWindow(*peek);
    FormatCode format{};
    if (ErrorNumber n = ResolveLoadFormat(c, path, format); n != 0) Raise(n);
    if (ignored(format)) return {};
    if (!reportsProgress(format)) Raise(err::BadFile);
    FileProgressPump().SetUp(CallbackOf(c), c.I2(dispid::CallbackLines), window);
    loadAndTransfer(c, path, format);
    return {};
}

Variant Store(ZPm32& c, std::span<Variant>) {
    if (c.Image() == nullptr) Raise(err::NoDib);
    std::string path = fileName(c);
    FormatCode format{};
    if (ErrorNumber n = ResolveFormat(c.I2(dispid::ImageFormat), path, format); n != 0) Raise(n);
    if (ignored(format)) return {};
    ZDib image = imageRecord(c);
    StoreFile(image, path, format, c.I2(dispid::ImageCompression), false,
              c.I2(dispid::WriteOption));
    if (image.error != 0) Raise(image.error);
    return {};
}

Variant AppendTIFF(ZPm32& c, std::span<Variant>) {
    if (c.Image() == nullptr) Raise(err::NoDib);
    std::string path = fileName(c);
    ZDib image = imageRecord(c);
    StoreFile(image, path, kFormatTiff, c.I2(dispid::WriteCompression), true, 0);
    if (image.error != 0) Raise(image.error);
    return {};
}

Variant CountImages(ZPm32& c, std::span<Variant>) {
    std::string path = fileName(c);
    int count = 0;
    int format = c.I2(dispid::ImageFormat);
    if (FormatCode byContent{};
        c.Bool(dispid::LoadModernFiles) && ResolveLoadFormat(c, path, byContent) == 0)
        format = byContent;
    if (ErrorNumber n = CountFileImages(path, format, count, c.Bool(dispid::LoadModernFiles));
        n != 0)
        Raise(n);
    return Variant::I2(static_cast<std::int16_t>(count));
}

Variant LoadPal(ZPm32& c, std::span<Variant>) {
    std::string path = fileName(c);
    HPALETTE palette = 0;
    if (ErrorNumber n = ReadPaletteFile(path, palette); n != 0) Raise(n);
    struct PaletteGuard {
        HPALETTE palette;
        ~PaletteGuard() { platform::DeletePalette(palette); }
    } guard{palette};
    c.AdoptPalette(palette);
    return {};
}

Variant StorePal(ZPm32& c, std::span<Variant>) {
    if (c.Palette() == nullptr) Raise(err::NoPaletteInControl);
    std::string path = fileName(c);
    if (ErrorNumber n = WritePaletteFile(c.Palette()->handle(), path); n != 0) Raise(n);
    return {};
}

Variant ErrorDump(ZPm32&, std::span<Variant> args) {
    if (ErrorNumber n = WriteMessageList(args[0].toString()); n != 0) Raise(n);
    return {};
}

Variant DumpControl(ZPm32& c, std::span<Variant> args) {
    std::int16_t option = args[0].toI2();
    if (option < 0 || option > 2) Raise(err::BadOption);
    if (option != 2 && c.Image() == nullptr) Raise(err::NoDib);
    if (c.Image() == nullptr && c.Palette() == nullptr) Raise(err::NeedImageOrPalette);
    std::string path = fileName(c);
    if (c.Image() != nullptr) {
        ZDib image = imageRecord(c);
        image.Dump(path, option);
        if (image.error != 0) Raise(image.error);
        return {};
    }
    HPALETTE palette = c.Palette()->handle();
    std::vector<PALETTEENTRY> entries(platform::GetPaletteEntryCount(palette));
    platform::GetPaletteEntries(palette, 0, entries);
    if (AppendPaletteDump(path, static_cast<std::uint32_t>(entries.size()), entries) != 0)
        Raise(err::BadFile);
    return {};
}

}  // namespace pm32::control::entries
