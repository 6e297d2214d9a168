#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/zdib.h"
#include "formats/load_params.h"
#include "platform/global_memory.h"

namespace pm32::fuzz {

// Loads the input once more with the files of today wanted, over a background
// its length picks: the result is a valid image or an error number, never
// both, and the load keeps no block.
template <typename Load>
void checkModernLoad(Load load, std::size_t size) {
    ZLoadParams params;
    params.modern = true;
    params.backColor = static_cast<std::uint32_t>(size * 0x9E3779B1u) & 0x00FFFFFF;
    const std::size_t blocks = platform::LiveBlockCount();
    {
        ZDib image;
        load(image, params);
        if ((image.error == 0) != (image.handle != 0)) std::abort();
        if (image.handle != 0 && VerifyDib(image.handle) != 0) std::abort();
    }
    if (platform::LiveBlockCount() != blocks) std::abort();
}

}  // namespace pm32::fuzz
