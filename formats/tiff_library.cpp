#include "formats/tiff_library.h"

#include <tiffio.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "engine/dib_layout.h"
#include "formats/alpha_composite.h"
#include "formats/picture_rows.h"

namespace pm32 {
namespace {

int dropMessage(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
struct OptionsFreer {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// Nothing the library allocates for one file may be larger than the largest
// image block, so a few bytes cannot ask it for gigabytes.
std::uint64_t largestBuffer() {
    return std::min<std::uint64_t>(platform::BlockSizeLimit(),
                                   std::numeric_limits<tmsize_t>::max());
}

// Opens the file with the library's errors and warnings dropped: a damaged
// file is told by the results, never by text on the terminal.
TiffHandle openQuietly(const std::string& path) {
    std::unique_ptr<TIFFOpenOptions, OptionsFreer> options(TIFFOpenOptionsAlloc());
    if (!options) return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), dropMessage, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), dropMessage, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(largestBuffer()));
    return TiffHandle(TIFFOpenExt(path.c_str(), "r", options.get()));
}

std::unique_ptr<std::uint8_t[]> buffer(std::uint64_t bytes) {
    if (bytes == 0 || bytes > largestBuffer()) return nullptr;
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow)
                                               std::uint8_t[static_cast<std::size_t>(bytes)]);
}

// Bands up to this size are taken whatever the picture's size.
constexpr std::uint64_t kSmallBandBytes = std::uint64_t{16} << 20;

enum class Output { IndexedGrey, Grey, Palette, Color };
enum class Alpha { None, Straight, Premultiplied };

struct Layout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t samples = 1;
    std::uint16_t bits = 1;
    std::uint16_t format = SAMPLEFORMAT_UINT;
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    bool separate = false;
    bool tiled = false;
    std::uint32_t tileWidth = 0;
    std::uint32_t tileLength = 0;
    std::uint32_t rowsPerStrip = 0;
    Alpha alpha = Alpha::None;
    std::uint16_t alphaSample = 0;
    Output output = Output::Color;
};

// The first extra sample carries alpha when it says so, or when it is the
// one unnamed extra of grey or colour, as the peers take it.
void readAlpha(TIFF* tiff, Layout& layout, std::uint16_t colorSamples) {
    std::uint16_t extras = 0;
    std::uint16_t* kinds = nullptr;
    if (layout.samples <= colorSamples ||
        TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &extras, &kinds) == 0 || extras == 0 ||
        kinds == nullptr)
        return;
    layout.alphaSample = colorSamples;
    if (kinds[0] == EXTRASAMPLE_ASSOCALPHA)
        layout.alpha = Alpha::Premultiplied;
    else if (kinds[0] == EXTRASAMPLE_UNASSALPHA ||
             (kinds[0] == EXTRASAMPLE_UNSPECIFIED && extras == 1))
        layout.alpha = Alpha::Straight;
}

bool knownSamples(const Layout& l) {
    if (l.format == SAMPLEFORMAT_IEEEFP) return l.bits == 32 || l.bits == 64;
    if (l.format != SAMPLEFORMAT_UINT && l.format != SAMPLEFORMAT_VOID) return false;
    return l.bits == 1 || l.bits == 2 || l.bits == 4 || l.bits == 8 || l.bits == 16;
}

// Which of the engine's forms the file reduces to; false for a form read
// through the library's own colour conversion (CMYK, YCbCr, CIE Lab...).
bool chooseOutput(TIFF* tiff, Layout& l) {
    if (!knownSamples(l)) return false;
    switch (l.photometric) {
        case PHOTOMETRIC_MINISBLACK:
        case PHOTOMETRIC_MINISWHITE:
            readAlpha(tiff, l, 1);
            l.output = l.bits < 8 && l.alpha == Alpha::None ? Output::IndexedGrey : Output::Grey;
            return true;
        case PHOTOMETRIC_PALETTE:
            l.output = Output::Palette;
            return l.bits <= 8 && l.format != SAMPLEFORMAT_IEEEFP;
        case PHOTOMETRIC_RGB:
            readAlpha(tiff, l, 3);
            l.output = Output::Color;
            return l.samples >= 3;
        default:
            return false;
    }
}

ErrorNumber readLayout(TIFF* tiff, Layout& l) {
    if (TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &l.width) == 0 ||
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &l.height) == 0)
        return err::BadFile;
    if (l.width == 0 || l.height == 0 || exceedsImageLimit(l.width, l.height)) return err::BadArea;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &l.bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &l.format);
    if (TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &l.photometric) == 0)
        l.photometric = l.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    l.separate = planar == PLANARCONFIG_SEPARATE && l.samples > 1;
    l.tiled = TIFFIsTiled(tiff) != 0;
    if (l.tiled) {
        TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &l.tileWidth);
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &l.tileLength);
        if (l.tileWidth == 0 || l.tileLength == 0) return err::BadFile;
    } else {
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &l.rowsPerStrip);
        l.rowsPerStrip = std::clamp<std::uint32_t>(l.rowsPerStrip, 1, l.height);
    }
    if (l.samples == 0) return err::BadFile;
    return 0;
}

// The decoded rows of one band of the picture (a strip, or a row of tiles),
// each plane's apart when the planes are separate; bands are decoded in turn
// as the rows are asked for.
class Bands {
  public:
    Bands(TIFF* tiff, const Layout& layout) : tiff_(tiff), l_(layout) {}

    ErrorNumber Prepare() {
        const std::uint64_t planeSamples = l_.separate ? 1 : l_.samples;
        const std::uint32_t paddedWidth = l_.tiled ? roundedUp(l_.width, l_.tileWidth) : l_.width;
        const auto bits = checkedMultiply(std::uint64_t{paddedWidth} * planeSamples, l_.bits);
        if (!bits) return err::OutOfMemory;
        rowBytes_ = (*bits + 7) / 8;
        bandRows_ = l_.tiled ? l_.tileLength : l_.rowsPerStrip;
        const auto planeBytes = checkedMultiply(rowBytes_, bandRows_);
        // A tile may be larger than the picture, but a few header bytes may
        // not claim a band far larger than the picture it belongs to.
        const auto pictureBytes = checkedMultiply(rowBytes_, l_.height);
        if (!planeBytes || !pictureBytes ||
            *planeBytes > std::max<std::uint64_t>(*pictureBytes, kSmallBandBytes))
            return err::BadFile;
        const std::uint64_t blockBytes =
            static_cast<std::uint64_t>(l_.tiled ? TIFFTileSize64(tiff_) : TIFFStripSize64(tiff_));
        if (!planeBytes || blockBytes == 0) return err::BadFile;
        if (l_.tiled) {
            block_ = buffer(blockBytes);
            if (!block_) return err::OutOfMemory;
        } else if (blockBytes > *planeBytes) {
            return err::BadFile;
        }
        for (std::uint16_t p = 0; p < planes(); ++p) {
            planes_[p] = buffer(*planeBytes);
            if (!planes_[p]) return err::OutOfMemory;
        }
        return 0;
    }

    // Points rows[p] at picture row y of each plane.
    ErrorNumber Row(std::uint32_t y, std::vector<const std::uint8_t*>& rows) {
        const std::uint32_t band = y / bandRows_;
        if (band != loaded_) {
            if (ErrorNumber e = load(band)) return e;
            loaded_ = band;
        }
        rows.resize(planes());
        for (std::uint16_t p = 0; p < planes(); ++p)
            rows[p] = planes_[p].get() + (y % bandRows_) * rowBytes_;
        return 0;
    }

    std::uint16_t planes() const { return l_.separate ? l_.samples : 1; }

  private:
    static std::uint32_t roundedUp(std::uint32_t value, std::uint32_t step) {
        return static_cast<std::uint32_t>((std::uint64_t{value} + step - 1) / step * step);
    }

    ErrorNumber load(std::uint32_t band) {
        for (std::uint16_t p = 0; p < planes(); ++p) {
            ErrorNumber e = l_.tiled ? loadTiles(band, p) : loadStrip(band, p);
            if (e != 0) return e;
        }
        return 0;
    }

    ErrorNumber loadStrip(std::uint32_t band, std::uint16_t plane) {
        const std::uint32_t strip = TIFFComputeStrip(tiff_, band * bandRows_, plane);
        const tmsize_t size = TIFFStripSize(tiff_);
        return TIFFReadEncodedStrip(tiff_, strip, planes_[plane].get(), size) < 0 ? err::BadFile
                                                                                  : 0;
    }

    ErrorNumber loadTiles(std::uint32_t band, std::uint16_t plane) {
        const tmsize_t size = TIFFTileSize(tiff_);
        const std::uint64_t tileRowBytes = static_cast<std::uint64_t>(TIFFTileRowSize64(tiff_));
        if (tileRowBytes == 0 || tileRowBytes * l_.tileLength > static_cast<std::uint64_t>(size))
            return err::BadFile;
        std::uint64_t at = 0;
        for (std::uint32_t x = 0; x < l_.width; x += l_.tileWidth, at += tileRowBytes) {
            const std::uint32_t tile = TIFFComputeTile(tiff_, x, band * l_.tileLength, 0, plane);
            if (TIFFReadEncodedTile(tiff_, tile, block_.get(), size) < 0) return err::BadFile;
            if (at + tileRowBytes > rowBytes_) return err::BadFile;
            for (std::uint32_t r = 0; r < l_.tileLength; ++r)
                std::memcpy(planes_[plane].get() + r * rowBytes_ + at,
                            block_.get() + r * tileRowBytes, tileRowBytes);
        }
        return 0;
    }

    TIFF* tiff_;
    const Layout& l_;
    std::uint64_t rowBytes_ = 0;
    std::uint32_t bandRows_ = 1;
    std::uint32_t loaded_ = std::numeric_limits<std::uint32_t>::max();
    std::unique_ptr<std::uint8_t[]> block_;
    std::array<std::unique_ptr<std::uint8_t[]>, 16> planes_;
};

// Sample s of pixel x as a raw integer (bits below 8 and palette indices) or
// brought to 8 bits: 16-bit samples by their high byte, floating ones from 0..1.
class SampleReader {
  public:
    explicit SampleReader(const Layout& layout) : l_(layout) {}

    std::uint32_t raw(const std::vector<const std::uint8_t*>& rows, std::uint32_t x,
                      std::uint16_t s) const {
        const std::uint8_t* row = rows[l_.separate ? s : 0];
        const std::uint64_t index = l_.separate ? x : std::uint64_t{x} * l_.samples + s;
        switch (l_.bits) {
            case 8:
                return row[index];
            case 16: {
                std::uint16_t v;
                std::memcpy(&v, row + 2 * index, 2);
                return v;
            }
            default: {
                const std::uint64_t bit = index * l_.bits;
                const unsigned shift = 8 - l_.bits - static_cast<unsigned>(bit % 8);
                return (row[bit / 8] >> shift) & ((1u << l_.bits) - 1);
            }
        }
    }

    std::uint8_t level(const std::vector<const std::uint8_t*>& rows, std::uint32_t x,
                       std::uint16_t s) const {
        if (l_.format == SAMPLEFORMAT_IEEEFP) return fromFloat(rows, x, s);
        const std::uint32_t v = raw(rows, x, s);
        if (l_.bits == 16) return static_cast<std::uint8_t>(v >> 8);
        if (l_.bits == 8) return static_cast<std::uint8_t>(v);
        return static_cast<std::uint8_t>(v * 255 / ((1u << l_.bits) - 1));
    }

  private:
    std::uint8_t fromFloat(const std::vector<const std::uint8_t*>& rows, std::uint32_t x,
                           std::uint16_t s) const {
        const std::uint8_t* row = rows[l_.separate ? s : 0];
        const std::uint64_t index = l_.separate ? x : std::uint64_t{x} * l_.samples + s;
        double v = 0;
        if (l_.bits == 32) {
            float f;
            std::memcpy(&f, row + 4 * index, 4);
            v = f;
        } else {
            std::memcpy(&v, row + 8 * index, 8);
        }
        if (!(v > 0)) return 0;  // NaN too
        return v >= 1 ? 255 : static_cast<std::uint8_t>(std::lround(v * 255));
    }

    const Layout& l_;
};

std::uint8_t laidOver(std::uint8_t value, std::uint8_t alpha, std::uint8_t back, Alpha kind) {
    return kind == Alpha::Premultiplied ? compositePremultipliedOver(value, alpha, back)
                                        : compositeOver(value, alpha, back);
}

std::uint32_t outputDepth(const Layout& l) {
    switch (l.output) {
        case Output::IndexedGrey:
        case Output::Palette:
            return l.bits == 1 ? 1 : l.bits <= 4 ? 4 : 8;
        case Output::Grey:
            return 8;
        case Output::Color:
            return 24;
    }
    return 24;
}

ErrorNumber setColorTable(TIFF* tiff, const Layout& l, ZDib& image) {
    std::array<PALETTEENTRY, 256> table{};
    const std::uint32_t entries = 1u << std::min<std::uint16_t>(l.bits, 8);
    if (l.output == Output::Grey) {
        setGreyRamp(image);
        return 0;
    }
    if (l.output == Output::IndexedGrey) {
        for (std::uint32_t i = 0; i < entries; ++i) {
            auto level = static_cast<std::uint8_t>(i * 255 / (entries - 1));
            if (l.photometric == PHOTOMETRIC_MINISWHITE)
                level = static_cast<std::uint8_t>(255 - level);
            table[i] = {level, level, level, 0};
        }
    } else if (l.output == Output::Palette) {
        std::uint16_t* reds = nullptr;
        std::uint16_t* greens = nullptr;
        std::uint16_t* blues = nullptr;
        if (TIFFGetField(tiff, TIFFTAG_COLORMAP, &reds, &greens, &blues) == 0 || reds == nullptr ||
            greens == nullptr || blues == nullptr)
            return err::BadFile;
        for (std::uint32_t i = 0; i < entries; ++i)
            table[i] = {static_cast<std::uint8_t>(reds[i] >> 8),
                        static_cast<std::uint8_t>(greens[i] >> 8),
                        static_cast<std::uint8_t>(blues[i] >> 8), 0};
    } else {
        return 0;
    }
    image.SetPalette(std::span(table.data(), std::min<std::size_t>(entries, 256)), true);
    return 0;
}

void packIndex(std::uint8_t* target, std::uint32_t x, std::uint32_t depth, std::uint32_t index) {
    if (depth == 8) {
        target[x] = static_cast<std::uint8_t>(index);
    } else if (depth == 4) {
        target[x / 2] |= static_cast<std::uint8_t>((index & 15) << (x % 2 == 0 ? 4 : 0));
    } else {
        target[x / 8] |= static_cast<std::uint8_t>((index & 1) << (7 - x % 8));
    }
}

void convertRow(const Layout& l, const SampleReader& samples,
                const std::vector<const std::uint8_t*>& rows, const Backdrop& back,
                std::uint32_t depth, std::uint8_t* target) {
    if (depth < 8) std::memset(target, 0, rowBytesFor(l.width, depth));
    for (std::uint32_t x = 0; x < l.width; ++x) {
        const std::uint8_t alpha =
            l.alpha == Alpha::None ? 255 : samples.level(rows, x, l.alphaSample);
        switch (l.output) {
            case Output::IndexedGrey:
            case Output::Palette:
                packIndex(target, x, depth, samples.raw(rows, x, 0));
                break;
            case Output::Grey: {
                std::uint8_t v = samples.level(rows, x, 0);
                if (l.photometric == PHOTOMETRIC_MINISWHITE) v = static_cast<std::uint8_t>(255 - v);
                target[x] = laidOver(v, alpha, back.grey, l.alpha);
                break;
            }
            case Output::Color:
                target[3 * x] = laidOver(samples.level(rows, x, 2), alpha, back.blue, l.alpha);
                target[3 * x + 1] = laidOver(samples.level(rows, x, 1), alpha, back.green, l.alpha);
                target[3 * x + 2] = laidOver(samples.level(rows, x, 0), alpha, back.red, l.alpha);
                break;
        }
    }
}

ErrorNumber readSamples(TIFF* tiff, const Layout& l, const Backdrop& back, ZDib& image) {
    Bands bands(tiff, l);
    if (l.separate && l.samples > 16) return err::BadFile;
    if (ErrorNumber e = bands.Prepare()) return e;
    const std::uint32_t depth = outputDepth(l);
    image.Create(static_cast<std::int32_t>(l.width), static_cast<std::int32_t>(l.height), depth, 0);
    if (image.error != 0) return image.error;
    if (ErrorNumber e = setColorTable(tiff, l, image)) return e;
    PictureRows picture(image);
    if (picture.error() != 0) return picture.error();
    const SampleReader samples(l);
    std::vector<const std::uint8_t*> rows;
    for (std::uint32_t y = 0; y < l.height; ++y) {
        if (ErrorNumber e = bands.Row(y, rows)) return e;
        convertRow(l, samples, rows, back, depth, picture.row(y));
    }
    return 0;
}

// Forms the library converts itself come out as premultiplied ABGR words; the
// whole picture must fit one buffer no larger than an image block.
ErrorNumber readConverted(TIFF* tiff, const Layout& l, const Backdrop& back, ZDib& image,
                          ErrorNumber unsupported) {
    char message[1024];
    if (TIFFRGBAImageOK(tiff, message) == 0) return unsupported;
    const auto words = checkedMultiply(l.width, l.height);
    if (!words || *words > largestBuffer() / 4) return err::OutOfMemory;
    std::unique_ptr<std::uint32_t[]> raster(new (std::nothrow)
                                                std::uint32_t[static_cast<std::size_t>(*words)]);
    if (!raster) return err::OutOfMemory;
    if (TIFFReadRGBAImageOriented(tiff, l.width, l.height, raster.get(), ORIENTATION_TOPLEFT, 0) ==
        0)
        return err::BadFile;
    image.Create(static_cast<std::int32_t>(l.width), static_cast<std::int32_t>(l.height), 24, 0);
    if (image.error != 0) return image.error;
    PictureRows picture(image);
    if (picture.error() != 0) return picture.error();
    for (std::uint32_t y = 0; y < l.height; ++y) {
        std::uint8_t* target = picture.row(y);
        const std::uint32_t* source = raster.get() + std::uint64_t{y} * l.width;
        for (std::uint32_t x = 0; x < l.width; ++x, target += 3) {
            const std::uint32_t p = source[x];
            const auto alpha = static_cast<std::uint8_t>(TIFFGetA(p));
            target[0] = laidOver(static_cast<std::uint8_t>(TIFFGetB(p)), alpha, back.blue,
                                 Alpha::Premultiplied);
            target[1] = laidOver(static_cast<std::uint8_t>(TIFFGetG(p)), alpha, back.green,
                                 Alpha::Premultiplied);
            target[2] = laidOver(static_cast<std::uint8_t>(TIFFGetR(p)), alpha, back.red,
                                 Alpha::Premultiplied);
        }
    }
    return 0;
}

}  // namespace

ErrorNumber ReadTiffThroughLibrary(const std::string& path, int imageNumber,
                                   std::uint32_t background, ErrorNumber unsupported, ZDib& image) {
    TiffHandle tiff = openQuietly(path);
    if (!tiff) return err::BadFile;
    const auto directory = static_cast<tdir_t>(std::max(imageNumber, 1) - 1);
    if (directory != 0 && TIFFSetDirectory(tiff.get(), directory) == 0) return err::BadFile;
    Layout layout;
    if (ErrorNumber e = readLayout(tiff.get(), layout)) return e;
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_COMPRESSION, &compression);
    if (TIFFIsCODECConfigured(compression) == 0) return unsupported;
    // JPEG-compressed YCbCr comes out of the library as RGB when asked.
    if (compression == COMPRESSION_JPEG && layout.photometric == PHOTOMETRIC_YCBCR &&
        TIFFSetField(tiff.get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB) != 0)
        layout.photometric = PHOTOMETRIC_RGB;
    const Backdrop back(background);
    if (!chooseOutput(tiff.get(), layout))
        return readConverted(tiff.get(), layout, back, image, unsupported);
    return readSamples(tiff.get(), layout, back, image);
}

ErrorNumber CountTiffThroughLibrary(const std::string& path, int& count) {
    count = 0;
    TiffHandle tiff = openQuietly(path);
    if (!tiff) return err::BadFile;
    const tdir_t directories = TIFFNumberOfDirectories(tiff.get());
    if (directories == 0) return err::BadFile;
    count =
        static_cast<int>(std::min<tdir_t>(directories, std::numeric_limits<std::int16_t>::max()));
    return 0;
}

}  // namespace pm32
