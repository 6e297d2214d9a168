#include <vector>

#include "control/array_argument.h"
#include "control/engine_result.h"
#include "control/entries.h"
#include "engine/errors.h"
#include "process/builtin_kernels.h"
#include "process/tone_operations.h"

namespace pm32::control::entries {
namespace {

// A filter level from 1 to 10; outside it the method's own number.
int level(const Variant& argument, ErrorNumber outOfRange) {
    int value = argument.toI2();
    if (value < 1 || value > 10) Raise(outOfRange);
    return value;
}

void requireFilterableDepth(ZPm32& c) {
    if (c.Image()->depth == 1) Raise(err::BadDepth);
}

void filter(ZPm32& c, const FilterKernel& kernel) {
    HGLOBAL result = 0;
    RaiseIfFailed(FilterDib(ImageHandle(c), kernel, result));
    InstallResult(c, result);
}

void filterBuiltin(ZPm32& c, const BuiltinKernel& builtin) {
    requireFilterableDepth(c);
    filter(c, builtin.Kernel());
}

}  // namespace

Variant Blur(ZPm32& c, std::span<Variant>) {
    ImageHandle(c);
    filterBuiltin(c, BlurKernel());
    return {};
}

Variant Soften(ZPm32& c, std::span<Variant> args) {
    ImageHandle(c);
    filterBuiltin(c, SoftenKernel(level(args[0], err::BadSoftness)));
    return {};
}

Variant Sharpen(ZPm32& c, std::span<Variant> args) {
    ImageHandle(c);
    filterBuiltin(c, SharpenKernel(level(args[0], err::BadSharpness)));
    return {};
}

Variant ExtractEdges(ZPm32& c, std::span<Variant> args) {
    ImageHandle(c);
    filterBuiltin(c, EdgeKernel(level(args[0], err::BadEdgeMagnitude)));
    return {};
}

Variant MatrixFilter(ZPm32& c, std::span<Variant> args) {
    ImageHandle(c);
    const int size = args[0].toI2();
    if (size != 3 && size != 5) Raise(err::OutOfRange);
    requireFilterableDepth(c);
    ArrayArgument matrix(args[1], VarType::I2);
    matrix.RequireElements(size * size);
    std::vector<std::int16_t> weights;
    for (std::size_t i = 0; i < static_cast<std::size_t>(size * size); ++i)
        weights.push_back(static_cast<std::int16_t>(matrix.Integer(i)));
    filter(c, {.weights = weights,
               .large = size == 5,
               .divisor = args[3].toI2(),
               .scale = args[2].toI2(),
               .offset = args[4].toI2()});
    return {};
}

Variant BrightCont(ZPm32& c, std::span<Variant> args) {
    HGLOBAL image = ImageHandle(c);
    const double brightness = args[0].toR8();
    const double contrast = args[1].toR8();
    if (contrast < 0.0 || contrast > 1.0) Raise(err::BadContrast);
    if (brightness < 0.0 || brightness > 1.0) Raise(err::BadBrightness);
    HGLOBAL result = 0;
    RaiseIfFailed(BrightContDib(image, brightness, contrast, result));
    InstallResult(c, result);
    return {};
}

Variant Gamma(ZPm32& c, std::span<Variant> args) {
    HGLOBAL image = ImageHandle(c);
    const double gamma = args[0].toR8();
    if (gamma < 1.0 || gamma > 10.0) Raise(err::OutOfRange);
    HGLOBAL result = 0;
    RaiseIfFailed(GammaDib(image, gamma, result));
    InstallResult(c, result);
    return {};
}

Variant Negate(ZPm32& c, std::span<Variant>) {
    HGLOBAL result = 0;
    RaiseIfFailed(NegateDib(ImageHandle(c), result));
    InstallResult(c, result);
    return {};
}

}  // namespace pm32::control::entries
