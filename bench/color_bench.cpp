#include <benchmark/benchmark.h>
#include <libimagequant.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "color/reduce_colors.h"

namespace {

constexpr std::int32_t kWidth = 4000;
constexpr std::int32_t kHeight = 3000;
constexpr std::int64_t kPixels = std::int64_t{kWidth} * kHeight;

std::uint8_t clampByte(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0)); }

// A picture that behaves like a photograph for a quantiser: a sky gradient,
// shaded round shapes, textured ground and sensor noise.
struct Photo {
    pm32::ZDib image;
    std::vector<std::uint8_t> rgba;  // the same pixels for libimagequant, top row first

    Photo() : rgba(static_cast<std::size_t>(kPixels) * 4) {
        image.Create(kWidth, kHeight, 24, 0);
        auto rows = image.BuildRowTable();
        if (rows.empty()) std::abort();
        std::uint32_t noise = 12345;
        for (std::int32_t y = 0; y < kHeight; ++y) {
            std::uint8_t* row = rows[static_cast<std::size_t>(kHeight - 1 - y)];
            for (std::int32_t x = 0; x < kWidth; ++x) {
                double r, g, b;
                if (y < kHeight / 2) {
                    double t = static_cast<double>(y) / (kHeight / 2);
                    r = 90 + 100 * t, g = 140 + 80 * t, b = 230 - 30 * t;
                } else {
                    double ripple = 20 * std::sin(x * 0.013) * std::cos(y * 0.021);
                    r = 80 + ripple + 30 * std::sin(x * 0.002), g = 110 + ripple,
                    b = 50 + ripple / 2;
                }
                for (int k = 0; k < 3; ++k) {
                    double cx = 800 + 1200 * k, cy = 1300 + 300 * k, radius = 350 + 120 * k;
                    double d = std::hypot(x - cx, y - cy) / radius;
                    if (d < 1) {
                        double shade = 1 - d * d;
                        r = r * (1 - shade) + (200 - 60 * k) * shade;
                        g = g * (1 - shade) + (60 + 70 * k) * shade;
                        b = b * (1 - shade) + (40 + 90 * k) * shade;
                    }
                }
                noise = noise * 1664525u + 1013904223u;
                double grain = static_cast<int>(noise >> 28) - 8;
                std::uint8_t pr = clampByte(r + grain), pg = clampByte(g + grain),
                             pb = clampByte(b + grain);
                row[3 * x] = pb;
                row[3 * x + 1] = pg;
                row[3 * x + 2] = pr;
                std::uint8_t* out = &rgba[(static_cast<std::size_t>(y) * kWidth + x) * 4];
                out[0] = pr, out[1] = pg, out[2] = pb, out[3] = 255;
            }
        }
        image.CommitRowTable();
    }
};

Photo& photo() {
    static Photo shared;
    return shared;
}

// Seconds per libimagequant run, kept for the ratios of the runs after it.
double& peerSeconds() {
    static double seconds = 0;
    return seconds;
}

struct LiqAttr {
    liq_attr* p = liq_attr_create();
    ~LiqAttr() { liq_attr_destroy(p); }
};
struct LiqImage {
    liq_image* p;
    ~LiqImage() { liq_image_destroy(p); }
};
struct LiqResult {
    liq_result* p = nullptr;
    ~LiqResult() {
        if (p != nullptr) liq_result_destroy(p);
    }
};

// libimagequant's whole job at its fastest setting: quantise to 256 colours
// and remap the picture onto them. It runs OpenMP threads, so CPU time is
// measured for the whole process.
void BM_LibimagequantQuantise256(benchmark::State& state) {
    Photo& source = photo();
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(kPixels));
    double total = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        LiqAttr attr;
        liq_set_speed(attr.p, 10);
        liq_set_max_colors(attr.p, 256);
        LiqImage image{liq_image_create_rgba(attr.p, source.rgba.data(), kWidth, kHeight, 0)};
        LiqResult result;
        if (liq_image_quantize(image.p, attr.p, &result.p) != LIQ_OK) std::abort();
        liq_set_dithering_level(result.p, 0);
        liq_write_remapped_image(result.p, image.p, indices.data(), indices.size());
        benchmark::DoNotOptimize(indices.data());
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    peerSeconds() = total / static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_LibimagequantQuantise256)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Our ReduceColors pipeline; the counter tells how many times faster than
// libimagequant it ran.
void reduceColors(benchmark::State& state, int colors, bool optimize, bool dither) {
    Photo& source = photo();
    double total = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        pm32::HGLOBAL result = 0;
        if (pm32::ReduceColorsDib(source.image.handle, colors, optimize, dither, false, result) !=
            0)
            std::abort();
        pm32::FreeDib(result);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
    if (peerSeconds() > 0)
        state.counters["x_faster_than_liq"] =
            peerSeconds() / (total / static_cast<double>(state.iterations()));
}

void BM_ReduceColors256Optimised(benchmark::State& state) { reduceColors(state, 256, true, false); }
BENCHMARK(BM_ReduceColors256Optimised)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_ReduceColors256OptimisedDithered(benchmark::State& state) {
    reduceColors(state, 256, true, true);
}
BENCHMARK(BM_ReduceColors256OptimisedDithered)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_ReduceColors16StandardDithered(benchmark::State& state) {
    reduceColors(state, 16, false, true);
}
BENCHMARK(BM_ReduceColors16StandardDithered)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
