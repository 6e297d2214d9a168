#include <array>

#include "engine/dib_layout.h"
#include "engine/progress.h"
#include "formats/jpeg.h"
#include "formats/jpeg_library.h"
#include "formats/load_through.h"
#include "formats/picture_rows.h"
#include "platform/stdio_file.h"

namespace pm32 {
namespace {

// What the steps under the jump point read and write. It lives in the
// caller's frame, so its values survive a long jump out of a step.
struct JpegLoad {
    jpeg_decompress_struct* info = nullptr;
    std::FILE* file = nullptr;
    const PictureRows* rows = nullptr;
    bool cancelled = false;
};

void readHeader(JpegLoad& load) {
    jpeg_create_decompress(load.info);
    jpeg_stdio_src(load.info, load.file);
    jpeg_read_header(load.info, TRUE);
}

void startImage(JpegLoad& load) {
    // Colour comes out in the DIB's blue, green, red order, so rows pass
    // without swapping; every other parameter stays at the library's default.
    if (load.info->out_color_space == JCS_RGB) load.info->out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(load.info);
}

void readScanlines(JpegLoad& load) {
    jpeg_decompress_struct* info = load.info;
    ProgressPump& pump = FileProgressPump();
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = load.rows->row(info->output_scanline);
        jpeg_read_scanlines(info, &row, 1);
        if (!pump.Tick()) {
            load.cancelled = true;
            return;
        }
    }
    jpeg_finish_decompress(info);
}

// A few bytes can claim 65500 x 65500 pixels; a size no DIB can have is
// refused before the library sets up its buffers for it.
bool fitsInBlock(const jpeg_decompress_struct& info) {
    auto depth = 8 * static_cast<std::uint32_t>(info.num_components);
    auto size =
        dibBlockSize(fullTableSize(depth), rowBytesFor(info.image_width, depth), info.image_height);
    return size && *size <= platform::BlockSizeLimit();
}

ErrorNumber createImage(ZDib& image, const jpeg_decompress_struct& info) {
    image.Create(static_cast<std::int32_t>(info.output_width),
                 static_cast<std::int32_t>(info.output_height),
                 8 * static_cast<std::uint32_t>(info.output_components), 0);
    // Whatever stopped it, a four-component (CMYK) file included, counts as memory.
    return image.error != 0 ? err::OutOfMemory : 0;
}

void setGreyRamp(ZDib& image) {
    std::array<PALETTEENTRY, 256> ramp{};
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        auto level = static_cast<std::uint8_t>(i);
        ramp[i] = {level, level, level, 0};
    }
    image.SetPalette(ramp, true);
}

ErrorNumber readPixels(const ZDib& image, JpegErrors& errors, JpegLoad& load) {
    PictureRows rows(image);
    if (rows.error() != 0) return rows.error();
    load.rows = &rows;
    bool read = runJpegStep(errors, readScanlines, load);
    load.rows = nullptr;  // the rows go with this frame
    return read ? 0 : err::JpegReadFailed;
}

ErrorNumber decode(ZDib& image, const std::string& path) {
    platform::StdioFile file = platform::openStdio(path, "rb");
    if (!file) return err::FileMissing;
    JpegErrors errors;
    JpegDecompressor decompressor(errors);
    JpegLoad load{.info = decompressor.get(), .file = file.get()};
    if (!runJpegStep(errors, readHeader, load)) return err::JpegReadFailed;
    if (exceedsImageLimit(load.info->image_width, load.info->image_height)) return err::BadArea;
    if (!fitsInBlock(*load.info)) return err::OutOfMemory;
    if (!runJpegStep(errors, startImage, load)) return err::JpegReadFailed;
    if (ErrorNumber e = createImage(image, *load.info)) return e;
    if (image.depth == 8) setGreyRamp(image);
    if (ErrorNumber e = readPixels(image, errors, load)) return e;
    if (load.cancelled) image.Reset();
    return 0;
}

}  // namespace

void LoadJPEG(ZDib& image, const std::string& path) {
    FileProgressPump().Begin();
    LoadWhole(image, [&] { return decode(image, path); });
}

}  // namespace pm32
