#include <array>
#include <cstdio>
#include <span>

#include "engine/dib_layout.h"
#include "engine/progress.h"
#include "formats/load_through.h"
#include "formats/picture_rows.h"
#include "formats/png.h"
#include "formats/png_library.h"
#include "platform/stdio_file.h"

namespace pm32 {
namespace {

// What the steps under libpng's error return read and write. It lives in the
// caller's frame, so its values survive a long jump out of a step.
struct PngLoad {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::FILE* file = nullptr;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colorType = 0;
    std::uint32_t pixelDepth = 0;  // after the transformations
    int passes = 1;
    const PictureRows* rows = nullptr;
    bool cancelled = false;
};

void readHeader(PngLoad& load) {
    png_init_io(load.png, load.file);
    png_read_info(load.png, load.info);
    int bitDepth = png_get_bit_depth(load.png, load.info);
    load.colorType = png_get_color_type(load.png, load.info);
    if (bitDepth == 16) png_set_strip_16(load.png);
    if (load.colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand(load.png);
    // libpng 1.6 settles its row handling when the image starts, so byte
    // order and interlace handling are asked for first. Only RGB files come
    // out at 24 bits.
    if (load.colorType == PNG_COLOR_TYPE_RGB) png_set_bgr(load.png);
    load.passes = png_set_interlace_handling(load.png);
    // This also starts the image; libpng 1.6 refuses a second start.
    png_read_update_info(load.png, load.info);
    load.width = png_get_image_width(load.png, load.info);
    load.height = png_get_image_height(load.png, load.info);
    load.pixelDepth = static_cast<std::uint32_t>(png_get_channels(load.png, load.info)) *
                      static_cast<std::uint32_t>(png_get_bit_depth(load.png, load.info));
}

// Each pass fills in its own pixels of every row, so an interlaced picture
// builds up over the passes.
void readRows(PngLoad& load) {
    ProgressPump& pump = FileProgressPump();
    for (int pass = 0; pass < load.passes; ++pass) {
        for (std::uint32_t y = 0; y < load.height; ++y) {
            png_read_row(load.png, load.rows->row(y), nullptr);
            if (!pump.Tick()) {
                load.cancelled = true;
                return;
            }
        }
    }
}

// The library checks the chunks after the image data; nothing of them is kept.
void readEnd(PngLoad& load) { png_read_end(load.png, nullptr); }

ErrorNumber createImage(ZDib& image, const PngLoad& load) {
    // Grey with alpha, colour with alpha and 2-bit palette files end here.
    if (!isSupportedDepth(load.pixelDepth)) return err::InvalidPicture;
    image.Create(static_cast<std::int32_t>(load.width), static_cast<std::int32_t>(load.height),
                 load.pixelDepth, 0);
    return image.error;
}

ErrorNumber setColorTable(ZDib& image, const PngLoad& load) {
    if (image.depth == 24) return 0;
    std::array<PALETTEENTRY, 256> table{};  // entries a short palette lacks stay black
    if (load.colorType == PNG_COLOR_TYPE_GRAY) {
        for (std::size_t i = 0; i < table.size(); ++i) {
            auto level = static_cast<std::uint8_t>(i);
            table[i] = {level, level, level, 0};
        }
    } else {
        png_colorp palette = nullptr;
        int entries = 0;
        if (png_get_PLTE(load.png, load.info, &palette, &entries) == 0) return err::NoPalette;
        for (std::size_t i = 0; i < static_cast<std::size_t>(entries) && i < table.size(); ++i)
            table[i] = {palette[i].red, palette[i].green, palette[i].blue, 0};
    }
    image.SetPalette(table, true);
    return 0;
}

ErrorNumber readPixels(const ZDib& image, PngLoad& load) {
    PictureRows rows(image);
    if (rows.error() != 0) return rows.error();
    load.rows = &rows;
    bool read = runPngStep(load.png, readRows, load);
    load.rows = nullptr;  // the rows go with this frame
    return read ? 0 : err::PngReadFailed;
}

ErrorNumber decode(ZDib& image, const std::string& path) {
    platform::StdioFile file = platform::openStdio(path, "rb");
    if (!file) return err::FileMissing;
    PngReadState state;
    if (!state) return err::OutOfMemory;
    PngLoad load{.png = state.png(), .info = state.info(), .file = file.get()};
    if (!runPngStep(load.png, readHeader, load)) return err::PngReadFailed;
    if (ErrorNumber refused = createImage(image, load)) {
        // A fault the library finds in the rest of the file outranks the refusal.
        return runPngStep(load.png, readEnd, load) ? refused : err::PngReadFailed;
    }
    if (ErrorNumber e = setColorTable(image, load)) return e;
    if (ErrorNumber e = readPixels(image, load)) return e;
    if (load.cancelled) {
        image.Reset();
        return 0;
    }
    return runPngStep(load.png, readEnd, load) ? 0 : err::PngReadFailed;
}

}  // namespace

void LoadPNG(ZDib& image, const std::string& path) {
    FileProgressPump().Begin();
    LoadWhole(image, [&] { return decode(image, path); });
}

}  // namespace pm32
