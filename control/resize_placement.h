#pragma once

#include <cstdint>
#include <optional>

#include "process/picture_rect.h"

namespace pm32::control {

// Where a scaled copy reads from the incoming image and writes to the held one.
struct ScaledPlacement {
    PictureRect source;
    PictureRect destination;
};

// The scaled whole-image transfer: the incoming w x h image onto the held
// W x H one, shifted by the origin (x, y). With keepProportions the incoming
// picture keeps its aspect. Nothing when either rectangle ends up empty or
// outside its image.
std::optional<ScaledPlacement> WholeImageResize(std::int32_t w, std::int32_t h, std::int32_t W,
                                                std::int32_t H, std::int32_t x, std::int32_t y,
                                                bool keepProportions);

// The scaled selection transfer: the incoming w x h image into the selection,
// its top-left corner at the selection's, within a W x H image. With
// keepProportions both axes use the larger shrink ratio, so the whole picture
// fits. Nothing when the selection is empty or no part of it lies inside the
// image.
std::optional<ScaledPlacement> SelectionResize(std::int32_t w, std::int32_t h, std::int32_t W,
                                               std::int32_t H, const PictureRect& selection,
                                               bool keepProportions);

}  // namespace pm32::control
