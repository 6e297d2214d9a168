#include <benchmark/benchmark.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include "bench/bench_dir.h"
#include "formats/jpeg.h"
#include "formats/png.h"
#include "platform/global_memory.h"

namespace {

constexpr std::int32_t kWidth = 4000;
constexpr std::int32_t kHeight = 3000;

// A photo-like 12-megapixel picture: smooth gradients with a little grain,
// stored once as JPEG (quality 85) and PNG for all benchmarks.
struct Fixture {
    pm32::bench::BenchDir dir{"png-jpeg"};
    pm32::ZDib image;
    std::string jpeg = dir.path("source.jpg");
    std::string png = dir.path("source.png");

    Fixture() {
        image.Create(kWidth, kHeight, 24, 0);
        pm32::platform::Locked block(image.handle);
        std::uint32_t grain = 12345;
        for (std::int32_t y = 0; y < kHeight; ++y) {
            std::uint8_t* row =
                block.data() + image.PixelOffset() + static_cast<std::size_t>(y) * image.rowBytes;
            for (std::int32_t x = 0; x < kWidth; ++x) {
                grain = grain * 1103515245 + 12345;
                int noise = static_cast<int>(grain >> 28) - 8;
                row[3 * x] = static_cast<std::uint8_t>(std::clamp(x / 16 + noise, 0, 255));
                row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(y / 12 + noise, 0, 255));
                row[3 * x + 2] =
                    static_cast<std::uint8_t>(std::clamp((x + y) / 28 + noise, 0, 255));
            }
        }
        pm32::StoreJPEG(image, jpeg, 85, 0);
        if (image.error != 0) std::abort();
        pm32::StorePNG(image, png, 0);
        if (image.error != 0) std::abort();
    }
};

Fixture& fixture() {
    static Fixture shared;
    return shared;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void BM_LoadJpeg(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        pm32::ZDib image;
        pm32::LoadJPEG(image, f.jpeg);
        if (image.error != 0) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.handle);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_LoadJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

// libjpeg-turbo on its own, as djpeg drives it: default parameters, blue,
// green, red output, as many scanlines per call as the library offers, into
// fresh memory.
void BM_PlainLibjpeg(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        File file(std::fopen(f.jpeg.c_str(), "rb"));
        jpeg_decompress_struct info{};
        jpeg_error_mgr errors{};
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_stdio_src(&info, file.get());
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&info);
        std::size_t stride = static_cast<std::size_t>(info.output_width) * 3;
        std::unique_ptr<std::uint8_t[]> pixels(new std::uint8_t[stride * info.output_height]);
        while (info.output_scanline < info.output_height) {
            JSAMPROW rows[4];
            for (int i = 0; i < 4; ++i) {
                JDIMENSION row = std::min(info.output_scanline + i, info.output_height - 1);
                rows[i] = pixels.get() + stride * row;
            }
            jpeg_read_scanlines(&info, rows, static_cast<JDIMENSION>(info.rec_outbuf_height));
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        benchmark::DoNotOptimize(pixels.get());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PlainLibjpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

// djpeg itself decoding the file to nothing, process start included.
void BM_DjpegProgram(benchmark::State& state) {
    Fixture& f = fixture();
    std::string command = "djpeg -bmp -outfile /dev/null " + f.jpeg;
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("djpeg failed");
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_DjpegProgram)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadPng(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        pm32::ZDib image;
        pm32::LoadPNG(image, f.png);
        if (image.error != 0) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.handle);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_LoadPng)->Unit(benchmark::kMillisecond)->UseRealTime();

// libpng on its own: the same transformations, row by row into fresh memory.
void BM_PlainLibpng(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        File file(std::fopen(f.png.c_str(), "rb"));
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, file.get());
        png_read_info(png, info);
        png_set_bgr(png);
        png_read_update_info(png, info);
        std::size_t stride = png_get_rowbytes(png, info);
        std::uint32_t height = png_get_image_height(png, info);
        std::unique_ptr<std::uint8_t[]> pixels(new std::uint8_t[stride * height]);
        for (std::uint32_t y = 0; y < height; ++y)
            png_read_row(png, pixels.get() + stride * (height - 1 - y), nullptr);
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(pixels.get());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PlainLibpng)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StoreJpeg(benchmark::State& state) {
    Fixture& f = fixture();
    std::string target = f.dir.path("store.jpg");
    for (auto _ : state) {
        pm32::StoreJPEG(f.image, target, 85, 0);
        if (f.image.error != 0) state.SkipWithError("store failed");
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_StoreJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
