#include "control/picture_text.h"

#include <QBuffer>
#include <QByteArray>
#include <charconv>
#include <optional>

namespace pm32::control {
namespace {

constexpr char kSeparator = ';';

std::optional<int> number(std::string_view text) {
    int value = 0;
    const char* last = text.data() + text.size();
    auto [end, error] = std::from_chars(text.data(), last, value);
    if (text.empty() || end != last || error != std::errc()) return std::nullopt;
    return value;
}

// The next field of text, which then holds what follows its separator.
std::string_view nextField(std::string_view& text) {
    std::size_t end = text.find(kSeparator);
    std::string_view field = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    return field;
}

std::optional<QImage> imageOf(std::string_view base64) {
    if (base64.empty()) return QImage();
    auto decoded = QByteArray::fromBase64Encoding(
        QByteArray(base64.data(), static_cast<qsizetype>(base64.size())),
        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return std::nullopt;
    QImage image;
    if (!image.loadFromData(*decoded, "PNG")) return std::nullopt;
    return image;
}

}  // namespace

std::string PictureText(const Picture& picture) {
    if (picture.Type() == PictureType::None) return {};
    QByteArray png;
    if (!picture.Image().isNull()) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.Image().save(&buffer, "PNG");
    }
    return std::to_string(static_cast<int>(picture.Type())) + kSeparator +
           std::to_string(picture.HotSpot().x()) + kSeparator +
           std::to_string(picture.HotSpot().y()) + kSeparator + png.toBase64().toStdString();
}

std::shared_ptr<Picture> ParsePictureText(std::string_view text) {
    if (text.empty()) return std::make_shared<Picture>();
    std::optional<int> type = number(nextField(text));
    std::optional<int> x = number(nextField(text));
    std::optional<int> y = number(nextField(text));
    if (!type || !x || !y || *type < static_cast<int>(PictureType::Bitmap) ||
        *type > static_cast<int>(PictureType::EnhancedMetafile))
        return nullptr;
    std::optional<QImage> image = imageOf(text);
    if (!image) return nullptr;
    bool onImage = image->isNull()
                       ? *x == 0 && *y == 0
                       : *x >= 0 && *y >= 0 && *x < image->width() && *y < image->height();
    if (!onImage) return nullptr;
    return std::make_shared<Picture>(static_cast<PictureType>(*type), std::move(*image),
                                     QPoint(*x, *y));
}

}  // namespace pm32::control
