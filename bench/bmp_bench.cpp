#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/bench_dir.h"
#include "formats/bmp.h"

namespace {

constexpr std::int32_t kWidth = 4000;
constexpr std::int32_t kHeight = 3000;

// One 24-bit source image and its stored file, made once for all benchmarks.
struct Fixture {
    pm32::bench::BenchDir dir{"bmp"};
    pm32::ZDib image;
    std::string stored = dir.path("source.bmp");
    std::size_t fileBytes = 0;

    Fixture() {
        image.Create(kWidth, kHeight, 24, 0x00336699);
        pm32::StoreBMP(image, stored);
        if (image.error != 0) std::abort();
        fileBytes = std::filesystem::file_size(stored);
    }
};

Fixture& fixture() {
    static Fixture shared;
    return shared;
}

struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) ::close(fd);
    }
};

bool readAll(int fd, std::uint8_t* into, std::size_t n) {
    while (n > 0) {
        ssize_t got = ::read(fd, into, n);
        if (got <= 0) return false;
        into += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

bool writeAll(int fd, const std::uint8_t* from, std::size_t n) {
    while (n > 0) {
        ssize_t put = ::write(fd, from, n);
        if (put <= 0) return false;
        from += put;
        n -= static_cast<std::size_t>(put);
    }
    return true;
}

void BM_LoadBmp(benchmark::State& state) {
    Fixture& f = fixture();
    while (state.KeepRunning()) {
        pm32::ZDib image;
        pm32::LoadBMP(image, f.stored);
        if (image.error != 0) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.handle);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.fileBytes));
}
BENCHMARK(BM_LoadBmp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StoreBmp(benchmark::State& state) {
    Fixture& f = fixture();
    std::string target = f.dir.path("store.bmp");
    while (state.KeepRunning()) {
        pm32::StoreBMP(f.image, target);
        if (f.image.error != 0) state.SkipWithError("store failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.fileBytes));
}
BENCHMARK(BM_StoreBmp)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole file with one read into fresh memory, as a loader must use.
void BM_PlainRead(benchmark::State& state) {
    Fixture& f = fixture();
    while (state.KeepRunning()) {
        std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[f.fileBytes]);
        FdCloser file{::open(f.stored.c_str(), O_RDONLY)};
        if (!readAll(file.fd, buffer.get(), f.fileBytes)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(buffer.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.fileBytes));
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same read into a buffer that is already mapped: the memory-copy bound.
void BM_PlainReadWarmBuffer(benchmark::State& state) {
    Fixture& f = fixture();
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[f.fileBytes]());
    while (state.KeepRunning()) {
        FdCloser file{::open(f.stored.c_str(), O_RDONLY)};
        if (!readAll(file.fd, buffer.get(), f.fileBytes)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(buffer.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.fileBytes));
}
BENCHMARK(BM_PlainReadWarmBuffer)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainWrite(benchmark::State& state) {
    Fixture& f = fixture();
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[f.fileBytes]());
    std::string target = f.dir.path("plain.bin");
    while (state.KeepRunning()) {
        FdCloser file{::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)};
        if (!writeAll(file.fd, buffer.get(), f.fileBytes)) state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.fileBytes));
}
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
