#include <array>
#include <vector>

#include "control/array_argument.h"
#include "control/engine_result.h"
#include "control/entries.h"
#include "platform/automation/ole_color.h"
#include "process/process_errors.h"
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

std::int32_t scanLine(ZPm32& c, const Variant& argument) {
    std::int32_t line = argument.toI2();
    if (line < 0 || line >= c.Image()->height) Raise(err::OutOfRange);
    return line;
}

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
    HGLOBAL image = ImageHandle(c);
    const std::int32_t line = scanLine(c, args[0]);
    ArrayArgument target(args[1], VarType::I4);
    const auto width = static_cast<std::size_t>(c.Image()->width);
    target.RequireElements(static_cast<std::int64_t>(width));
    std::vector<std::int32_t> pixels(width);
    RaiseIfFailed(ReadScanLine(image, line, pixels));
    for (std::size_t x = 0; x < width; ++x) target.SetInteger(x, pixels[x]);
    return {};
}

Variant PutScanLine(ZPm32& c, std::span<Variant> args) {
    HGLOBAL image = ImageHandle(c);
    const std::int32_t line = scanLine(c, args[0]);
    ArrayArgument source(args[1], VarType::I4);
    const auto width = static_cast<std::size_t>(c.Image()->width);
    source.RequireElements(static_cast<std::int64_t>(width));
    std::vector<std::int32_t> pixels(width);
    for (std::size_t x = 0; x < width; ++x) pixels[x] = source.Integer(x);
    RaiseIfFailed(WriteScanLine(image, line, pixels));
    const bool repaint = args[2].isMissing() || args[2].toI2() != 0;
    if (repaint)
        c.ImageChanged();
    else
        c.View().ImageChanged();
    return {};
}

}  // namespace pm32::control::entries
