#include <dlfcn.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "deco/fif_codec.h"
#include "engine/progress.h"
#include "formats/fif.h"
#include "fuzz/fuzz_input_file.h"
#include "platform/global_memory.h"
#include "platform/window_registry.h"

namespace {

// Pictures larger than this are decoded only at a small requested size.
constexpr std::uint64_t kWholeDecodePixels = std::uint64_t{1} << 20;

// A failed load holds no image; only a cancelled one ends with neither image nor error.
void expectConsistent(const pm32::ZDib& image, bool mayCancel) {
    if (image.error != 0 && image.handle != 0) std::abort();
    if (image.error == 0 && image.handle == 0 && !mayCancel) std::abort();
    if (image.handle != 0 && pm32::VerifyDib(image.handle) != 0) std::abort();
}

void loadWith(const std::string& path, const pm32::ZLoadParams& params, bool mayCancel = false) {
    std::size_t blocks = pm32::platform::LiveBlockCount();
    {
        pm32::ZDib image;
        pm32::LoadFIF(image, path, params);
        expectConsistent(image, mayCancel);
    }
    if (pm32::platform::LiveBlockCount() != blocks) std::abort();
}

// Loads the input as a FIF file several ways: whole when small, at a fixed
// small size in eight bits, at the decoder's fastest size, cropped, and
// cancelled by the progress callback.
void loadFif(const std::uint8_t* data, std::size_t size) {
    pm32::fuzz::FuzzInputFile input(data, size, ".fif");
    auto header = deco::readHeader(data, size);
    if (header &&
        std::uint64_t(header->width) * std::uint64_t(header->height) <= kWholeDecodePixels)
        loadWith(input.path(), {});
    pm32::ZLoadParams small;
    small.scale = 3;
    small.width = 40;
    small.height = 30;
    small.options = static_cast<std::int32_t>(size % 5);
    small.palette = static_cast<std::uint32_t>(size % 17);
    loadWith(input.path(), small);
    pm32::ZLoadParams cropped = small;
    cropped.cropX = 7;
    cropped.cropY = 3;
    cropped.cropWidth = 50;
    cropped.cropHeight = 5;
    loadWith(input.path(), cropped);
    pm32::ZLoadParams fastest;
    fastest.scale = 1;
    fastest.fastest = 1;
    if (!header ||
        std::uint64_t(header->width) * std::uint64_t(header->height) <= kWholeDecodePixels)
        loadWith(input.path(), fastest);

    static const pm32::platform::HWND window = pm32::platform::RegisterWindow([] {});
    pm32::FileProgressPump().SetUp([](int rows) { return rows < 20 ? 1 : 0; }, 7, window);
    loadWith(input.path(), small, true);
    pm32::FileProgressPump().SetUp({}, 0, 0);
}

std::string tableName() { return "pm32-fuzz-" + std::to_string(::getpid()) + ".ftt"; }

// The input as the FTT file of a good FIF that names one; the reader looks
// for it in the current folder, so it is written there for the one load.
void loadTable(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::uint8_t> fif = [] {
        std::vector<std::uint8_t> rgb(3 * 24 * 16);
        for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 7);
        deco::EncodeSettings settings;
        settings.tableName = tableName();
        return *deco::encodeFif(rgb.data(), 24, 16, settings);
    }();
    {
        std::FILE* table = std::fopen(tableName().c_str(), "wb");
        if (table == nullptr) std::abort();
        if (size != 0 && std::fwrite(data, 1, size, table) != size) std::abort();
        std::fclose(table);
    }
    pm32::fuzz::FuzzInputFile named(fif.data(), fif.size(), ".named.fif");
    loadWith(named.path(), {});
    std::remove(tableName().c_str());
}

}  // namespace

// Before fuzzing starts, so libFuzzer sees the library's code from the first input.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pm32::fuzz::limitBlockSizes();
    // libFuzzer keeps counting in the library's code between inputs, so the
    // library must stay mapped while the reader loads and unloads it.
    if (dlopen(DECO32_LIBRARY, RTLD_NOW) == nullptr ||
        setenv("PIXMILL_DECO", DECO32_LIBRARY, 1) != 0)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    loadFif(data, size);
    loadTable(data, size);
    return 0;
}
