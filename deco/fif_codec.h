#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "deco/fif_layout.h"
#include "deco/plane_code.h"

namespace deco {

// A parsed FIF file: its header and the luminance plane, followed for colour
// files by the blue and red chroma planes at half size.
struct FifPicture {
    FifHeader header;
    std::vector<PlaneCode> planes;
};

std::optional<FifPicture> parseFif(const std::uint8_t* data, std::size_t size);

struct EncodeSettings {
    int quality = 75;                                 // 1 (smallest) to 100 (best)
    std::string tableName;                            // an FTT file to name, empty for none
    ContrastTable contrast = defaultContrastTable();  // the named table's factors
    bool sizeUnknown = false;                         // leave the stored size out
};

// Codes width x height pixels of red, green, blue bytes (rows top-down, no
// padding); a picture whose pixels are all grey gets one plane. Nothing when
// the size is out of range.
std::optional<std::vector<std::uint8_t>> encodeFif(const std::uint8_t* rgb, int width, int height,
                                                   const EncodeSettings& settings);

// The largest mean squared error a block may keep at a quality.
double blockErrorLimit(int quality);

}  // namespace deco
