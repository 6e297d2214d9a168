#include "color/palette_builder.h"

#include <algorithm>

#include "color/standard_colors.h"

namespace pm32 {
namespace {

constexpr unsigned kFullPalette = 256;
constexpr unsigned kStaticCount = 20;
constexpr unsigned kUpperStaticFirst = 10;

bool sameColor(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue;
}

}  // namespace

ZPalBuilder::~ZPalBuilder() {
    if (palette_ != 0) platform::DeletePalette(palette_);
}

int ZPalBuilder::finish(unsigned count) {
    count_ = count;
    palette_ = platform::CreatePalette(std::span(entries_.data(), count_));
    status_ = palette_ != 0 ? kDone : kNoMemory;
    return status_;
}

int ZPalBuilder::Plain(std::span<const PALETTEENTRY> colors) {
    if (colors.size() > kFullPalette) return status_ = kTooMany;
    std::copy(colors.begin(), colors.end(), entries_.begin());
    return finish(static_cast<unsigned>(colors.size()));
}

int ZPalBuilder::WithSystemColors(std::span<const PALETTEENTRY> colors, PALETTEENTRY fill) {
    if (colors.size() + kStaticCount > kFullPalette) return status_ = kTooMany;
    for (unsigned i = 0; i < kStaticCount; ++i) entries_[StaticPosition(i)] = StaticColors()[i];
    std::copy(colors.begin(), colors.end(), entries_.begin() + kFirstFreePosition);
    fill.peFlags = platform::PC_RESERVED;
    for (std::size_t position = kFirstFreePosition + colors.size(); position <= kLastFreePosition;
         ++position)
        entries_[position] = fill;
    return finish(kFullPalette);
}

int ZPalBuilder::AddSystemColors(std::span<const PALETTEENTRY> palette, PALETTEENTRY fill) {
    if (palette.size() < 2) return status_ = kTooFew;
    for (unsigned i = 0; i < kStaticCount; ++i) entries_[StaticPosition(i)] = StaticColors()[i];
    unsigned next = kFirstFreePosition;
    for (const PALETTEENTRY& entry : palette) {
        if (StaticIndexOf(entry) >= 0) continue;
        auto appended = std::span(entries_.data() + kFirstFreePosition, next - kFirstFreePosition);
        if (std::any_of(appended.begin(), appended.end(),
                        [&](const PALETTEENTRY& e) { return sameColor(e, entry); }))
            continue;
        if (next > kLastFreePosition) return status_ = kTooMany;
        entries_[next++] = entry;
    }
    for (; next <= kLastFreePosition; ++next) entries_[next] = fill;
    return finish(kFullPalette);
}

int ZPalBuilder::Identity(std::span<const PALETTEENTRY> palette,
                          std::span<const std::int16_t> reserved) {
    if (palette.size() < 2) return status_ = kTooFew;
    std::copy_n(palette.begin(), std::min<std::size_t>(palette.size(), kFullPalette),
                entries_.begin());
    std::array<bool, kFullPalette> listed{};
    for (std::int16_t position : reserved) {
        if (position < static_cast<int>(kFirstFreePosition) ||
            position > static_cast<int>(kLastFreePosition))
            return status_ = kReservedOutOfBounds;
        listed[static_cast<std::size_t>(position)] = true;
    }
    for (unsigned position = kFirstFreePosition; position <= kLastFreePosition; ++position) {
        PALETTEENTRY& entry = entries_[position];
        if (listed[position]) {
            entry.peFlags = platform::PC_RESERVED;
            continue;
        }
        entry.peFlags = platform::PC_NOCOLLAPSE;
        if (StaticIndexOf(entry) >= static_cast<int>(kUpperStaticFirst))
            entry.peBlue = entry.peBlue == 255 ? 254 : static_cast<std::uint8_t>(entry.peBlue + 1);
    }
    return finish(kFullPalette);
}

}  // namespace pm32
