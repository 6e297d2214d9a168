#include "viewer/save_options.h"

#include <algorithm>

namespace pm32::viewer {
namespace {

constexpr int kJpegFormat = 7;
constexpr int kPngFormat = 10;
constexpr int kLowestQuality = 5;
constexpr int kBestQuality = 100;
constexpr int kProgressive = 1;

}  // namespace

const std::array<SaveFormat, 7>& SaveFormats() {
    static constexpr std::array<SaveFormat, 7> formats = {{{".bmp", 3},
                                                           {".gif", 4},
                                                           {".pcx", 6},
                                                           {".tga", 2},
                                                           {".tif", 1},
                                                           {".jpg", kJpegFormat},
                                                           {".png", kPngFormat}}};
    return formats;
}

std::optional<std::size_t> SaveFormatIndex(const QString& extension) {
    QString wanted = extension.trimmed().toLower();
    if (!wanted.startsWith('.')) wanted.prepend('.');
    for (std::size_t i = 0; i < SaveFormats().size(); ++i)
        if (wanted == SaveFormats()[i].extension) return i;
    return std::nullopt;
}

int JpegQualityOfText(const QString& typed) {
    bool ok = false;
    const long long value = typed.trimmed().toLongLong(&ok);
    if (!ok) return kDefaultJpegQuality;
    return static_cast<int>(std::clamp<long long>(value, kLowestQuality, kBestQuality));
}

int FormatCodeOf(const SaveOptions& options) {
    const std::optional<std::size_t> index = SaveFormatIndex(options.extension);
    return index ? SaveFormats()[*index].formatCode : 0;
}

int ImageCompressionOf(const SaveOptions& options) {
    if (FormatCodeOf(options) != kJpegFormat) return 0;
    return std::clamp(options.jpegQuality, kLowestQuality, kBestQuality);
}

int WriteOptionOf(const SaveOptions& options) {
    const int format = FormatCodeOf(options);
    return options.progressive && (format == kJpegFormat || format == kPngFormat) ? kProgressive
                                                                                  : 0;
}

}  // namespace pm32::viewer
