#include <array>
#include <string>
#include <vector>

#include "color/color_count.h"
#include "color/histogram.h"
#include "color/map_index.h"
#include "color/palette_builder.h"
#include "color/reduction_palette.h"
#include "color/remap_palette.h"
#include "color/standard_colors.h"
#include "control/array_argument.h"
#include "control/dispids.h"
#include "control/engine_result.h"
#include "control/entries.h"
#include "control/peer_control.h"
#include "control/zpm32.h"
#include "engine/diagnostics.h"
#include "engine/dib_layout.h"
#include "engine/errors.h"
#include "engine/progress.h"
#include "formats/dispatch.h"

namespace pm32::control::entries {
namespace {

constexpr int kMostColors = 256;
constexpr int kMostBesideSystemColors = 236;
constexpr std::int32_t kSmallestSide = 3;
constexpr PALETTEENTRY kBlack{0, 0, 0, 0};

using Entries = std::vector<PALETTEENTRY>;

std::int32_t entryValue(const PALETTEENTRY& e) {
    return static_cast<std::int32_t>(e.peRed | e.peGreen << 8 | e.peBlue << 16 |
                                     static_cast<std::uint32_t>(e.peFlags) << 24);
}

PALETTEENTRY entryOf(std::int32_t value) {
    auto v = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

// Every entry of a palette object; err::PaletteTooSmall when it cannot be read.
Entries paletteEntries(const ZPal& palette) {
    Entries entries(platform::GetPaletteEntryCount(palette.handle()));
    if (entries.empty() ||
        platform::GetPaletteEntries(palette.handle(), 0, entries) != entries.size())
        Raise(err::PaletteTooSmall);
    return entries;
}

// The full colour table of the control's palette image.
Entries colorTable(ZPm32& c) {
    ZDib image;
    image.Attach(c.Image()->handle, false, false, DepthRule::Any);
    RaiseIfFailed(image.error);
    Entries table(fullTableSize(image.depth));
    image.GetPalette(table);
    return table;
}

void requireImageOrPalette(ZPm32& c) {
    if (c.Image() == nullptr && c.Palette() == nullptr) Raise(err::NeedImageOrPalette);
}

void requireEightBits(ZPm32& c) {
    if (c.Image()->depth != 8) Raise(err::NeedsEightBits);
}

// The image remapped onto the builder's palette, which the control keeps with
// its entry flags.
void remapOnto(ZPm32& c, const ZPalBuilder& builder) {
    HGLOBAL result = 0;
    RaiseIfFailed(RemapToPalette(c.Image()->handle, builder.palette(), result));
    InstallResult(c, result, builder.palette());
}

void checkStatus(int status) { RaiseIfFailed(StatusToError(status)); }

// What a common palette is made from.
struct Contributions {
    std::vector<HGLOBAL> images;
    std::vector<HPALETTE> palettes;
    std::vector<std::pair<std::string, FormatCode>> files;
};

// The first `count` entries of a by-position array argument.
ArrayArgument firstEntries(const Variant& argument, std::int16_t count, VarType type) {
    if (count < 0) Raise(err::OutOfArrayBounds);
    ArrayArgument array(argument, type);
    array.RequireElements(count);
    return array;
}

// Each control gives its image, or else its palette.
void addControls(Contributions& from, const Variant& argument, std::int16_t count) {
    if (count == 0) return;
    ArrayArgument controls = firstEntries(argument, count, VarType::Dispatch);
    for (std::int16_t i = 0; i < count; ++i) {
        automation::DispatchPtr object = controls.Object(static_cast<std::size_t>(i));
        if (!object) Raise(err::NullControl);
        PeerControl peer(*object);
        if (const ZDibHolder* image = peer.Image()) {
            from.images.push_back(image->handle);
        } else if (const ZPal* palette = peer.Palette()) {
            from.palettes.push_back(palette->handle());
        } else {
            Raise(err::NeedImageOrPalette);
        }
    }
}

void addFiles(ZPm32& c, Contributions& from, const Variant& argument, std::int16_t count) {
    if (count == 0) return;
    ArrayArgument files = firstEntries(argument, count, VarType::String);
    for (std::int16_t i = 0; i < count; ++i) {
        std::string path = files.Text(static_cast<std::size_t>(i));
        FormatCode format{};
        RaiseIfFailed(ResolveFormat(c.I2(dispid::ImageFormat), path, format));
        from.files.emplace_back(std::move(path), format);
    }
}

void addImage(ColorHistogram& histogram, HGLOBAL handle) {
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    RaiseIfFailed(image.error);
    if (image.width < kSmallestSide || image.height < kSmallestSide) Raise(err::InvalidPicture);
    RaiseIfFailed(AccumulateHistogram(histogram, handle));
}

// Counts every contribution into one histogram, builds a palette of `colors`
// from it and gives it to the control.
void optimize(ZPm32& c, const Contributions& from, std::int16_t colors) {
    if (from.images.empty() && from.palettes.empty() && from.files.empty())
        Raise(err::NothingToOptimize);
    ColorHistogram histogram;
    if (!histogram.Allocate()) Raise(err::OperationFailure);
    for (HPALETTE palette : from.palettes) RaiseIfFailed(AccumulatePalette(histogram, palette));
    for (HGLOBAL image : from.images) addImage(histogram, image);
    for (const auto& [path, format] : from.files) {
        if (format == kFormatQzi || format == kFormatQzs) continue;
        ZDib loaded;
        LoadFile(loaded, path, format, 1, ZLoadParams{});
        RaiseIfFailed(loaded.error);
        if (loaded.handle != 0) addImage(histogram, loaded.handle);
    }
    WorkingPalette palette;
    RaiseIfFailed(
        PaletteFromHistogram(histogram, palette, colors < 0 ? 0u : static_cast<unsigned>(colors)));
    Entries entries(palette.count);
    for (unsigned i = 0; i < palette.count; ++i) {
        const PaletteColor& color = palette.entries[i];
        entries[i] = {color.red, color.green, color.blue, 0};
    }
    ZPalBuilder builder;
    checkStatus(builder.Plain(entries));
    c.AdoptPalette(builder.palette());
}

}  // namespace

Variant OptimizePal(ZPm32& c, std::span<Variant> args) {
    Contributions from;
    addControls(from, args[0], args[1].toI2());
    optimize(c, from, args[2].toI2());
    return {};
}

Variant OptimizePalFiles(ZPm32& c, std::span<Variant> args) {
    Contributions from;
    addControls(from, args[0], args[1].toI2());
    addFiles(c, from, args[2], args[3].toI2());
    FileProgressPump().SetUp({}, 0, 0);
    optimize(c, from, args[4].toI2());
    return {};
}

Variant CreatePalette(ZPm32& c, std::span<Variant> args) {
    std::int16_t colors = args[0].toI2();
    if (colors < 2 || colors > kMostColors) Raise(err::BadPaletteSize);
    bool systemColors = args[2].toI2() != 0;
    if (systemColors && colors > kMostBesideSystemColors) Raise(err::TooManyWithSystemColors);
    ArrayArgument values = firstEntries(args[1], colors, VarType::I4);
    Entries entries(static_cast<std::size_t>(colors));
    for (std::size_t i = 0; i < entries.size(); ++i) entries[i] = entryOf(values.Integer(i));
    ZPalBuilder builder;
    checkStatus(systemColors ? builder.WithSystemColors(entries, kBlack) : builder.Plain(entries));
    c.AdoptPalette(builder.palette());
    return {};
}

Variant AddSystemColors(ZPm32& c, std::span<Variant>) {
    requireImageOrPalette(c);
    if (c.SystemColorsAdded()) Raise(err::SystemColorsPresent);
    ZPalBuilder builder;
    if (c.Image() != nullptr) {
        requireEightBits(c);
        checkStatus(builder.AddSystemColors(colorTable(c), kBlack));
        remapOnto(c, builder);
        return {};
    }
    checkStatus(builder.AddSystemColors(paletteEntries(*c.Palette()), kBlack));
    c.AdoptPalette(builder.palette());
    return {};
}

Variant CountSystemColors(ZPm32& c, std::span<Variant>) {
    requireImageOrPalette(c);
    Entries entries;
    if (c.Image() != nullptr) {
        if (c.Image()->depth != 8) Raise(err::BadDepth);
        std::array<std::uint64_t, 256> uses{};
        RaiseIfFailed(CountIndexUses(c.Image()->handle, uses));
        Entries table = colorTable(c);
        for (std::size_t i = 0; i < table.size(); ++i)
            if (uses[i] != 0) entries.push_back(table[i]);
    } else {
        entries = paletteEntries(*c.Palette());
    }
    std::array<bool, 20> seen{};
    std::int32_t count = 0;
    for (const PALETTEENTRY& entry : entries) {
        int index = StaticIndexOf(entry);
        if (index < 0 || seen[static_cast<std::size_t>(index)]) continue;
        seen[static_cast<std::size_t>(index)] = true;
        ++count;
    }
    return Variant::I4(count);
}

Variant WinG(ZPm32& c, std::span<Variant> args) {
    requireImageOrPalette(c);
    if (c.Image() != nullptr) requireEightBits(c);
    std::int16_t count = args[0].toI2();
    ArrayArgument listed = firstEntries(args[1], count, VarType::I2);
    std::vector<std::int16_t> reserved(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < reserved.size(); ++i)
        reserved[i] = static_cast<std::int16_t>(listed.Integer(i));
    ZPalBuilder builder;
    if (c.Image() != nullptr) {
        checkStatus(builder.Identity(colorTable(c), reserved));
        remapOnto(c, builder);
    } else {
        checkStatus(builder.Identity(paletteEntries(*c.Palette()), reserved));
        c.AdoptPalette(builder.palette());
    }
    c.MarkSystemColorsAdded();
    return {};
}

Variant MapIndex(ZPm32& c, std::span<Variant> args) {
    if (c.Palette() == nullptr) Raise(err::NoPaletteInControl);
    auto entries = static_cast<std::int32_t>(c.Palette()->entryCount());
    if (entries < 2) Raise(err::NoPalette);
    std::int16_t from = args[0].toI2();
    std::int16_t to = args[1].toI2();
    if (from < 0 || from >= entries) Raise(err::SourceIndexUnused);
    if (to < 0 || to >= entries) Raise(err::DestinationIndexUnused);
    RaiseIfFailed(
        MapIndexInPlace(ImageHandle(c), static_cast<unsigned>(from), static_cast<unsigned>(to)));
    return {};
}

Variant RemapPal(ZPm32& c, std::span<Variant> args) {
    HGLOBAL image = ImageHandle(c);
    automation::DispatchPtr source = args[0].toDispatch();
    if (!source) Raise(err::NullControl);
    PeerControl peer(*source);
    const ZPal* palette = peer.Palette();
    if (palette == nullptr) Raise(err::NoPaletteInControl);
    if (c.Image()->depth == 24) Raise(err::BadDepth);
    const ZDibHolder* sourceImage = peer.Image();
    if (sourceImage != nullptr && sourceImage->depth != c.Image()->depth) Raise(err::BadDepth);
    HGLOBAL result = 0;
    RaiseIfFailed(RemapToPalette(image, palette->handle(), result));
    InstallResult(c, result);
    return {};
}

Variant SetPalColor(ZPm32& c, std::span<Variant> args) {
    if (c.Palette() == nullptr) Raise(err::NoPaletteInControl);
    std::int16_t position = args[0].toI2();
    PALETTEENTRY entry = entryOf(args[1].toI4());
    HPALETTE palette = c.Palette()->handle();
    if (position < 0 || platform::SetPaletteEntries(palette, static_cast<unsigned>(position),
                                                    std::span(&entry, 1)) != 1)
        Raise(err::CannotSetColor);
    c.AdoptPalette(palette);
    return {};
}

Variant GetPalColor(ZPm32& c, std::span<Variant> args) {
    if (c.Palette() == nullptr) Raise(err::NoPaletteInControl);
    std::int16_t position = args[0].toI2();
    PALETTEENTRY entry{};
    if (position < 0 ||
        platform::GetPaletteEntries(c.Palette()->handle(), static_cast<unsigned>(position),
                                    std::span(&entry, 1)) != 1)
        Raise(err::CannotGetEntry);
    return Variant::I4(entryValue(entry));
}

Variant GetPalette(ZPm32& c, std::span<Variant> args) {
    requireImageOrPalette(c);
    Entries entries;
    if (c.Image() != nullptr) {
        if (c.Image()->depth == 24) Raise(err::NoPalette);
        entries = colorTable(c);
    } else {
        entries = paletteEntries(*c.Palette());
    }
    ArrayArgument out(args[0], VarType::I4);
    out.RequireElements(static_cast<std::int64_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) out.SetInteger(i, entryValue(entries[i]));
    return {};
}

Variant SetScreenPal(ZPm32& c, std::span<Variant>) {
    if (c.Palette() == nullptr) Raise(err::NoPaletteInControl);
    // Realising a palette on a true-colour display changes no entries, so no
    // window needs repainting afterwards.
    return {};
}

Variant GetSystemPalette(ZPm32& c, std::span<Variant>) {
    return Variant::Bool(c.SystemColorsAdded());
}

}  // namespace pm32::control::entries
