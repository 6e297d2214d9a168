#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "color/convert_depth.h"
#include "control/screen_bitmap.h"
#include "control/whole_image_transfer.h"
#include "fuzz/fuzz_input_file.h"

namespace {

// A block holding the bytes as another program could put them on the
// clipboard under our packed-DIB flavour.
pm32::HGLOBAL blockOf(const std::uint8_t* data, std::size_t size) {
    pm32::HGLOBAL block = pm32::platform::GlobalAlloc(pm32::platform::GMEM_MOVEABLE, size + 1);
    if (block == 0) std::abort();
    pm32::platform::Locked bytes(block);
    if (size > 0) std::memcpy(bytes.data(), data, size);
    return block;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pm32::fuzz::limitBlockSizes();
    return 0;
}

// A pasted block is either refused with a number or becomes an image whose
// every pixel can be read, converted and shown.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pm32::HGLOBAL block = blockOf(data, size);
    try {
        pm32::control::AcceptCallerDib(block);
    } catch (const pm32::RaisedError& error) {
        if (error.number == 0) std::abort();
        pm32::platform::GlobalFree(block);
        return 0;
    }
    pm32::HGLOBAL wide = 0;
    if (pm32::ConvertDepth(block, 24, {}, false, false, wide) == 0) pm32::FreeDib(wide);
    (void)pm32::control::BuildScreenBitmap(block);
    pm32::platform::GlobalFree(block);
    return 0;
}
