#include "viewer/image_files.h"

#include <QFileInfo>

namespace pm32::viewer {

int FormatOfPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "rle") return kBmpFormat;
    // ".jfif" is how web browsers save the JPEG pictures of a page.
    if (suffix == "jpeg" || suffix == "jpe" || suffix == "jfif") return kJpegFormat;
    if (suffix == "tiff") return kTiffFormat;
    return kAnyFormat;
}

const QStringList& ReadableExtensions() {
    static const QStringList extensions = {".bmp", ".dib",  ".rle",  ".gif", ".pcx",
                                           ".tga", ".tif",  ".tiff", ".jpg", ".jpeg",
                                           ".jpe", ".jfif", ".png",  ".fif"};
    return extensions;
}

bool IsReadableImage(const QString& path) {
    return ReadableExtensions().contains("." + QFileInfo(path).suffix().toLower());
}

std::uint32_t LoadImage(Picbuf& control, const QString& path, int format, bool modernFiles) {
    try {
        control.put("LoadModernFiles", Variant::Bool(modernFiles));
        control.put("FileName", Variant::String(path.toStdString()));
        control.put("ImageFormat", Short(format));
        control.put("ImageNumber", Short(0));
        control.call("Load");
        return 0;
    } catch (const automation::AutomationError& error) {
        return ErrorNumberOf(error);
    }
}

std::uint32_t StoreImage(Picbuf& control, const QString& path, int format, int jpegQuality) {
    const bool jpeg = format == kJpegFormat ||
                      (format == kAnyFormat && QFileInfo(path).suffix().toLower() == "jpg");
    return StoreImageAs(control, path, format, jpeg ? jpegQuality : 0, 0);
}

std::uint32_t StoreImageAs(Picbuf& control, const QString& path, int format, int compression,
                           int writeOption) {
    try {
        control.put("FileName", Variant::String(path.toStdString()));
        control.put("ImageFormat", Short(format));
        control.put("ImageCompression", Short(compression));
        control.put("WriteOption", Short(writeOption));
        control.call("Store");
        return 0;
    } catch (const automation::AutomationError& error) {
        return ErrorNumberOf(error);
    }
}

}  // namespace pm32::viewer
