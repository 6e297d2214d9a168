#include <array>
#include <cstdio>
#include <span>

#include "engine/dib_layout.h"
#include "formats/picture_rows.h"
#include "formats/png.h"
#include "formats/png_library.h"
#include "platform/replacement_file.h"
#include "platform/stdio_file.h"

namespace pm32 {
namespace {

// What the step under libpng's error return reads. It lives in the caller's
// frame, so nothing it refers to is lost in a long jump.
struct PngStore {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::FILE* file = nullptr;
    const ZDib* image = nullptr;
    const PictureRows* rows = nullptr;
    bool interlaced = false;
    bool grey = false;
    const png_color* palette = nullptr;
    int paletteEntries = 0;
};

int colorTypeFor(const ZDib& image, bool grey) {
    if (image.depth == 24) return PNG_COLOR_TYPE_RGB;
    return grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_PALETTE;
}

void writeImage(PngStore& store) {
    const ZDib& image = *store.image;
    int colorType = colorTypeFor(image, store.grey);
    png_init_io(store.png, store.file);
    png_set_IHDR(store.png, store.info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height),
                 image.depth == 24 ? 8 : static_cast<int>(image.depth), colorType,
                 store.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(store.png, store.info, store.palette, store.paletteEntries);
    // Stored blue, green, red pixels go out as red, green, blue.
    if (colorType == PNG_COLOR_TYPE_RGB) png_set_bgr(store.png);
    png_write_info(store.png, store.info);
    int passes = png_set_interlace_handling(store.png);
    auto height = static_cast<std::uint32_t>(image.height);
    for (int pass = 0; pass < passes; ++pass) {
        for (std::uint32_t y = 0; y < height; ++y) png_write_row(store.png, store.rows->row(y));
    }
    png_write_end(store.png, store.info);
}

// The colour table's red, green and blue, at most a full table for the depth.
int readPalette(const ZDib& image, std::array<png_color, 256>& palette) {
    std::array<PALETTEENTRY, 256> table{};
    std::size_t entries = image.GetPalette(std::span(table.data(), fullTableSize(image.depth)));
    for (std::size_t i = 0; i < entries; ++i)
        palette[i] = {table[i].peRed, table[i].peGreen, table[i].peBlue};
    return static_cast<int>(entries);
}

ErrorNumber encode(const ZDib& image, const std::string& path, int writeOption) {
    bool interlaced = writeOption == 1 || writeOption == 3;
    bool grey = writeOption == 2 || writeOption == 3;
    if (image.depth > 8 && grey) return err::BadDepth;
    PictureRows rows(image);
    if (rows.error() != 0) return rows.error();
    std::array<png_color, 256> palette{};
    int paletteEntries = readPalette(image, palette);

    platform::ReplacementFile target(path);
    if (!target) return err::PngWriteFailed;
    platform::StdioFile file = platform::openStdio(target.Path(), "wb");
    if (!file) return err::PngWriteFailed;
    PngWriteState state;
    if (!state) return err::OutOfMemory;
    PngStore store{.png = state.png(),
                   .info = state.info(),
                   .file = file.get(),
                   .image = &image,
                   .rows = &rows,
                   .interlaced = interlaced,
                   .grey = grey,
                   .palette = palette.data(),
                   .paletteEntries = paletteEntries};
    if (!runPngStep(store.png, writeImage, store)) return err::PngWriteFailed;
    return platform::closeStdio(file) && target.Commit() ? 0 : err::PngWriteFailed;
}

}  // namespace

void StorePNG(ZDib& image, const std::string& path, int writeOption) {
    image.error = encode(image, path, writeOption);
}

}  // namespace pm32
