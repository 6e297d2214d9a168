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
#include "bench/chart_picture.h"
#include "formats/gif.h"

namespace {

constexpr std::int32_t kWidth = 4000;
constexpr std::int32_t kHeight = 3000;
constexpr std::int64_t kPixels = std::int64_t{kWidth} * kHeight;

enum class Kind { Photo, Chart };

// A photograph-like 8-bit picture: a smooth diagonal gradient with grain,
// quantised to a 256-entry colour ramp, so neighbouring indices differ as in
// a dithered photograph.
void paintPhoto(pm32::ZDib& image) {
    std::vector<pm32::PALETTEENTRY> ramp;
    for (int i = 0; i < 256; ++i)
        ramp.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 3 / 4),
                        static_cast<std::uint8_t>(255 - i), 0});
    image.SetPalette(ramp, true);
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

// A flat-colour chart of a dozen colours in an 8-bit image.
void paintChart(pm32::ZDib& image) {
    const pm32::bench::ChartPicture chart(kWidth, kHeight);
    std::vector<pm32::PALETTEENTRY> colours(256, pm32::PALETTEENTRY{0, 0, 0, 0});
    for (int i = 0; i < pm32::bench::ChartPicture::kColours; ++i)
        colours[static_cast<std::size_t>(i)] = {chart.palette[i][0], chart.palette[i][1],
                                                chart.palette[i][2], 0};
    image.SetPalette(colours, true);
    pm32::platform::Locked block(image.handle);
    std::uint8_t* pixels = block.data() + image.PixelOffset();
    for (std::int32_t y = 0; y < kHeight; ++y)
        std::memcpy(pixels + static_cast<std::size_t>(kHeight - 1 - y) * image.rowBytes,
                    chart.indices.data() + static_cast<std::size_t>(y) * kWidth, kWidth);
}

// One picture and its GIF written by our writer.
struct Picture {
    pm32::ZDib image;
    std::string stored;
    std::uintmax_t fileBytes = 0;

    Picture(const pm32::bench::BenchDir& dir, Kind kind)
        : stored(dir.path(kind == Kind::Photo ? "photo.gif" : "chart.gif")) {
        image.Create(kWidth, kHeight, 8, 0);
        if (kind == Kind::Photo)
            paintPhoto(image);
        else
            paintChart(image);
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

struct Fixture {
    pm32::bench::BenchDir dir{"gif"};
    Picture photo{dir, Kind::Photo};
    Picture chart{dir, Kind::Chart};

    Picture& operator[](Kind kind) { return kind == Kind::Photo ? photo : chart; }
};

Fixture& fixture() {
    static Fixture shared;
    return shared;
}

// Throughput counts pixels, one byte each, so MB/s compare across coders.
// Times are CPU times: the machines that run this are shared, and waiting
// for another process is no cost of a coder.
void reportPixels(benchmark::State& state, const Picture& picture) {
    state.SetBytesProcessed(state.iterations() * kPixels);
    state.counters["file_bytes"] = static_cast<double>(picture.fileBytes);
}

void BM_GifDecodeOurs(benchmark::State& state, Kind kind) {
    Picture& picture = fixture()[kind];
    for (auto _ : state) {
        pm32::ZDib image;
        pm32::LoadGIF(image, picture.stored, 0);
        if (image.error != 0 || image.height != kHeight) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.handle);
    }
    reportPixels(state, picture);
}

// giflib reading the same file into its own image records, and the rows
// copied into an image as ours ends up with them.
void BM_GifDecodeGiflib(benchmark::State& state, Kind kind) {
    Picture& picture = fixture()[kind];
    for (auto _ : state) {
        int error = 0;
        GifFileType* gif = DGifOpenFileName(picture.stored.c_str(), &error);
        if (gif == nullptr || DGifSlurp(gif) != GIF_OK || gif->ImageCount != 1) {
            state.SkipWithError("giflib failed");
        } else {
            pm32::ZDib image;
            image.Create(kWidth, kHeight, 8, 0);
            pm32::platform::Locked block(image.handle);
            std::uint8_t* pixels = block.data() + image.PixelOffset();
            const GifByteType* raster = gif->SavedImages[0].RasterBits;
            for (std::int32_t y = 0; y < kHeight; ++y)
                std::memcpy(pixels + static_cast<std::size_t>(kHeight - 1 - y) * image.rowBytes,
                            raster + static_cast<std::size_t>(y) * kWidth, kWidth);
            benchmark::DoNotOptimize(pixels);
        }
        if (gif != nullptr) DGifCloseFile(gif, &error);
    }
    reportPixels(state, picture);
}

void BM_GifEncodeOurs(benchmark::State& state, Kind kind) {
    Fixture& f = fixture();
    Picture& picture = f[kind];
    std::string target = f.dir.path("ours.gif");
    for (auto _ : state) {
        pm32::StoreGIF(picture.image, target);
        if (picture.image.error != 0) state.SkipWithError("store failed");
    }
    reportPixels(state, picture);
}

// giflib writing the same pixels, for scale.
void BM_GifEncodeGiflib(benchmark::State& state, Kind kind) {
    Fixture& f = fixture();
    Picture& picture = f[kind];
    std::string target = f.dir.path("giflib.gif");
    std::vector<GifColorType> colors(256);
    pm32::PALETTEENTRY table[256] = {};
    picture.image.GetPalette(table);
    for (int i = 0; i < 256; ++i) colors[i] = {table[i].peRed, table[i].peGreen, table[i].peBlue};
    pm32::platform::Locked block(picture.image.handle);
    const std::uint8_t* pixels = block.data() + picture.image.PixelOffset();
    for (auto _ : state) {
        int error = 0;
        ColorMapObject* map = GifMakeMapObject(256, colors.data());
        GifFileType* gif = EGifOpenFileName(target.c_str(), false, &error);
        bool ok = gif != nullptr && map != nullptr &&
                  EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map) == GIF_OK &&
                  EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr) == GIF_OK;
        for (std::int32_t y = kHeight - 1; ok && y >= 0; --y) {
            auto* row = const_cast<GifPixelType*>(pixels + static_cast<std::size_t>(y) *
                                                               picture.image.rowBytes);
            ok = EGifPutLine(gif, row, kWidth) == GIF_OK;
        }
        if (gif != nullptr && EGifCloseFile(gif, &error) != GIF_OK) ok = false;
        GifFreeMapObject(map);
        if (!ok) state.SkipWithError("giflib failed");
    }
    reportPixels(state, picture);
}

BENCHMARK_CAPTURE(BM_GifDecodeOurs, photo, Kind::Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GifDecodeGiflib, photo, Kind::Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GifDecodeOurs, chart, Kind::Chart)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GifDecodeGiflib, chart, Kind::Chart)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GifEncodeOurs, photo, Kind::Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GifEncodeGiflib, photo, Kind::Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GifEncodeOurs, chart, Kind::Chart)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GifEncodeGiflib, chart, Kind::Chart)->Unit(benchmark::kMillisecond);

}  // namespace
