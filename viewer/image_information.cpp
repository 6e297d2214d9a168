#include "viewer/image_information.h"

#include <QFileInfo>

namespace pm32::viewer {

QString ImageTypeText(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
            return "Black and White (1-bit)";
        case 4:
            return "16-Color (4-bit)";
        case 8:
            return "Palettized 256-Color (8-bit)";
        case 24:
            return "RGB True Color (24-bit)";
        default:
            return {};
    }
}

QString FileSizeText(std::int64_t bytes) {
    QString digits = QString::number(bytes < 0 ? 0 : bytes);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, ',');
    return digits + " Bytes";
}

QString PixelsText(int pixels) { return QString::number(pixels) + " Pixels"; }

QString FormatText(int formatCode) {
    switch (formatCode) {
        case 1:
            return "TIFF";
        case 2:
            return "Targa";
        case 3:
            return "Windows BMP";
        case 4:
            return "Compuserve GIF";
        case 5:
            return "Windows DIB";
        case 6:
            return "PCX";
        case 7:
            return "JPEG";
        case 9:
            return "FIF";
        case 10:
            return "PNG";
        default:
            return {};
    }
}

QString ModifiedText(bool modified) { return modified ? "Yes" : "No"; }

int FormatCodeOfName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const struct {
        const char* suffix;
        int code;
    } known[] = {{"bmp", 3},  {"rle", 3},  {"dib", 5}, {"pcx", 6}, {"tga", 2},
                 {"jpg", 7},  {"jpeg", 7}, {"jpe", 7}, {"gif", 4}, {"tif", 1},
                 {"tiff", 1}, {"fif", 9},  {"png", 10}};
    for (const auto& entry : known)
        if (suffix == entry.suffix) return entry.code;
    return 0;
}

}  // namespace pm32::viewer
