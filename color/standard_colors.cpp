#include "color/standard_colors.h"

namespace pm32 {

using platform::PALETTEENTRY;

const std::array<PaletteColor, 16>& StandardColors() {
    // Listed as blue, green, red.
    static const std::array<PaletteColor, 16> colors = {{
        {0, 0, 0},
        {0, 0, 128},
        {0, 128, 0},
        {0, 128, 128},
        {128, 0, 0},
        {128, 0, 128},
        {128, 128, 0},
        {128, 128, 128},
        {192, 192, 192},
        {0, 0, 255},
        {0, 255, 0},
        {0, 255, 255},
        {255, 0, 0},
        {255, 0, 255},
        {255, 255, 0},
        {255, 255, 255},
    }};
    return colors;
}

const std::array<PALETTEENTRY, 20>& StaticColors() {
    // Listed as red, green, blue; the system palette's standard values.
    static const std::array<PALETTEENTRY, 20> colors = {{
        {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
        {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
        {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
        {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
        {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
    }};
    return colors;
}

int StaticIndexOf(const PALETTEENTRY& entry) {
    const auto& colors = StaticColors();
    for (std::size_t i = 0; i < colors.size(); ++i)
        if (colors[i].peRed == entry.peRed && colors[i].peGreen == entry.peGreen &&
            colors[i].peBlue == entry.peBlue)
            return static_cast<int>(i);
    return -1;
}

}  // namespace pm32
