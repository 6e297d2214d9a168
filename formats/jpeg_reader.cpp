#include <memory>
#include <new>

#include "engine/dib_layout.h"
#include "engine/progress.h"
#include "formats/alpha_composite.h"
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
    bool modern = false;
    const PictureRows* rows = nullptr;
    std::uint8_t* inks = nullptr;  // one row of CMYK samples, when they need converting
    bool cancelled = false;
};

bool inked(const jpeg_decompress_struct& info) {
    return info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
}

// One row of CMYK samples onto blue, green, red. The library hands YCCK over
// as CMYK, and as its documentation says, a file with Adobe's marker holds
// every ink inverted (0 is full ink): red is then C x K / 255, otherwise
// (255 - C) x (255 - K) / 255.
void inksToColor(const std::uint8_t* cmyk, std::uint32_t pixels, bool inverted, std::uint8_t* bgr) {
    for (std::uint32_t x = 0; x < pixels; ++x, cmyk += 4, bgr += 3) {
        auto paper = [&](std::uint8_t v) -> unsigned { return inverted ? v : 255u - v; };
        const unsigned k = paper(cmyk[3]);
        bgr[0] = static_cast<std::uint8_t>((paper(cmyk[2]) * k + 127) / 255);
        bgr[1] = static_cast<std::uint8_t>((paper(cmyk[1]) * k + 127) / 255);
        bgr[2] = static_cast<std::uint8_t>((paper(cmyk[0]) * k + 127) / 255);
    }
}

void readHeader(JpegLoad& load) {
    jpeg_create_decompress(load.info);
    jpeg_stdio_src(load.info, load.file);
    jpeg_read_header(load.info, TRUE);
}

void startImage(JpegLoad& load) {
    // Colour comes out in the DIB's blue, green, red order, so rows pass
    // without swapping; every other parameter stays at the library's default.
    if (load.info->out_color_space == JCS_RGB) load.info->out_color_space = JCS_EXT_BGR;
    if (load.modern && inked(*load.info)) load.info->out_color_space = JCS_CMYK;
    jpeg_start_decompress(load.info);
}

void readScanlines(JpegLoad& load) {
    jpeg_decompress_struct* info = load.info;
    ProgressPump& pump = FileProgressPump();
    while (info->output_scanline < info->output_height) {
        std::uint8_t* target = load.rows->row(info->output_scanline);
        JSAMPROW row = load.inks != nullptr ? load.inks : target;
        jpeg_read_scanlines(info, &row, 1);
        if (load.inks != nullptr)
            inksToColor(load.inks, info->output_width, info->saw_Adobe_marker != 0, target);
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

ErrorNumber createImage(ZDib& image, const jpeg_decompress_struct& info, bool modern) {
    const bool converted = modern && info.out_color_space == JCS_CMYK;
    image.Create(static_cast<std::int32_t>(info.output_width),
                 static_cast<std::int32_t>(info.output_height),
                 converted ? 24 : 8 * static_cast<std::uint32_t>(info.output_components), 0);
    // Whatever stopped it, a four-component (CMYK) file included, counts as memory.
    return image.error != 0 ? err::OutOfMemory : 0;
}

ErrorNumber readPixels(const ZDib& image, JpegErrors& errors, JpegLoad& load) {
    PictureRows rows(image);
    if (rows.error() != 0) return rows.error();
    std::unique_ptr<std::uint8_t[]> inks;
    if (load.modern && load.info->out_color_space == JCS_CMYK) {
        inks.reset(new (std::nothrow) std::uint8_t[std::size_t{4} * load.info->output_width]);
        if (!inks) return err::OutOfMemory;
        load.inks = inks.get();
    }
    load.rows = &rows;
    bool read = runJpegStep(errors, readScanlines, load);
    load.rows = nullptr;  // the rows and the ink row go with this frame
    load.inks = nullptr;
    return read ? 0 : err::JpegReadFailed;
}

ErrorNumber decode(ZDib& image, const std::string& path, bool modern) {
    platform::StdioFile file = platform::openStdio(path, "rb");
    if (!file) return err::FileMissing;
    JpegErrors errors;
    JpegDecompressor decompressor(errors);
    JpegLoad load{.info = decompressor.get(), .file = file.get(), .modern = modern};
    if (!runJpegStep(errors, readHeader, load)) return err::JpegReadFailed;
    if (exceedsImageLimit(load.info->image_width, load.info->image_height)) return err::BadArea;
    if (!fitsInBlock(*load.info)) return err::OutOfMemory;
    if (!runJpegStep(errors, startImage, load)) return err::JpegReadFailed;
    if (ErrorNumber e = createImage(image, *load.info, modern)) return e;
    if (image.depth == 8) setGreyRamp(image);
    if (ErrorNumber e = readPixels(image, errors, load)) return e;
    if (load.cancelled) image.Reset();
    return 0;
}

}  // namespace

void LoadJPEG(ZDib& image, const std::string& path, const ZLoadParams& params) {
    FileProgressPump().Begin();
    LoadWhole(image, [&] { return decode(image, path, params.modern); });
}

void LoadJPEG(ZDib& image, const std::string& path) { LoadJPEG(image, path, ZLoadParams{}); }

}  // namespace pm32
