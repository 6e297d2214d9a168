#include <Magick++.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "process/builtin_kernels.h"
#include "process/filter_dib.h"
#include "process/rotate_dib.h"
#include "process/stretch_copy.h"
#include "process/tone_operations.h"

namespace {

using pm32::HGLOBAL;

constexpr std::int32_t kWidth = 4000;
constexpr std::int32_t kHeight = 3000;
constexpr double kMegapixels = kWidth * static_cast<double>(kHeight) / 1e6;

// A smooth picture with grain, as one DIB and the same pixels as a Magick
// image (top row first there).
struct Picture {
    pm32::ZDib dib;
    Magick::Image magick;

    Picture() {
        dib.Create(kWidth, kHeight, 24, 0);
        auto rows = dib.BuildRowTable();
        if (rows.empty()) std::abort();
        std::vector<std::uint8_t> topDown(static_cast<std::size_t>(kWidth) * kHeight * 3);
        std::uint32_t noise = 7;
        for (std::int32_t y = 0; y < kHeight; ++y) {
            std::uint8_t* row = rows[static_cast<std::size_t>(kHeight - 1 - y)];
            for (std::int32_t x = 0; x < kWidth; ++x) {
                noise = noise * 1664525u + 1013904223u;
                const int grain = static_cast<int>(noise >> 28) - 8;
                const double wave = 60 * std::sin(x * 0.004) * std::cos(y * 0.006);
                const int values[3] = {120 + static_cast<int>(wave) + grain, 40 + y / 30 + grain,
                                       60 + x / 40 + grain};
                for (int c = 0; c < 3; ++c) {
                    auto v = static_cast<std::uint8_t>(std::clamp(values[c], 0, 255));
                    row[3 * x + c] = v;
                    topDown[(static_cast<std::size_t>(y) * kWidth + x) * 3 +
                            static_cast<std::size_t>(c)] = v;
                }
            }
        }
        dib.CommitRowTable();
        magick.read(kWidth, kHeight, "BGR", Magick::CharPixel, topDown.data());
    }
};

const Picture& picture() {
    static const Picture shared;
    return shared;
}

void reportRate(benchmark::State& state) {
    state.counters["MP/s"] = benchmark::Counter(
        kMegapixels * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

template <typename Operation>
void runOurs(benchmark::State& state, Operation operation) {
    const HGLOBAL image = picture().dib.handle;
    for (auto _ : state) {
        HGLOBAL result = 0;
        if (operation(image, result) != 0) state.SkipWithError("operation failed");
        pm32::FreeDib(result);
    }
    reportRate(state);
}

template <typename Operation>
void runMagick(benchmark::State& state, Operation operation) {
    for (auto _ : state) {
        Magick::Image copy = picture().magick;
        operation(copy);
        benchmark::DoNotOptimize(copy.columns());
    }
    reportRate(state);
}

// Kernels as Magick++ takes them: the weights divided by the divisor.
std::vector<double> normalised(std::span<const std::int16_t> weights, double divisor) {
    std::vector<double> kernel;
    for (std::int16_t w : weights) kernel.push_back(w / divisor);
    return kernel;
}

const std::vector<std::int16_t> kGauss5{1,  4, 6, 4,  1,  4,  16, 24, 16, 4, 6, 24, 36,
                                        24, 6, 4, 16, 24, 16, 4,  1,  4,  6, 4, 1};

void Ours_Blur(benchmark::State& state) {
    runOurs(state, [](HGLOBAL image, HGLOBAL& result) {
        return pm32::FilterDib(image, pm32::BlurKernel().Kernel(), result);
    });
}
void Magick_Blur(benchmark::State& state) {
    const auto kernel = normalised(pm32::BlurKernel().weights, 9);
    runMagick(state, [&](Magick::Image& image) { image.convolve(3, kernel.data()); });
}

void Ours_Sharpen(benchmark::State& state) {
    runOurs(state, [](HGLOBAL image, HGLOBAL& result) {
        return pm32::FilterDib(image, pm32::SharpenKernel(5).Kernel(), result);
    });
}
void Magick_Sharpen(benchmark::State& state) {
    const pm32::BuiltinKernel sharpen = pm32::SharpenKernel(5);
    const auto kernel = normalised(sharpen.weights, sharpen.divisor);
    runMagick(state, [&](Magick::Image& image) { image.convolve(3, kernel.data()); });
}

void Ours_MatrixFilter5x5(benchmark::State& state) {
    runOurs(state, [](HGLOBAL image, HGLOBAL& result) {
        return pm32::FilterDib(image, {.weights = kGauss5, .large = true, .divisor = -1}, result);
    });
}
void Magick_MatrixFilter5x5(benchmark::State& state) {
    const auto kernel = normalised(kGauss5, 256);
    runMagick(state, [&](Magick::Image& image) { image.convolve(5, kernel.data()); });
}

void Ours_BrightCont(benchmark::State& state) {
    runOurs(state, [](HGLOBAL image, HGLOBAL& result) {
        return pm32::BrightContDib(image, 0.6, 0.6, result);
    });
}
void Magick_BrightCont(benchmark::State& state) {
    runMagick(state, [](Magick::Image& image) { image.brightnessContrast(20, 20); });
}

void Ours_Rotate(benchmark::State& state) {
    const auto degrees = static_cast<int>(state.range(0));
    runOurs(state, [=](HGLOBAL image, HGLOBAL& result) {
        return pm32::RotateDib(image, degrees, 0, result);
    });
}
void Magick_Rotate(benchmark::State& state) {
    const auto degrees = static_cast<double>(state.range(0));
    runMagick(state, [=](Magick::Image& image) { image.rotate(degrees); });
}

// Ours makes the destination image inside the loop, as the peer does.
void Ours_SmoothStretch(benchmark::State& state) {
    const auto percent = static_cast<std::int32_t>(state.range(0));
    const std::int32_t width = kWidth * percent / 100, height = kHeight * percent / 100;
    runOurs(state, [=](HGLOBAL image, HGLOBAL& result) {
        if (pm32::ErrorNumber n = pm32::CreateDib(24, width, height, 0, result); n != 0) return n;
        return pm32::StretchCopy(image, {0, 0, kWidth, kHeight}, result, {0, 0, width, height},
                                 true);
    });
}
void Magick_Scale(benchmark::State& state) {
    const auto percent = static_cast<std::size_t>(state.range(0));
    const Magick::Geometry size(kWidth * percent / 100, kHeight * percent / 100);
    runMagick(state, [&](Magick::Image& image) { image.scale(size); });
}
void Magick_Resize(benchmark::State& state) {
    const auto percent = static_cast<std::size_t>(state.range(0));
    const Magick::Geometry size(kWidth * percent / 100, kHeight * percent / 100);
    runMagick(state, [&](Magick::Image& image) { image.resize(size); });
}

}  // namespace

BENCHMARK(Ours_Blur)->Unit(benchmark::kMillisecond);
BENCHMARK(Magick_Blur)->Unit(benchmark::kMillisecond);
BENCHMARK(Ours_Sharpen)->Unit(benchmark::kMillisecond);
BENCHMARK(Magick_Sharpen)->Unit(benchmark::kMillisecond);
BENCHMARK(Ours_MatrixFilter5x5)->Unit(benchmark::kMillisecond);
BENCHMARK(Magick_MatrixFilter5x5)->Unit(benchmark::kMillisecond);
BENCHMARK(Ours_BrightCont)->Unit(benchmark::kMillisecond);
BENCHMARK(Magick_BrightCont)->Unit(benchmark::kMillisecond);
BENCHMARK(Ours_Rotate)->Arg(90)->Arg(33)->Unit(benchmark::kMillisecond);
BENCHMARK(Magick_Rotate)->Arg(90)->Arg(33)->Unit(benchmark::kMillisecond);
BENCHMARK(Ours_SmoothStretch)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(Magick_Scale)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(Magick_Resize)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

// The peer runs on one thread, as ours does.
int main(int argc, char** argv) {
    setenv("MAGICK_THREAD_LIMIT", "1", 1);
    Magick::InitializeMagick(argv[0]);
    MagickCore::SetMagickResourceLimit(MagickCore::ThreadResource, 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
