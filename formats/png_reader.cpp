#include <array>
#include <cstdio>
#include <memory>
#include <new>
#include <span>

#include "engine/dib_layout.h"
#include "engine/progress.h"
#include "formats/alpha_composite.h"
#include "formats/load_through.h"
#include "formats/picture_rows.h"
#include "formats/png.h"
#include "formats/png_library.h"
#include "platform/stdio_file.h"

namespace pm32 {
namespace {

// How decoded rows become the image's rows when they differ in form.
enum class RowForm {
    Same,           // libpng's rows are the image's
    ColorAlpha,     // blue, green, red, alpha onto 24 bits
    GreyAlpha,      // grey, alpha onto 8-bit grey
    TwoBitIndices,  // 2-bit palette indices, one to a byte, packed into 4 bits
};

// What the steps under libpng's error return read and write. It lives in the
// caller's frame, so its values survive a long jump out of a step.
struct PngLoad {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::FILE* file = nullptr;
    bool modern = false;
    RowForm form = RowForm::Same;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colorType = 0;
    std::uint32_t pixelDepth = 0;  // after the transformations
    int passes = 1;
    const PictureRows* rows = nullptr;
    // Decoded rows that need converting: one row, or every row of an
    // interlaced picture, whose passes fill them in bit by bit.
    std::uint8_t* staging = nullptr;
    std::size_t stagingRowBytes = 0;
    bool stagingWhole = false;
    const Backdrop* back = nullptr;
    bool cancelled = false;
};

// The forms of today read with modern files wanted: transparency is turned
// into an alpha channel that the rows are later laid over the backdrop with,
// and 2-bit palettes come out one index to a byte.
void chooseModernForm(PngLoad& load, int bitDepth) {
    const bool transparency = png_get_valid(load.png, load.info, PNG_INFO_tRNS) != 0;
    switch (load.colorType) {
        case PNG_COLOR_TYPE_PALETTE:
            // Transparent entries are laid over the backdrop in the colour table.
            if (bitDepth == 2) {
                png_set_packing(load.png);
                load.form = RowForm::TwoBitIndices;
            }
            return;
        case PNG_COLOR_TYPE_GRAY:
            if (!transparency) return;
            png_set_tRNS_to_alpha(load.png);
            load.form = RowForm::GreyAlpha;
            return;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            load.form = RowForm::GreyAlpha;
            return;
        case PNG_COLOR_TYPE_RGB:
            if (!transparency) return;
            png_set_tRNS_to_alpha(load.png);
            load.form = RowForm::ColorAlpha;
            return;
        default:
            load.form = RowForm::ColorAlpha;
            return;
    }
}

void readHeader(PngLoad& load) {
    png_init_io(load.png, load.file);
    png_read_info(load.png, load.info);
    int bitDepth = png_get_bit_depth(load.png, load.info);
    load.colorType = png_get_color_type(load.png, load.info);
    if (bitDepth == 16) png_set_strip_16(load.png);
    if (load.modern) chooseModernForm(load, bitDepth);
    if (load.colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand(load.png);
    // libpng 1.6 settles its row handling when the image starts, so byte
    // order and interlace handling are asked for first. Only colour files
    // come out in blue, green, red order.
    if (load.colorType == PNG_COLOR_TYPE_RGB || load.colorType == PNG_COLOR_TYPE_RGB_ALPHA)
        png_set_bgr(load.png);
    load.passes = png_set_interlace_handling(load.png);
    // This also starts the image; libpng 1.6 refuses a second start.
    png_read_update_info(load.png, load.info);
    load.width = png_get_image_width(load.png, load.info);
    load.height = png_get_image_height(load.png, load.info);
    load.pixelDepth = static_cast<std::uint32_t>(png_get_channels(load.png, load.info)) *
                      static_cast<std::uint32_t>(png_get_bit_depth(load.png, load.info));
}

void convertRow(const PngLoad& load, const std::uint8_t* decoded, std::uint8_t* target) {
    switch (load.form) {
        case RowForm::ColorAlpha:
            compositeBgraRow(decoded, load.width, *load.back, target);
            return;
        case RowForm::GreyAlpha:
            compositeGreyAlphaRow(decoded, load.width, load.back->grey, target);
            return;
        case RowForm::TwoBitIndices:
            for (std::uint32_t x = 0; x < load.width; x += 2) {
                const std::uint8_t right = x + 1 < load.width ? decoded[x + 1] : 0;
                target[x / 2] = static_cast<std::uint8_t>(decoded[x] << 4 | right);
            }
            return;
        case RowForm::Same:
            return;
    }
}

// Each pass fills in its own pixels of every row, so an interlaced picture
// builds up over the passes; a staged row is converted once its last pass is in.
void readRows(PngLoad& load) {
    ProgressPump& pump = FileProgressPump();
    for (int pass = 0; pass < load.passes; ++pass) {
        for (std::uint32_t y = 0; y < load.height; ++y) {
            std::uint8_t* target = load.rows->row(y);
            if (load.staging == nullptr) {
                png_read_row(load.png, target, nullptr);
            } else {
                std::uint8_t* decoded =
                    load.staging + (load.stagingWhole ? y * load.stagingRowBytes : 0);
                png_read_row(load.png, decoded, nullptr);
                if (pass == load.passes - 1) convertRow(load, decoded, target);
            }
            if (!pump.Tick()) {
                load.cancelled = true;
                return;
            }
        }
    }
}

// The library checks the chunks after the image data; nothing of them is kept.
void readEnd(PngLoad& load) { png_read_end(load.png, nullptr); }

std::uint32_t imageDepth(const PngLoad& load) {
    switch (load.form) {
        case RowForm::ColorAlpha:
            return 24;
        case RowForm::GreyAlpha:
            return 8;
        case RowForm::TwoBitIndices:
            return 4;
        case RowForm::Same:
            break;
    }
    return load.pixelDepth;
}

ErrorNumber createImage(ZDib& image, const PngLoad& load) {
    // Without modern files wanted, grey with alpha, colour with alpha and
    // 2-bit palette files end here.
    const std::uint32_t depth = imageDepth(load);
    if (!isSupportedDepth(depth)) return err::InvalidPicture;
    image.Create(static_cast<std::int32_t>(load.width), static_cast<std::int32_t>(load.height),
                 depth, 0);
    return image.error;
}

ErrorNumber setColorTable(ZDib& image, const PngLoad& load) {
    if (image.depth == 24) return 0;
    std::array<PALETTEENTRY, 256> table{};  // entries a short palette lacks stay black
    if (load.colorType != PNG_COLOR_TYPE_PALETTE) {
        setGreyRamp(image);
        return 0;
    }
    png_colorp palette = nullptr;
    int entries = 0;
    if (png_get_PLTE(load.png, load.info, &palette, &entries) == 0) return err::NoPalette;
    for (std::size_t i = 0; i < static_cast<std::size_t>(entries) && i < table.size(); ++i)
        table[i] = {palette[i].red, palette[i].green, palette[i].blue, 0};
    png_bytep alpha = nullptr;
    int alphaEntries = 0;
    if (load.modern && png_get_tRNS(load.png, load.info, &alpha, &alphaEntries, nullptr) != 0 &&
        alpha != nullptr)
        compositeEntries(table, std::span(alpha, static_cast<std::size_t>(alphaEntries)),
                         *load.back);
    image.SetPalette(table, true);
    return 0;
}

// Room for the decoded rows that need converting; null when none do.
ErrorNumber allocateStaging(PngLoad& load, std::unique_ptr<std::uint8_t[]>& staging) {
    if (load.form == RowForm::Same) return 0;
    load.stagingRowBytes = static_cast<std::size_t>(load.width) * (load.pixelDepth / 8);
    load.stagingWhole = load.passes > 1;
    const auto bytes = checkedMultiply(load.stagingRowBytes, load.stagingWhole ? load.height : 1);
    if (!bytes || *bytes > platform::BlockSizeLimit()) return err::OutOfMemory;
    staging.reset(new (std::nothrow) std::uint8_t[*bytes]);
    if (!staging) return err::OutOfMemory;
    load.staging = staging.get();
    return 0;
}

ErrorNumber readPixels(const ZDib& image, PngLoad& load) {
    PictureRows rows(image);
    if (rows.error() != 0) return rows.error();
    std::unique_ptr<std::uint8_t[]> staging;
    if (ErrorNumber e = allocateStaging(load, staging)) return e;
    load.rows = &rows;
    bool read = runPngStep(load.png, readRows, load);
    load.rows = nullptr;  // the rows and the staging go with this frame
    load.staging = nullptr;
    return read ? 0 : err::PngReadFailed;
}

ErrorNumber decode(ZDib& image, const std::string& path, const ZLoadParams& params) {
    platform::StdioFile file = platform::openStdio(path, "rb");
    if (!file) return err::FileMissing;
    PngReadState state;
    if (!state) return err::OutOfMemory;
    const Backdrop back(params.backColor);
    PngLoad load{.png = state.png(),
                 .info = state.info(),
                 .file = file.get(),
                 .modern = params.modern,
                 .back = &back};
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

void LoadPNG(ZDib& image, const std::string& path, const ZLoadParams& params) {
    FileProgressPump().Begin();
    LoadWhole(image, [&] { return decode(image, path, params); });
}

void LoadPNG(ZDib& image, const std::string& path) { LoadPNG(image, path, ZLoadParams{}); }

}  // namespace pm32
