#include <array>
#include <memory>
#include <new>
#include <span>

#include "engine/dib_layout.h"
#include "formats/jpeg.h"
#include "formats/jpeg_library.h"
#include "formats/picture_rows.h"
#include "platform/replacement_file.h"
#include "platform/stdio_file.h"

namespace pm32 {
namespace {

// Samples for each palette index, for rows that cannot pass as stored: the
// colour of a 1-, 4- or 8-bit colour image (blue, green, red) or the grey
// level of a 1- or 4-bit image written as grey.
struct SampleLookup {
    int components = 0;  // 0: rows pass as stored
    std::array<std::uint8_t, 3 * 256> samples{};
};

SampleLookup lookupFor(const ZDib& image, bool grey) {
    SampleLookup lookup;
    if (image.depth == 24 || (grey && image.depth == 8)) return lookup;
    if (grey) {
        // Indices become grey levels spread over the full range, as a PNG grey
        // image of that depth reads.
        lookup.components = 1;
        std::uint32_t step = image.depth == 1 ? 255 : 17;
        for (std::uint32_t i = 0; i < fullTableSize(image.depth); ++i)
            lookup.samples[i] = static_cast<std::uint8_t>(i * step);
        return lookup;
    }
    lookup.components = 3;
    std::array<PALETTEENTRY, 256> table{};
    std::size_t entries = image.GetPalette(std::span(table.data(), fullTableSize(image.depth)));
    for (std::size_t i = 0; i < entries; ++i) {
        lookup.samples[3 * i] = table[i].peBlue;
        lookup.samples[3 * i + 1] = table[i].peGreen;
        lookup.samples[3 * i + 2] = table[i].peRed;
    }
    return lookup;
}

unsigned indexAt(const std::uint8_t* row, std::uint32_t depth, std::uint32_t x) {
    switch (depth) {
        case 1:
            return (row[x / 8] >> (7 - x % 8)) & 1;
        case 4:
            return (row[x / 2] >> (x % 2 != 0 ? 0 : 4)) & 0x0F;
        default:
            return row[x];
    }
}

// Writes the samples of each pixel's palette index into out; reads only the
// row's packed pixels.
void expandRow(const std::uint8_t* row, std::uint32_t depth, std::uint32_t width,
               const SampleLookup& lookup, std::uint8_t* out) {
    const auto n = static_cast<std::size_t>(lookup.components);
    for (std::uint32_t x = 0; x < width; ++x) {
        const std::uint8_t* samples = &lookup.samples[indexAt(row, depth, x) * n];
        for (std::size_t c = 0; c < n; ++c) out[x * n + c] = samples[c];
    }
}

// What the step under the jump point reads. It lives in the caller's frame,
// so nothing it refers to is lost in a long jump.
struct JpegStore {
    jpeg_compress_struct* info = nullptr;
    std::FILE* file = nullptr;
    const ZDib* image = nullptr;
    const PictureRows* rows = nullptr;
    bool grey = false;
    bool progressive = false;
    int quality = 0;
    const SampleLookup* lookup = nullptr;
    std::uint8_t* expanded = nullptr;  // one row of samples when the lookup is used
};

void writeImage(JpegStore& store) {
    jpeg_compress_struct* info = store.info;
    const ZDib& image = *store.image;
    jpeg_create_compress(info);
    jpeg_stdio_dest(info, store.file);
    info->image_width = static_cast<JDIMENSION>(image.width);
    info->image_height = static_cast<JDIMENSION>(image.height);
    info->input_components = store.grey ? 1 : 3;
    // Colour rows go in in the DIB's blue, green, red order.
    info->in_color_space = store.grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, store.quality, TRUE);
    if (store.progressive) jpeg_simple_progression(info);
    jpeg_start_compress(info, TRUE);
    while (info->next_scanline < info->image_height) {
        JSAMPROW row = store.rows->row(info->next_scanline);
        if (store.lookup->components != 0) {
            expandRow(row, image.depth, info->image_width, *store.lookup, store.expanded);
            row = store.expanded;
        }
        jpeg_write_scanlines(info, &row, 1);
    }
    jpeg_finish_compress(info);
}

ErrorNumber encode(const ZDib& image, const std::string& path, int quality, int writeOption) {
    bool grey = writeOption == 2 || writeOption == 3;
    bool progressive = writeOption == 1 || writeOption == 3;
    if (image.depth > 8 && grey) return err::BadDepth;
    PictureRows rows(image);
    if (rows.error() != 0) return rows.error();
    SampleLookup lookup = lookupFor(image, grey);
    std::unique_ptr<std::uint8_t[]> expanded;
    if (lookup.components != 0) {
        auto bytes = checkedMultiply(static_cast<std::uint32_t>(image.width),
                                     static_cast<std::uint64_t>(lookup.components));
        if (bytes) expanded.reset(new (std::nothrow) std::uint8_t[*bytes]);
        if (!expanded) return err::OutOfMemory;
    }

    JpegErrors errors;
    platform::ReplacementFile target(path);
    if (!target) return err::JpegWriteFailed;
    platform::StdioFile file = platform::openStdio(target.Path(), "wb");
    if (!file) return err::JpegWriteFailed;
    JpegCompressor compressor(errors);
    JpegStore store{.info = compressor.get(),
                    .file = file.get(),
                    .image = &image,
                    .rows = &rows,
                    .grey = grey,
                    .progressive = progressive,
                    .quality = quality,
                    .lookup = &lookup,
                    .expanded = expanded.get()};
    if (!runJpegStep(errors, writeImage, store)) return err::JpegWriteFailed;
    return platform::closeStdio(file) && target.Commit() ? 0 : err::JpegWriteFailed;
}

}  // namespace

void StoreJPEG(ZDib& image, const std::string& path, int quality, int writeOption) {
    image.error = encode(image, path, quality, writeOption);
}

}  // namespace pm32
