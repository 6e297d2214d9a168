#include "control/load_picture.h"

#include <QImageReader>

#include "platform/text_compare.h"

namespace pm32::control {
namespace {

bool namesIconFile(const std::string& path) {
    auto dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    std::string_view extension = std::string_view(path).substr(dot);
    return platform::EqualsIgnoringCase(extension, ".ico") ||
           platform::EqualsIgnoringCase(extension, ".cur");
}

}  // namespace

std::shared_ptr<Picture> LoadPicture(const std::string& path) {
    if (path.empty()) return std::make_shared<Picture>();
    QImageReader reader(QString::fromStdString(path));
    QImage image = reader.read();
    if (image.isNull()) return nullptr;
    PictureType type = namesIconFile(path) ? PictureType::Icon : PictureType::Bitmap;
    return std::make_shared<Picture>(type, std::move(image));
}

}  // namespace pm32::control
