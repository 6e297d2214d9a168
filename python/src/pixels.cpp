#include "pixels.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace pixmill {
namespace py = pybind11;
namespace {

using pm32::Variant;

constexpr int kTrueColor = 24;
constexpr int kGreyDepth = 8;
constexpr int kGreyLevels = 256;

// Colours cross the interface as 0x00BBGGRR longs.
std::uint8_t Red(std::int32_t color) { return color & 0xFF; }
std::uint8_t Green(std::int32_t color) { return (color >> 8) & 0xFF; }
std::uint8_t Blue(std::int32_t color) { return (color >> 16) & 0xFF; }
std::int32_t Color(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return red | (green << 8) | (blue << 16);
}

std::int32_t Property(ControlObject& control, const char* name) {
    return control.Invoke(control.RequireMember(name).id, pm32::InvokeKind::PropertyGet, {}).toI4();
}

Variant Call(ControlObject& control, pm32::DispId method, std::vector<Variant> args) {
    return control.Invoke(method, pm32::InvokeKind::Method, args);
}

// One row of longs that the scan-line members fill or read, kept across rows.
pm32::automation::ArrayPtr Row(std::size_t length) {
    auto row = std::make_shared<pm32::automation::SafeArray>();
    row->elementType = pm32::VarType::I4;
    row->elements.assign(length, Variant::I4(0));
    return row;
}

// Sizes beyond a short raise the overflow any late-bound caller gets.
Variant Short(py::ssize_t value) {
    const auto clamped = std::min<py::ssize_t>(value, std::numeric_limits<std::int32_t>::max());
    return Variant::I4(static_cast<std::int32_t>(clamped)).coerced(pm32::VarType::I2);
}

}  // namespace

py::array ToNumpy(ControlObject& control) {
    const pm32::DispId getScanLine = control.RequireMember("GetScanLine").id;
    const std::int32_t depth = Property(control, "ColorDepth");
    const std::int32_t width = Property(control, "Xresolution");
    const std::int32_t height = Property(control, "Yresolution");
    pm32::automation::ArrayPtr row = Row(width > 0 ? width : 1);
    // Without an image the control refuses the first row with its own error.
    if (depth == 0) Call(control, getScanLine, {Variant::I2(0), Variant::Array(row)});

    const bool rgb = depth == kTrueColor;
    py::array_t<std::uint8_t> pixels = rgb ? py::array_t<std::uint8_t>({height, width, 3})
                                           : py::array_t<std::uint8_t>({height, width});
    std::uint8_t* out = pixels.mutable_data();
    for (std::int32_t y = 0; y < height; ++y) {
        Call(control, getScanLine,
             {Variant::I2(static_cast<std::int16_t>(y)), Variant::Array(row)});
        for (std::int32_t x = 0; x < width; ++x) {
            const std::int32_t value = row->elements[x].toI4();
            if (rgb) {
                *out++ = Red(value);
                *out++ = Green(value);
                *out++ = Blue(value);
            } else {
                *out++ = static_cast<std::uint8_t>(value);
            }
        }
    }
    return pixels;
}

py::array Palette(ControlObject& control) {
    const std::int32_t depth = Property(control, "ColorDepth");
    // A palette-only control or a 24-bit image: the control says what it has.
    const std::size_t entries = depth > 0 && depth <= kGreyDepth ? std::size_t{1} << depth : 256;
    pm32::automation::ArrayPtr table = Row(entries);
    Call(control, control.RequireMember("GetPalette").id, {Variant::Array(table)});
    py::array_t<std::uint8_t> colors({static_cast<py::ssize_t>(entries), py::ssize_t{3}});
    std::uint8_t* out = colors.mutable_data();
    for (const Variant& entry : table->elements) {
        const std::int32_t value = entry.toI4();
        *out++ = Red(value);
        *out++ = Green(value);
        *out++ = Blue(value);
    }
    return colors;
}

void FromNumpy(ControlObject& control, const py::array& pixels) {
    if (!pixels.dtype().is(py::dtype::of<std::uint8_t>()))
        throw py::type_error("from_numpy takes a uint8 array");
    const bool rgb = pixels.ndim() == 3 && pixels.shape(2) == 3;
    if (!rgb && pixels.ndim() != 2)
        throw py::value_error("from_numpy takes height x width x 3 or height x width pixels");
    const auto contiguous =
        py::array_t<std::uint8_t, py::array::c_style | py::array::forcecast>(pixels);
    const py::ssize_t height = pixels.shape(0);
    const py::ssize_t width = pixels.shape(1);

    Call(control, control.RequireMember("Init").id,
         {Variant::I2(rgb ? kTrueColor : kGreyDepth), Short(width), Short(height), Variant::I4(0)});
    if (!rgb) {
        const pm32::DispId setPalColor = control.RequireMember("SetPalColor").id;
        for (int level = 0; level < kGreyLevels; ++level)
            Call(control, setPalColor,
                 {Variant::I2(static_cast<std::int16_t>(level)),
                  Variant::I4(Color(level, level, level))});
    }

    const pm32::DispId putScanLine = control.RequireMember("PutScanLine").id;
    pm32::automation::ArrayPtr row = Row(width);
    const std::uint8_t* in = contiguous.data();
    for (py::ssize_t y = 0; y < height; ++y) {
        for (py::ssize_t x = 0; x < width; ++x, in += rgb ? 3 : 1)
            row->elements[x] = Variant::I4(rgb ? Color(in[0], in[1], in[2]) : in[0]);
        Call(control, putScanLine,
             {Variant::I2(static_cast<std::int16_t>(y)), Variant::Array(row), Variant::I2(0)});
    }
}

}  // namespace pixmill
