#pragma once

#include <pybind11/numpy.h>

#include "control_object.h"

namespace pixmill {

// The image as uint8 pixels: height x width x 3 (red, green, blue) for a
// 24-bit image, height x width palette indices for 1-, 4- and 8-bit ones. An
// empty control raises its own error for the missing image.
pybind11::array ToNumpy(ControlObject& control);

// The colour table as uint8 entries x 3 (red, green, blue).
pybind11::array Palette(ControlObject& control);

// Replaces the image: height x width x 3 uint8 gives a 24-bit image, height x
// width uint8 an 8-bit one over a grey ramp (index i is grey level i).
void FromNumpy(ControlObject& control, const pybind11::array& pixels);

}  // namespace pixmill
