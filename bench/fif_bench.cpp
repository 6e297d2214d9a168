#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_dir.h"
#include "deco/fif_codec.h"
#include "engine/dib_layout.h"
#include "formats/fif.h"
#include "formats/jpeg.h"
#include "platform/global_memory.h"

// FIF against JPEG on natural photos that Debian ships (lomiri-wallpapers-16.04
// and -20.04), each shrunk by a whole factor to about one megapixel.
namespace {

constexpr const char* kPhotos[] = {
    "/usr/share/backgrounds/aitzgorri_by_Aitzol_Berasategi.jpg",  // mountains, meadow, sky
    "/usr/share/backgrounds/Dragonfly_by_Bolly.jpg",              // leaves against the sky
    "/usr/share/backgrounds/Kleiber_by_Lukas_Baubkus.jpg",        // bark and a bird, blurred
};
constexpr int kMaxWidth = 1152;
constexpr int kMaxHeight = 864;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // red, green, blue, rows top-down
};

Picture pictureOf(const pm32::ZDib& image) {
    Picture picture{image.width, image.height, {}};
    pm32::platform::Locked block(image.handle);
    if (!block || image.depth != 24) std::abort();
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* row = block.data() + image.PixelOffset() +
                                  static_cast<std::size_t>(image.height - 1 - y) * image.rowBytes;
        for (int x = 0; x < image.width; ++x)
            picture.rgb.insert(picture.rgb.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    return picture;
}

pm32::ZDib dibOf(const Picture& picture) {
    pm32::ZDib image;
    image.Create(picture.width, picture.height, 24, 0);
    pm32::platform::Locked block(image.handle);
    for (int y = 0; y < picture.height; ++y) {
        std::uint8_t* row = block.data() + image.PixelOffset() +
                            static_cast<std::size_t>(picture.height - 1 - y) * image.rowBytes;
        for (int x = 0; x < picture.width; ++x)
            for (int k = 0; k < 3; ++k)
                row[3 * x + k] =
                    picture.rgb[3 * (static_cast<std::size_t>(y) * picture.width + x) + 2 - k];
    }
    return image;
}

Picture shrink(const Picture& source, int factor, int maxWidth, int maxHeight) {
    int width = std::min(source.width / factor, maxWidth);
    int height = std::min(source.height / factor, maxHeight);
    int left = 0, top = 0;  // from the top-left corner, so shrinks of shrinks line up
    Picture out{width, height,
                std::vector<std::uint8_t>(3 * static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < 3; ++k) {
                int sum = 0;
                for (int j = 0; j < factor; ++j)
                    for (int i = 0; i < factor; ++i)
                        sum += source.rgb[3 * (static_cast<std::size_t>((top + y) * factor + j) *
                                                   source.width +
                                               (left + x) * factor + i) +
                                          k];
                out.rgb[3 * (static_cast<std::size_t>(y) * width + x) + k] =
                    static_cast<std::uint8_t>((sum + factor * factor / 2) / (factor * factor));
            }
    return out;
}

double psnr(const Picture& a, const Picture& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) {
        double d = double(a.rgb[i]) - b.rgb[i];
        sum += d * d;
    }
    return 10 * std::log10(255.0 * 255.0 * double(a.rgb.size()) / std::max(sum, 1.0));
}

// Mean absolute Laplacian of the green channel: how much fine detail and edge contrast a picture
// has.
double sharpness(const Picture& p) {
    double sum = 0;
    auto g = [&](int x, int y) {
        return double(p.rgb[3 * (static_cast<std::size_t>(y) * p.width + x) + 1]);
    };
    for (int y = 1; y + 1 < p.height; ++y)
        for (int x = 1; x + 1 < p.width; ++x)
            sum += std::fabs(4 * g(x, y) - g(x - 1, y) - g(x + 1, y) - g(x, y - 1) - g(x, y + 1));
    return sum / (double(p.width - 2) * (p.height - 2));
}

// The plain bilinear enlargement a viewer would show, centres aligned.
Picture bilinear(const Picture& source, int factor) {
    Picture out{source.width * factor, source.height * factor, {}};
    out.rgb.resize(3 * static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        double sy = std::clamp((y + 0.5) / factor - 0.5, 0.0, source.height - 1.0);
        int y0 = std::min(static_cast<int>(sy), source.height - 2);
        double fy = sy - y0;
        for (int x = 0; x < out.width; ++x) {
            double sx = std::clamp((x + 0.5) / factor - 0.5, 0.0, source.width - 1.0);
            int x0 = std::min(static_cast<int>(sx), source.width - 2);
            double fx = sx - x0;
            for (int k = 0; k < 3; ++k) {
                auto at = [&](int xx, int yy) {
                    return double(
                        source.rgb[3 * (static_cast<std::size_t>(yy) * source.width + xx) + k]);
                };
                double v = (1 - fy) * ((1 - fx) * at(x0, y0) + fx * at(x0 + 1, y0)) +
                           fy * ((1 - fx) * at(x0, y0 + 1) + fx * at(x0 + 1, y0 + 1));
                out.rgb[3 * (static_cast<std::size_t>(y) * out.width + x) + k] =
                    static_cast<std::uint8_t>(std::lround(v));
            }
        }
    }
    return out;
}

struct Fixture {
    pm32::bench::BenchDir dir{"fif"};
    std::vector<Picture> photos;

    Fixture() {
        if (setenv("PIXMILL_DECO", DECO32_LIBRARY, 1) != 0) std::abort();
        for (const char* path : kPhotos) {
            pm32::ZDib image;
            pm32::LoadJPEG(image, path);
            if (image.error != 0) {
                std::fprintf(stderr,
                             "fif_bench: %s missing (install lomiri-wallpapers-16.04 and -20.04)\n",
                             path);
                std::abort();
            }
            Picture full = pictureOf(image);
            int factor = std::max(1, std::min(full.width / kMaxWidth, full.height / kMaxHeight));
            photos.push_back(shrink(full, factor, kMaxWidth, kMaxHeight));
        }
    }

    std::string writeFif(const Picture& picture, int quality, const std::string& name) const {
        deco::EncodeSettings settings;
        settings.quality = quality;
        auto fif = deco::encodeFif(picture.rgb.data(), picture.width, picture.height, settings);
        if (!fif) std::abort();
        std::ofstream(dir.path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(fif->data()),
                   static_cast<std::streamsize>(fif->size()));
        return dir.path(name);
    }

    static Picture loadFif(const std::string& path, const pm32::ZLoadParams& params = {}) {
        pm32::ZDib image;
        pm32::LoadFIF(image, path, params);
        if (image.error != 0) std::abort();
        return pictureOf(image);
    }

    // The JPEG of the largest quality whose file is no larger than `bytes`.
    std::string jpegWithin(const Picture& picture, std::uintmax_t bytes, int& quality) const {
        pm32::ZDib image = dibOf(picture);
        std::string path = dir.path("peer.jpg");
        for (quality = 100; quality >= 5; quality -= quality > 20 ? 2 : 1) {
            pm32::StoreJPEG(image, path, quality, 0);
            if (std::filesystem::file_size(path) <= bytes) break;
        }
        return path;
    }
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

double ratioOf(const Picture& picture, const std::string& path) {
    return 3.0 * picture.width * picture.height / double(std::filesystem::file_size(path));
}

// Quality and compression on each photo, FIF and JPEG at the same file size.
void BM_FifQualityAgainstJpeg(benchmark::State& state) {
    Fixture& f = fixture();
    const Picture& photo = f.photos[static_cast<std::size_t>(state.range(0))];
    int quality = static_cast<int>(state.range(1));
    std::string fif;
    for (auto _ : state) fif = f.writeFif(photo, quality, "quality.fif");
    int jpegQuality = 0;
    std::string jpeg = f.jpegWithin(photo, std::filesystem::file_size(fif), jpegQuality);
    pm32::ZDib jpegImage;
    pm32::LoadJPEG(jpegImage, jpeg);
    state.counters["ratio"] = ratioOf(photo, fif);
    state.counters["fif_dB"] = psnr(Fixture::loadFif(fif), photo);
    state.counters["jpeg_dB"] = psnr(pictureOf(jpegImage), photo);
    state.counters["jpeg_q"] = jpegQuality;
    state.counters["encode_MPps"] = benchmark::Counter(
        photo.width * photo.height / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_FifQualityAgainstJpeg)
    ->ArgsProduct({{0, 1, 2}, {50, 75, 100}})
    ->ArgNames({"photo", "q"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Decoding the first photo (one megapixel) through the engine's reader; JPEG of the same size is
// the peer.
void BM_FifDecodeMegapixel(benchmark::State& state) {
    Fixture& f = fixture();
    const Picture& photo = f.photos[0];
    std::string fif = f.writeFif(photo, 75, "decode.fif");
    for (auto _ : state) {
        pm32::ZDib image;
        pm32::LoadFIF(image, fif, {});
        if (image.error != 0) std::abort();
    }
    state.counters["MP"] = photo.width * photo.height / 1e6;
}
BENCHMARK(BM_FifDecodeMegapixel)->Unit(benchmark::kMillisecond);

void BM_JpegDecodeMegapixelPeer(benchmark::State& state) {
    Fixture& f = fixture();
    const Picture& photo = f.photos[0];
    int quality = 0;
    std::string jpeg = f.jpegWithin(
        photo, std::filesystem::file_size(f.writeFif(photo, 75, "decode.fif")), quality);
    for (auto _ : state) {
        pm32::ZDib image;
        pm32::LoadJPEG(image, jpeg);
        if (image.error != 0) std::abort();
    }
}
BENCHMARK(BM_JpegDecodeMegapixelPeer)->Unit(benchmark::kMillisecond);

// Four times larger: the photo shrunk by 4 is coded, then decoded at four
// times its size and compared with the photo; the peer is a bilinear
// enlargement of its 1:1 decode.
void BM_FifEnlargeFourTimes(benchmark::State& state) {
    Fixture& f = fixture();
    const Picture& photo = f.photos[static_cast<std::size_t>(state.range(0))];
    Picture small = shrink(photo, 4, photo.width / 4, photo.height / 4);
    Picture original = shrink(photo, 1, small.width * 4, small.height * 4);
    std::string fif = f.writeFif(small, 100, "small.fif");
    pm32::ZLoadParams fourTimes;
    fourTimes.scale = 2;
    Picture enlarged;
    for (auto _ : state) enlarged = Fixture::loadFif(fif, fourTimes);
    Picture peer = bilinear(Fixture::loadFif(fif), 4);
    state.counters["fif_dB"] = psnr(enlarged, original);
    state.counters["bilinear_dB"] = psnr(peer, original);
    state.counters["fif_sharp"] = sharpness(enlarged);
    state.counters["bilinear_sharp"] = sharpness(peer);
    state.counters["original_sharp"] = sharpness(original);
}
BENCHMARK(BM_FifEnlargeFourTimes)
    ->DenseRange(0, 2)
    ->ArgName("photo")
    ->Unit(benchmark::kMillisecond);

// Encoding speed on each photo; the peer is JPEG at quality 75.
void BM_FifEncode(benchmark::State& state) {
    Fixture& f = fixture();
    const Picture& photo = f.photos[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state) {
        deco::EncodeSettings settings;
        auto fif = deco::encodeFif(photo.rgb.data(), photo.width, photo.height, settings);
        benchmark::DoNotOptimize(fif);
    }
    state.counters["MPps"] = benchmark::Counter(photo.width * photo.height / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_FifEncode)->DenseRange(0, 2)->ArgName("photo")->Unit(benchmark::kMillisecond);

void BM_JpegEncodePeer(benchmark::State& state) {
    Fixture& f = fixture();
    const Picture& photo = f.photos[static_cast<std::size_t>(state.range(0))];
    pm32::ZDib image = dibOf(photo);
    for (auto _ : state) pm32::StoreJPEG(image, f.dir.path("encode.jpg"), 75, 0);
    state.counters["MPps"] = benchmark::Counter(photo.width * photo.height / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_JpegEncodePeer)->DenseRange(0, 2)->ArgName("photo")->Unit(benchmark::kMillisecond);

}  // namespace
