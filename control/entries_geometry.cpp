#include <array>
#include <vector>

#include "control/array_argument.h"
#include "control/engine_result.h"
#include "control/entries.h"
#include "engine/errors.h"
#include "platform/automation/ole_color.h"
#include "process/rotate_dib.h"
#include "process/scan_lines.h"

namespace pm32::control::entries {
namespace {

// New pixels of a palette image take the table entry nearest the colour.
std::uint32_t backgroundValue(HGLOBAL handle, COLORREF color) {
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) Raise(image.error);
    if (image.depth == 24) return color;
    std::array<PALETTEENTRY, 256> table{};
    std::size_t count = image.GetPalette(table);
    HPALETTE palette = platform::CreatePalette(std::span(table.data(), count));
    unsigned index = platform::GetNearestPaletteIndex(palette, color);
    platform::DeletePalette(palette);
    return index == platform::CLR_INVALID ? 0 : index;
}

// The checks both scan-line methods make, in their order: an image, a line
// inside it, an array of at least one long per pixel.
struct ScanLineCall {
    ScanLineCall(ZPm32& c, std::span<Variant> args, VarType elementType)
        : image(ImageHandle(c)), line(args[0].toI2()), array(args[1], elementType) {
        if (line < 0 || line >= c.Image()->height) Raise(err::OutOfRange);
        const auto width = static_cast<std::size_t>(c.Image()->width);
        array.RequireElements(static_cast<std::int64_t>(width));
        pixels.resize(width);
    }

    HGLOBAL image;
    std::int32_t line;
    ArrayArgument array;
    std::vector<std::int32_t> pixels;
};

}  // namespace

Variant Rotate(ZPm32& c, std::span<Variant> args) {
    HGLOBAL image = ImageHandle(c);
    const int degrees = args[0].toI2();
    if (NormalizedAngle(degrees) == 0) Raise(err::BadRotationAngle);
    COLORREF color = automation::TranslateOleColor(static_cast<std::uint32_t>(args[1].toI4()));
    HGLOBAL result = 0;
    RaiseIfFailed(RotateDib(image, degrees, backgroundValue(image, color), result));
    InstallResult(c, result);
    return {};
}

Variant Mirror(ZPm32& c, std::span<Variant> args) {
    HGLOBAL image = ImageHandle(c);
    const bool horizontal = args[0].toI2() != 0;
    const bool vertical = args[1].toI2() != 0;
    if (!horizontal && !vertical) Raise(err::NoManipulation);
    HGLOBAL result = 0;
    RaiseIfFailed(MirrorDib(image, horizontal, vertical, result));
    InstallResult(c, result);
    return {};
}

Variant GetScanLine(ZPm32& c, std::span<Variant> args) {
    ScanLineCall call(c, args, VarType::I4);
    RaiseIfFailed(ReadScanLine(call.image, call.line, call.pixels));
    for (std::size_t x = 0; x < call.pixels.size(); ++x) call.array.SetInteger(x, call.pixels[x]);
    return {};
}

Variant PutScanLine(ZPm32& c, std::span<Variant> args) {
    ScanLineCall call(c, args, VarType::I4);
    for (std::size_t x = 0; x < call.pixels.size(); ++x) call.pixels[x] = call.array.Integer(x);
    RaiseIfFailed(WriteScanLine(call.image, call.line, call.pixels));
    const bool repaint = args[2].isMissing() || args[2].toI2() != 0;
    if (repaint)
        c.ImageChanged();
    else
        c.View().ImageChanged();
    return {};
}

}  // namespace pm32::control::entries
