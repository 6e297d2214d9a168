#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "formats/palette_file.h"
#include "fuzz/fuzz_input_file.h"
#include "platform/gdi_palette.h"

namespace {

using pm32::platform::HPALETTE;
using pm32::platform::PALETTEENTRY;

// Deletes the palette a read hands over.
struct OwnedPalette {
    HPALETTE handle = 0;
    ~OwnedPalette() {
        if (handle != 0) pm32::platform::DeletePalette(handle);
    }
};

std::vector<PALETTEENTRY> entriesOf(HPALETTE palette) {
    std::vector<PALETTEENTRY> entries(pm32::platform::GetPaletteEntryCount(palette));
    pm32::platform::GetPaletteEntries(palette, 0, entries);
    return entries;
}

bool sameEntries(const std::vector<PALETTEENTRY>& a, const std::vector<PALETTEENTRY>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].peRed != b[i].peRed || a[i].peGreen != b[i].peGreen ||
            a[i].peBlue != b[i].peBlue || a[i].peFlags != b[i].peFlags)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pm32::fuzz::limitBlockSizes();
    return 0;
}

// A palette that reads must write out and read back to the same entries; a
// failed read hands out no palette, and no palette outlives its input.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t livePalettes = pm32::platform::LivePaletteCount();
    {
        pm32::fuzz::FuzzInputFile input(data, size, ".pal");
        OwnedPalette palette;
        if (pm32::ReadPaletteFile(input.path(), palette.handle) != 0) {
            if (palette.handle != 0) std::abort();
        } else {
            pm32::fuzz::FuzzInputFile copy(nullptr, 0, "-copy.pal");
            OwnedPalette reread;
            if (pm32::WritePaletteFile(palette.handle, copy.path()) != 0 ||
                pm32::ReadPaletteFile(copy.path(), reread.handle) != 0 ||
                !sameEntries(entriesOf(palette.handle), entriesOf(reread.handle)))
                std::abort();
        }
    }
    if (pm32::platform::LivePaletteCount() != livePalettes) std::abort();
    return 0;
}
