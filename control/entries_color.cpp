#include <algorithm>
#include <array>
#include <limits>

#include "color/color_count.h"
#include "color/color_replace.h"
#include "color/convert_depth.h"
#include "color/gray_scale.h"
#include "color/pixel_query.h"
#include "color/reduce_colors.h"
#include "control/array_argument.h"
#include "control/dispids.h"
#include "control/engine_result.h"
#include "control/entries.h"
#include "control/peer_control.h"
#include "control/progress_hook.h"
#include "control/zpm32.h"
#include "engine/errors.h"
#include "platform/automation/ole_color.h"

namespace pm32::control::entries {
namespace {

constexpr std::uint32_t kMostFourBitEntries = 16;

bool flag(const Variant& value) { return value.toI2() != 0; }

COLORREF colorArgument(const Variant& value) {
    return automation::TranslateOleColor(static_cast<std::uint32_t>(value.toI4()));
}

// Runs the ReduceColors pipeline with the arguments nColors, nOptimize, nDither
// and nNoBleed; progress may be null.
void reduce(ZPm32& c, HGLOBAL image, std::span<Variant> args, ProgressPump* progress) {
    HGLOBAL result = 0;
    RaiseIfFailed(ReduceColorsDib(image, args[0].toI2(), flag(args[1]), flag(args[2]),
                                  flag(args[3]), result, progress));
    InstallResult(c, result);
}

}  // namespace

Variant ReduceColors(ZPm32& c, std::span<Variant> args) {
    reduce(c, ImageHandle(c), args, nullptr);
    return {};
}

Variant ReduceColorsCallback(ZPm32& c, std::span<Variant> args) {
    automation::DispatchPtr peek = args[4].toDispatch();
    if (!peek) Raise(err::NullControl);
    HGLOBAL image = ImageHandle(c);
    platform::HWND window = PeekWindow(*peek);
    std::int16_t lines = c.I2(dispid::CallbackLines);
    if (lines < 0) Raise(err::NegativeLines);
    ProgressPump pump;
    pump.SetUp(CallbackOf(c), lines, window);
    reduce(c, image, args, &pump);
    return {};
}

Variant DitherPal(ZPm32& c, std::span<Variant> args) {
    HGLOBAL image = ImageHandle(c);
    automation::DispatchPtr source = args[0].toDispatch();
    if (!source) Raise(err::NullControl);
    const ZPal* palette = PeerControl(*source).Palette();
    if (palette == nullptr) Raise(err::NoPaletteInControl);
    std::array<PALETTEENTRY, 256> entries{};
    unsigned count = platform::GetPaletteEntries(palette->handle(), 0, entries);
    if (count < 2) Raise(err::NoPalette);
    HGLOBAL result = 0;
    RaiseIfFailed(ConvertDepth(image, count > kMostFourBitEntries ? 8 : 4,
                               std::span(entries.data(), count), true, false, result));
    InstallResult(c, result);
    return {};
}

Variant IncreaseColors(ZPm32& c, std::span<Variant> args) {
    HGLOBAL image = ImageHandle(c);
    int depth = args[0].toI2();
    if ((depth != 4 && depth != 8 && depth != 24) || depth <= static_cast<int>(c.Image()->depth))
        Raise(err::BadDepth);
    HGLOBAL result = 0;
    RaiseIfFailed(ConvertDepth(image, static_cast<std::uint32_t>(depth), {}, false, false, result));
    InstallResult(c, result);
    return {};
}

Variant GrayScale(ZPm32& c, std::span<Variant>) {
    HGLOBAL result = 0;
    RaiseIfFailed(GrayScaleDib(ImageHandle(c), result));
    InstallResult(c, result);
    return {};
}

Variant ColorReplace(ZPm32& c, std::span<Variant> args) {
    HGLOBAL image = ImageHandle(c);
    HGLOBAL result = 0;
    RaiseIfFailed(ReplaceColors(image, colorArgument(args[0]), colorArgument(args[1]),
                                flag(args[2]), colorArgument(args[3]), result));
    InstallResult(c, result);
    return {};
}

Variant GetColor(ZPm32& c, std::span<Variant> args) {
    HGLOBAL image = ImageHandle(c);
    std::uint32_t color = 0;
    RaiseIfFailed(PixelColor(image, args[0].toI2(), args[1].toI2(), color));
    return Variant::I4(static_cast<std::int32_t>(color));
}

Variant GetPalIndex(ZPm32& c, std::span<Variant> args) {
    HGLOBAL image = ImageHandle(c);
    unsigned index = 0;
    RaiseIfFailed(PixelIndex(image, args[0].toI2(), args[1].toI2(), index));
    return Variant::I2(static_cast<std::int16_t>(index));
}

Variant GetColorCount(ZPm32& c, std::span<Variant>) {
    std::uint32_t count = 0;
    RaiseIfFailed(CountDistinctColors(ImageHandle(c), count));
    return Variant::I4(static_cast<std::int32_t>(count));
}

Variant GetColorCountArray(ZPm32& c, std::span<Variant> args) {
    HGLOBAL image = ImageHandle(c);
    std::array<std::uint64_t, 256> uses{};
    RaiseIfFailed(CountIndexUses(image, uses));
    ArrayArgument counts(args[0], VarType::I4);
    counts.RequireElements(static_cast<std::int64_t>(uses.size()));
    for (std::size_t i = 0; i < uses.size(); ++i)
        counts.SetInteger(i, static_cast<std::int32_t>(std::min<std::uint64_t>(
                                 uses[i], std::numeric_limits<std::int32_t>::max())));
    return {};
}

}  // namespace pm32::control::entries
