#include "formats/alpha_composite.h"

#include <algorithm>
#include <array>

namespace pm32 {

void compositeBgraRow(const std::uint8_t* bgra, std::size_t pixels, const Backdrop& back,
                      std::uint8_t* bgr) {
    for (std::size_t x = 0; x < pixels; ++x, bgra += 4, bgr += 3) {
        bgr[0] = compositeOver(bgra[0], bgra[3], back.blue);
        bgr[1] = compositeOver(bgra[1], bgra[3], back.green);
        bgr[2] = compositeOver(bgra[2], bgra[3], back.red);
    }
}

void compositeGreyAlphaRow(const std::uint8_t* greyAlpha, std::size_t pixels, std::uint8_t back,
                           std::uint8_t* grey) {
    for (std::size_t x = 0; x < pixels; ++x, greyAlpha += 2)
        grey[x] = compositeOver(greyAlpha[0], greyAlpha[1], back);
}

void compositeEntries(std::span<PALETTEENTRY> entries, std::span<const std::uint8_t> alpha,
                      const Backdrop& back) {
    const std::size_t count = std::min(entries.size(), alpha.size());
    for (std::size_t i = 0; i < count; ++i) {
        PALETTEENTRY& e = entries[i];
        e.peRed = compositeOver(e.peRed, alpha[i], back.red);
        e.peGreen = compositeOver(e.peGreen, alpha[i], back.green);
        e.peBlue = compositeOver(e.peBlue, alpha[i], back.blue);
    }
}

void setGreyRamp(ZDib& image) {
    std::array<PALETTEENTRY, 256> ramp{};
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        auto level = static_cast<std::uint8_t>(i);
        ramp[i] = {level, level, level, 0};
    }
    image.SetPalette(ramp, true);
}

}  // namespace pm32
