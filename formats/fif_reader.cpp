#include <array>
#include <fstream>
#include <memory>
#include <new>
#include <vector>

#include "engine/dib_layout.h"
#include "engine/progress.h"
#include "formats/deco_library.h"
#include "formats/fif.h"

namespace pm32 {
namespace {

constexpr int kFifLibraryMajor = 6;

// Frees the decoder through the library's ordinal 2.
class DecoderHandle {
  public:
    explicit DecoderHandle(const DecoFunctions& functions) : functions_(functions) {}
    ~DecoderHandle() {
        if (handle_ != nullptr) functions_.free(handle_);
    }
    DecoderHandle(const DecoderHandle&) = delete;
    DecoderHandle& operator=(const DecoderHandle&) = delete;

    bool create() { return functions_.create(&handle_) == 0 && handle_ != nullptr; }
    void* get() const { return handle_; }

  private:
    const DecoFunctions& functions_;
    void* handle_ = nullptr;
};

struct FileBytes {
    std::unique_ptr<std::uint8_t[]> data;
    std::uint32_t size = 0;
};

ErrorNumber readWholeFile(const std::string& path, FileBytes& bytes) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return err::FileMissing;
    std::streamoff size = file.tellg();
    if (size <= 0 || size > std::streamoff{0xFFFFFFFF}) return err::BadFile;
    bytes.data.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(size)]);
    if (!bytes.data) return err::OutOfMemory;
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data.get()), size)) return err::BadFile;
    bytes.size = static_cast<std::uint32_t>(size);
    return 0;
}

// The decoder tells how many rows it finished; each is one tick of the pump.
std::int32_t reportRows(std::int32_t rows) {
    for (std::int32_t i = 0; i < rows; ++i)
        if (!FileProgressPump().Tick()) return 1;
    return 0;
}

struct OutputSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

ErrorNumber scaledSize(const DecoFunctions& f, void* decoder, const ZLoadParams& params,
                       OutputSize& size) {
    std::int32_t storedWidth = 0, storedHeight = 0, extra = 0;
    if (f.storedSize(decoder, &storedWidth, &storedHeight, &extra) != 0) return err::FifReadFailed;
    bool known = storedWidth > 0 && storedHeight > 0;
    if (!known && params.scale != 3) return err::ResolutionUnknown;
    switch (params.scale) {
        case 0:
            size = {storedWidth, storedHeight};
            break;
        case 1:
            size = {storedWidth / 4, storedHeight / 4};
            break;
        case 2:
            size = {storedWidth * 4, storedHeight * 4};
            break;
        case 3:
            size = {params.width, params.height};
            break;
        default:
            return err::BadLoadParameter;
    }
    // A quarter of a picture under four pixels, or a negative size, is no size either.
    if (size.width <= 0 || size.height <= 0) return err::BadLoadParameter;
    if (exceedsImageLimit(size.width, size.height)) return err::BadArea;
    return f.setOutputSize(decoder, size.width, size.height) == 0 ? 0 : err::BadLoadParameter;
}

// The part of the picture to decode and the size of the image made for it.
struct Crop {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
};

ErrorNumber cropOrFastest(const DecoFunctions& f, void* decoder, const ZLoadParams& params,
                          OutputSize& size, Crop& crop) {
    if (params.fastest != 0) {
        if (f.fastestSize(decoder, &size.width, &size.height) != 0 ||
            f.setOutputSize(decoder, size.width, size.height) != 0)
            return err::FifReadFailed;
        crop = {0, 0, 0, 0};
        return 0;
    }
    // A negative corner would make the image larger than the picture.
    if (params.cropX < 0 || params.cropY < 0 || params.cropX > size.width ||
        params.cropY > size.height)
        return err::BadLoadParameter;
    auto side = [](std::int32_t whole, std::int32_t start, std::int32_t wanted) {
        if (wanted > 0) return start + wanted > whole ? whole - start : wanted;
        return whole - start > 0 ? whole - start : whole;
    };
    crop = {params.cropX, params.cropY, side(size.width, params.cropX, params.cropWidth),
            side(size.height, params.cropY, params.cropHeight)};
    size = {crop.width, crop.height};
    return 0;
}

ErrorNumber chooseOutput(const DecoFunctions& f, void* decoder, const ZLoadParams& params,
                         std::uint32_t& depth) {
    if (params.options == 0) {
        depth = 24;
        return f.setOutputFormat(decoder, DECO32_KIND_TRUE_COLOR, 2, 1, 4, 1) == 0
                   ? 0
                   : err::FifReadFailed;
    }
    if (params.options < 0 || params.options > 4) return err::BadLoadParameter;
    depth = params.options <= 2 ? 8 : 4;
    bool standardTable = params.options % 2 == 0;
    bool ok = f.setOutputFormat(decoder, DECO32_KIND_INDEXED, 4, 4, 4, 1) == 0 &&
              f.setDither(decoder, 1, 2, 3, 5) == 0 &&
              (!standardTable || f.fixedPalette(decoder, 0) == 0) &&
              f.setPalette(decoder, params.palette, 0, 1 << depth) == 0;
    return ok ? 0 : err::FifReadFailed;
}

// The FTT file the FIF names, by name and extension only, from the current folder.
ErrorNumber giveTable(const DecoFunctions& f, void* decoder) {
    std::array<char, DECO32_NAME_BUFFER> name{};
    if (f.tableName(decoder, name.data()) != 0) return err::FifReadFailed;
    name.back() = '\0';
    std::string path = name.data();
    if (path.empty()) return 0;
    auto separator = path.find_last_of("/\\:");
    if (separator != std::string::npos) path = path.substr(separator + 1);
    FileBytes bytes;
    if (path.empty() || readWholeFile(path, bytes) != 0) return err::FifTableRead;
    return f.setTable(decoder, bytes.data.get(), bytes.size) == 0 ? 0 : err::FifTableRead;
}

ErrorNumber takeColorTable(const DecoFunctions& f, void* decoder, ZDib& image) {
    std::array<std::uint8_t, 256 * 4> entries{};
    if (f.colorTable(decoder, entries.data()) != 0) return err::FifReadFailed;
    std::array<PALETTEENTRY, 256> table{};
    std::size_t count = std::size_t{1} << image.depth;
    for (std::size_t i = 0; i < count; ++i)
        table[i] = {entries[4 * i], entries[4 * i + 1], entries[4 * i + 2], 0};
    image.SetPalette(std::span<const PALETTEENTRY>(table.data(), count), true);
    return 0;
}

ErrorNumber decode(ZDib& image, const std::string& path, const ZLoadParams& params) {
    DecoLibrary library;
    if (library.error() != 0) return library.error();
    const DecoFunctions& f = library.functions();

    std::int32_t major = 0, minor = 0;
    if (f.version(&major, &minor) != 0 || major < kFifLibraryMajor) return err::FifDecoderVersion;

    FileBytes bytes;
    if (ErrorNumber e = readWholeFile(path, bytes)) return e;

    std::uint8_t isFif = 0;
    if (f.checkFile(bytes.data.get(), bytes.size, &isFif) != 0) return err::FifVersionTooNew;
    if (isFif == 0) return err::FormatNotSupported;

    DecoderHandle decoder(f);
    if (!decoder.create() || f.open(decoder.get(), bytes.data.get(), bytes.size) != 0)
        return err::FifReadFailed;

    std::int16_t interval = FileProgressPump().Interval();
    if (interval != 0 && f.setProgress(decoder.get(), &reportRows, interval == 1 ? 2 : 1) != 0)
        return err::FifReadFailed;

    OutputSize size;
    if (ErrorNumber e = scaledSize(f, decoder.get(), params, size)) return e;
    Crop crop;
    if (ErrorNumber e = cropOrFastest(f, decoder.get(), params, size, crop)) return e;

    std::uint32_t depth = 0;
    if (ErrorNumber e = chooseOutput(f, decoder.get(), params, depth)) return e;
    image.Create(size.width, size.height, depth, 0);
    if (image.error != 0) return image.error;

    if (ErrorNumber e = giveTable(f, decoder.get())) return e;

    auto rows = image.BuildRowTable();
    if (rows.empty()) return err::DibCannotLock;
    std::int16_t decoded = f.decode(decoder.get(), rows[0], crop.x, crop.y, crop.width, crop.height,
                                    static_cast<std::int32_t>(image.rowBytes));
    image.CommitRowTable();
    if (decoded == DECO32_STOPPED) {
        image.Reset();
        return 0;
    }
    if (decoded != 0) return err::FifReadFailed;

    if (params.options != 0) return takeColorTable(f, decoder.get(), image);
    return 0;
}

}  // namespace

void LoadFIF(ZDib& image, const std::string& path, const ZLoadParams& params) {
    FileProgressPump().Begin();
    image.Reset();
    ErrorNumber result = decode(image, path, params);
    if (result != 0) {
        image.Reset();
        image.error = result;
    }
}

}  // namespace pm32
