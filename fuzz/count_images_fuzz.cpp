#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "formats/count_images.h"
#include "formats/format_codes.h"
#include "fuzz/fuzz_input_file.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pm32::fuzz::limitBlockSizes();
    return 0;
}

// Every input is counted both as a GIF and as a TIFF file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const char* extension : {".gif", ".tif"}) {
        pm32::fuzz::FuzzInputFile input(data, size, extension);
        int count = -1;
        pm32::ErrorNumber result = pm32::CountFileImages(input.path(), pm32::kFormatAny, count);
        if (result != 0 ? count != 0 : count < 0) std::abort();
    }
    return 0;
}
