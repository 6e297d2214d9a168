#include "control/cut_out.h"

#include <algorithm>
#include <array>

#include "control/dib_guard.h"
#include "control/zpm32.h"
#include "engine/pixel_access.h"
#include "process/rect_copy.h"

namespace pm32::control {
namespace {

std::uint8_t red(COLORREF c) { return static_cast<std::uint8_t>(c); }
std::uint8_t green(COLORREF c) { return static_cast<std::uint8_t>(c >> 8); }
std::uint8_t blue(COLORREF c) { return static_cast<std::uint8_t>(c >> 16); }

unsigned nearestEntry(std::span<const PALETTEENTRY> table, COLORREF color) {
    unsigned best = 0;
    int bestDistance = -1;
    for (unsigned i = 0; i < table.size(); ++i) {
        int dr = table[i].peRed - red(color);
        int dg = table[i].peGreen - green(color);
        int db = table[i].peBlue - blue(color);
        int distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

// Sets every pixel of the blank image to the fill: the colour itself at 24
// bits, else the nearest entry of the colour table.
void fill(ZDib& image, std::span<const PALETTEENTRY> table, COLORREF color) {
    unsigned index = nearestEntry(table, color);
    auto rows = image.BuildRowTable();
    if (rows.empty()) Raise(err::LockFailed);
    for (std::uint8_t* row : rows)
        for (std::int32_t x = 0; x < image.width; ++x) {
            if (image.depth == 24) {
                row[3 * x] = blue(color);
                row[3 * x + 1] = green(color);
                row[3 * x + 2] = red(color);
            } else {
                SetIndexAt(row, x, image.depth, index);
            }
        }
    image.CommitRowTable();
}

}  // namespace

HGLOBAL FilledDib(std::uint32_t depth, std::int32_t width, std::int32_t height,
                  std::span<const PALETTEENTRY> table, COLORREF fillColor) {
    HGLOBAL created = 0;
    if (ErrorNumber n = CreateDib(depth, width, height, 0, created); n != 0) Raise(n);
    ZDib image;
    image.Attach(created, true, false, DepthRule::Any);
    if (image.error != 0) Raise(image.error);
    image.SetPalette(table, true);
    fill(image, table, fillColor);
    return image.Release();
}

HGLOBAL CutOut(HGLOBAL source, const PictureRect& rect, COLORREF fillColor) {
    ZDib from;
    from.Attach(source, false, false, DepthRule::Any);
    if (from.error != 0) Raise(from.error);
    bool misses = rect.Width() <= 0 || rect.Height() <= 0 || rect.right <= 0 || rect.bottom <= 0 ||
                  rect.left >= from.width || rect.top >= from.height;
    if (misses) return 0;
    std::array<PALETTEENTRY, 256> table{};
    std::size_t entries = from.depth == 24 ? 0 : from.GetPalette(table);
    DibGuard cut(FilledDib(from.depth, rect.Width(), rect.Height(), std::span(table).first(entries),
                           fillColor));
    if (ErrorNumber n = CopyRect(source, rect, cut.get(), 0, 0); n != 0) Raise(n);
    return cut.handOn();
}

}  // namespace pm32::control
