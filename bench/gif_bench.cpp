#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_dir.h"
#include "formats/gif.h"

namespace {

constexpr std::int32_t kWidth = 4000;
constexpr std::int32_t kHeight = 3000;
constexpr std::int64_t kPixels = std::int64_t{kWidth} * kHeight;

// A photograph-like 8-bit picture: a smooth diagonal gradient with grain,
// quantised to a 256-entry colour ramp, and its GIF written by our writer.
struct Fixture {
    pm32::bench::BenchDir dir{"gif"};
    pm32::ZDib image;
    std::string stored = dir.path("source.gif");
    std::uintmax_t fileBytes = 0;

    Fixture() {
        image.Create(kWidth, kHeight, 8, 0);
        std::vector<pm32::PALETTEENTRY> ramp;
        for (int i = 0; i < 256; ++i)
            ramp.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 3 / 4),
                            static_cast<std::uint8_t>(255 - i), 0});
        image.SetPalette(ramp, true);
        {
            pm32::platform::Locked block(image.handle);
            std::uint8_t* pixels = block.data() + image.PixelOffset();
            std::mt19937 random(42);
            std::normal_distribution<double> grain(0.0, 1.5);
            for (std::int32_t y = 0; y < kHeight; ++y) {
                std::uint8_t* row = pixels + static_cast<std::size_t>(y) * image.rowBytes;
                for (std::int32_t x = 0; x < kWidth; ++x) {
                    double level = 255.0 * (x + y) / (kWidth + kHeight) + grain(random);
                    row[x] = static_cast<std::uint8_t>(level < 0 ? 0 : level > 255 ? 255 : level);
                }
            }
        }
        pm32::StoreGIF(image, stored);
        if (image.error != 0) std::abort();
        fileBytes = std::filesystem::file_size(stored);
        if (!bothDecodersAgree()) std::abort();
    }

    // A benchmark of a decoder that gets the picture wrong would mean nothing.
    bool bothDecodersAgree() const {
        pm32::ZDib ours;
        pm32::LoadGIF(ours, stored, 0);
        int error = 0;
        GifFileType* gif = DGifOpenFileName(stored.c_str(), &error);
        bool agree = ours.error == 0 && gif != nullptr && DGifSlurp(gif) == GIF_OK;
        pm32::platform::Locked source(image.handle);
        pm32::platform::Locked decoded(ours.handle);
        for (std::int32_t y = 0; agree && y < kHeight; ++y) {
            std::size_t offset = image.PixelOffset() + static_cast<std::size_t>(y) * image.rowBytes;
            const GifByteType* theirs =
                gif->SavedImages[0].RasterBits + static_cast<std::size_t>(kHeight - 1 - y) * kWidth;
            agree = std::memcmp(source.data() + offset, decoded.data() + offset, kWidth) == 0 &&
                    std::memcmp(source.data() + offset, theirs, kWidth) == 0;
        }
        if (gif != nullptr) DGifCloseFile(gif, &error);
        return agree;
    }
};

Fixture& fixture() {
    static Fixture shared;
    return shared;
}

// Throughput counts pixels, one byte each, so MB/s compare across coders.
// Times are CPU times: the machines that run this are shared, and waiting
// for another process is no cost of a coder.
void reportPixels(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * kPixels);
    state.counters["file_bytes"] = static_cast<double>(fixture().fileBytes);
}

void BM_GifDecodeOurs(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        pm32::ZDib image;
        pm32::LoadGIF(image, f.stored, 0);
        if (image.error != 0 || image.height != kHeight) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.handle);
    }
    reportPixels(state);
}
BENCHMARK(BM_GifDecodeOurs)->Unit(benchmark::kMillisecond);

// giflib reading the same file into its own image records.
void BM_GifDecodeGiflib(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        int error = 0;
        GifFileType* gif = DGifOpenFileName(f.stored.c_str(), &error);
        if (gif == nullptr || DGifSlurp(gif) != GIF_OK || gif->ImageCount != 1)
            state.SkipWithError("giflib failed");
        if (gif != nullptr) {
            benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
            DGifCloseFile(gif, &error);
        }
    }
    reportPixels(state);
}
BENCHMARK(BM_GifDecodeGiflib)->Unit(benchmark::kMillisecond);

void BM_GifEncodeOurs(benchmark::State& state) {
    Fixture& f = fixture();
    std::string target = f.dir.path("ours.gif");
    for (auto _ : state) {
        pm32::StoreGIF(f.image, target);
        if (f.image.error != 0) state.SkipWithError("store failed");
    }
    reportPixels(state);
}
BENCHMARK(BM_GifEncodeOurs)->Unit(benchmark::kMillisecond);

// giflib writing the same pixels, for scale.
void BM_GifEncodeGiflib(benchmark::State& state) {
    Fixture& f = fixture();
    std::string target = f.dir.path("giflib.gif");
    std::vector<GifColorType> colors(256);
    pm32::PALETTEENTRY table[256] = {};
    f.image.GetPalette(table);
    for (int i = 0; i < 256; ++i) colors[i] = {table[i].peRed, table[i].peGreen, table[i].peBlue};
    pm32::platform::Locked block(f.image.handle);
    const std::uint8_t* pixels = block.data() + f.image.PixelOffset();
    for (auto _ : state) {
        int error = 0;
        ColorMapObject* map = GifMakeMapObject(256, colors.data());
        GifFileType* gif = EGifOpenFileName(target.c_str(), false, &error);
        bool ok = gif != nullptr && map != nullptr &&
                  EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map) == GIF_OK &&
                  EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr) == GIF_OK;
        for (std::int32_t y = kHeight - 1; ok && y >= 0; --y) {
            auto* row =
                const_cast<GifPixelType*>(pixels + static_cast<std::size_t>(y) * f.image.rowBytes);
            ok = EGifPutLine(gif, row, kWidth) == GIF_OK;
        }
        if (gif != nullptr && EGifCloseFile(gif, &error) != GIF_OK) ok = false;
        GifFreeMapObject(map);
        if (!ok) state.SkipWithError("giflib failed");
    }
    reportPixels(state);
}
BENCHMARK(BM_GifEncodeGiflib)->Unit(benchmark::kMillisecond);

}  // namespace
