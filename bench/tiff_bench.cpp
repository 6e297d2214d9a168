#include <benchmark/benchmark.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_dir.h"
#include "bench/chart_picture.h"
#include "formats/tiff.h"

namespace {

constexpr std::uint32_t kWidth = 4000;
constexpr std::uint32_t kHeight = 3000;
// The writer's worst-case estimate refuses LZW strips of 24-bit rows from
// 3885 pixels on, so true colour encoding is measured just below that.
constexpr std::uint32_t kWidestLzwTrueColour = 3884;

enum class Kind { Photo, Chart };

// A photograph-like picture: smooth fractal shapes in each channel with a
// little sensor noise, as RGB rows top first.
std::vector<std::uint8_t> photo(std::uint32_t width, std::uint32_t height) {
    std::mt19937 random(2024);
    std::vector<float> level(static_cast<std::size_t>(width) * height * 3, 0.0f);
    float weight = 0.5f;
    for (std::uint32_t cell = 512; cell >= 16; cell /= 2, weight *= 0.6f) {
        const std::uint32_t gw = width / cell + 2, gh = height / cell + 2;
        std::vector<float> grid(static_cast<std::size_t>(gw) * gh * 3);
        for (float& g : grid) g = static_cast<float>(random() % 1000) / 1000.0f;
        for (std::uint32_t y = 0; y < height; ++y) {
            const std::uint32_t gy = y / cell;
            const float fy = static_cast<float>(y % cell) / cell;
            for (std::uint32_t x = 0; x < width; ++x) {
                const std::uint32_t gx = x / cell;
                const float fx = static_cast<float>(x % cell) / cell;
                for (std::uint32_t c = 0; c < 3; ++c) {
                    auto at = [&](std::uint32_t i, std::uint32_t j) {
                        return grid[(static_cast<std::size_t>(j) * gw + i) * 3 + c];
                    };
                    const float top = at(gx, gy) + (at(gx + 1, gy) - at(gx, gy)) * fx;
                    const float bottom =
                        at(gx, gy + 1) + (at(gx + 1, gy + 1) - at(gx, gy + 1)) * fx;
                    level[(static_cast<std::size_t>(y) * width + x) * 3 + c] +=
                        weight * (top + (bottom - top) * fy);
                }
            }
        }
    }
    std::vector<std::uint8_t> rgb(level.size());
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        const int noise = random() % 4 == 0 ? static_cast<int>(random() % 3) - 1 : 0;
        rgb[i] = static_cast<std::uint8_t>(
            std::clamp(static_cast<int>(level[i] * 255.0f) + noise, 0, 255));
    }
    return rgb;
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffFile = std::unique_ptr<TIFF, TiffCloser>;

// Writes rows (samples bytes per pixel, top row first) with libtiff's LZW
// and its default strip size, as other programs do.
void writeWithLibtiff(const std::string& path, const std::vector<std::uint8_t>& rows,
                      std::uint32_t width, std::uint32_t height, std::uint16_t samples) {
    TiffFile tiff(TIFFOpen(path.c_str(), "w"));
    if (!tiff) std::abort();
    TIFFSetField(tiff.get(), TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff.get(), TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff.get(), TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tiff.get(), TIFFTAG_PHOTOMETRIC,
                 samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff.get(), TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    const std::uint32_t rowsPerStrip = TIFFDefaultStripSize(tiff.get(), 0);
    TIFFSetField(tiff.get(), TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * samples;
    for (std::uint32_t y = 0, strip = 0; y < height; y += rowsPerStrip, ++strip) {
        const std::uint32_t n = std::min(rowsPerStrip, height - y);
        if (TIFFWriteEncodedStrip(tiff.get(), strip,
                                  const_cast<std::uint8_t*>(rows.data() + y * rowBytes),
                                  static_cast<tmsize_t>(n * rowBytes)) < 0)
            std::abort();
    }
}

// The picture as an image record of the depth (24-bit colour, or 8-bit grey
// through a grey palette), cut to the width.
pm32::ZDib imageOf(const std::vector<std::uint8_t>& rgb, std::uint32_t width, std::uint32_t depth) {
    pm32::ZDib image;
    image.Create(static_cast<std::int32_t>(width), kHeight, depth, 0);
    if (image.error != 0) std::abort();
    if (depth == 8) {
        std::vector<pm32::PALETTEENTRY> grey(256);
        for (int i = 0; i < 256; ++i)
            grey[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                       static_cast<std::uint8_t>(i), 0};
        image.SetPalette(grey, true);
    }
    pm32::platform::Locked block(image.handle);
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        std::uint8_t* row = block.data() + image.PixelOffset() +
                            static_cast<std::size_t>(kHeight - 1 - y) * image.rowBytes;
        const std::uint8_t* source = rgb.data() + static_cast<std::size_t>(y) * kWidth * 3;
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t* p = source + 3 * x;
            if (depth == 8) {
                row[x] = static_cast<std::uint8_t>((p[0] * 77 + p[1] * 150 + p[2] * 29) >> 8);
            } else {
                row[3 * x] = p[2];
                row[3 * x + 1] = p[1];
                row[3 * x + 2] = p[0];
            }
        }
    }
    return image;
}

// One true colour picture, its LZW file written by libtiff, and the image
// our writer stores.
struct Picture {
    std::vector<std::uint8_t> rgb;
    std::string lzw;
    pm32::ZDib trueColour = imageOf(rgb, kWidestLzwTrueColour, 24);

    Picture(const pm32::bench::BenchDir& dir, Kind kind)
        : rgb(kind == Kind::Photo ? photo(kWidth, kHeight)
                                  : pm32::bench::ChartPicture(kWidth, kHeight).rgb()),
          lzw(dir.path(kind == Kind::Photo ? "libtiff-photo.tif" : "libtiff-chart.tif")) {
        writeWithLibtiff(lzw, rgb, kWidth, kHeight, 3);
    }
};

// The photograph and the chart, and the photograph in grey.
struct Fixture {
    pm32::bench::BenchDir dir{"tiff"};
    Picture photo{dir, Kind::Photo};
    Picture chart{dir, Kind::Chart};
    pm32::ZDib grey = imageOf(photo.rgb, kWidth, 8);
    std::vector<std::uint8_t> greyRows;

    Fixture() {
        greyRows.resize(static_cast<std::size_t>(kWidth) * kHeight);
        pm32::platform::Locked block(grey.handle);
        for (std::uint32_t y = 0; y < kHeight; ++y)
            std::copy_n(block.data() + grey.PixelOffset() +
                            static_cast<std::size_t>(kHeight - 1 - y) * grey.rowBytes,
                        kWidth, greyRows.data() + static_cast<std::size_t>(y) * kWidth);
    }

    Picture& operator[](Kind kind) { return kind == Kind::Photo ? photo : chart; }
};

Fixture& fixture() {
    static Fixture shared;
    return shared;
}

void reportPixels(benchmark::State& state, std::size_t pixelBytes, std::size_t fileBytes) {
    state.counters["pixel_MB/s"] = benchmark::Counter(
        static_cast<double>(pixelBytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["file_MB"] = static_cast<double>(fileBytes) / 1e6;
}

constexpr std::size_t kTrueColourBytes = std::size_t{kWidth} * kHeight * 3;

void DecodeLzwOurs(benchmark::State& state, Kind kind) {
    const Picture& picture = fixture()[kind];
    for (auto _ : state) {
        pm32::ZDib image;
        pm32::LoadTIFF(image, picture.lzw, 0);
        if (image.error != 0) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.handle);
    }
    reportPixels(state, kTrueColourBytes, std::filesystem::file_size(picture.lzw));
}

void DecodeLzwLibtiffStrips(benchmark::State& state, Kind kind) {
    const Picture& picture = fixture()[kind];
    for (auto _ : state) {
        TiffFile tiff(TIFFOpen(picture.lzw.c_str(), "r"));
        if (!tiff) state.SkipWithError("open failed");
        const tmsize_t stripBytes = TIFFStripSize(tiff.get());
        auto pixels = std::make_unique<std::uint8_t[]>(kTrueColourBytes);
        std::uint8_t* at = pixels.get();
        for (tstrip_t s = 0; s < TIFFNumberOfStrips(tiff.get()); ++s) {
            tmsize_t got = TIFFReadEncodedStrip(tiff.get(), s, at, stripBytes);
            if (got < 0) state.SkipWithError("strip failed");
            at += got;
        }
        benchmark::DoNotOptimize(pixels.get());
    }
    reportPixels(state, kTrueColourBytes, std::filesystem::file_size(picture.lzw));
}

void DecodeLzwLibtiffRgba(benchmark::State& state, Kind kind) {
    const Picture& picture = fixture()[kind];
    for (auto _ : state) {
        TiffFile tiff(TIFFOpen(picture.lzw.c_str(), "r"));
        if (!tiff) state.SkipWithError("open failed");
        auto pixels = std::make_unique<std::uint32_t[]>(std::size_t{kWidth} * kHeight);
        if (!TIFFReadRGBAImage(tiff.get(), kWidth, kHeight, pixels.get(), 0))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(pixels.get());
    }
    reportPixels(state, kTrueColourBytes, std::filesystem::file_size(picture.lzw));
}

void EncodeLzwOurs(benchmark::State& state, pm32::ZDib& image) {
    const std::string out = fixture().dir.path("ours.tif");
    for (auto _ : state) {
        pm32::StoreTIFF(image, out, 1, false);
        if (image.error != 0) state.SkipWithError("store failed");
    }
    reportPixels(state, image.PixelBytes(), std::filesystem::file_size(out));
}

void EncodeLzwOursTrueColour(benchmark::State& state, Kind kind) {
    EncodeLzwOurs(state, fixture()[kind].trueColour);
}

void EncodeLzwOursGrey(benchmark::State& state) { EncodeLzwOurs(state, fixture().grey); }

void EncodeLzwLibtiff(benchmark::State& state, const std::vector<std::uint8_t>& source,
                      std::uint32_t width, std::uint16_t samples) {
    const std::string out = fixture().dir.path("libtiff.tif");
    for (auto _ : state) writeWithLibtiff(out, source, width, kHeight, samples);
    reportPixels(state, source.size(), std::filesystem::file_size(out));
}

// The same pixels our writer gets: the true colour picture cut to its width.
void EncodeLzwLibtiffTrueColour(benchmark::State& state, Kind kind) {
    const Picture& picture = fixture()[kind];
    std::vector<std::uint8_t> rows;
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        const auto* row = picture.rgb.data() + static_cast<std::size_t>(y) * kWidth * 3;
        rows.insert(rows.end(), row, row + std::size_t{kWidestLzwTrueColour} * 3);
    }
    EncodeLzwLibtiff(state, rows, kWidestLzwTrueColour, 3);
}

void EncodeLzwLibtiffGrey(benchmark::State& state) {
    EncodeLzwLibtiff(state, fixture().greyRows, kWidth, 1);
}

BENCHMARK_CAPTURE(DecodeLzwOurs, photo, Kind::Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeLzwLibtiffStrips, photo, Kind::Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeLzwLibtiffRgba, photo, Kind::Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeLzwOurs, chart, Kind::Chart)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeLzwLibtiffStrips, chart, Kind::Chart)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeLzwLibtiffRgba, chart, Kind::Chart)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EncodeLzwOursTrueColour, photo_3884, Kind::Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EncodeLzwLibtiffTrueColour, photo_3884, Kind::Photo)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EncodeLzwOursTrueColour, chart_3884, Kind::Chart)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EncodeLzwLibtiffTrueColour, chart_3884, Kind::Chart)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeLzwOursGrey)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeLzwLibtiffGrey)->Unit(benchmark::kMillisecond);

}  // namespace
