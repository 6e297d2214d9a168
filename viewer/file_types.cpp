#include "viewer/file_types.h"

#include <QRegularExpression>

namespace pm32::viewer {

std::vector<FileType> FileTypes(bool reading) {
    const QString all = "*.BMP;*.GIF;*.PCX;*.TGA;*.TIF;*.JPG;*.PNG";
    return {{"All Bitmaps", reading ? all + ";*.RLE" : all},
            {"Windows Bitmap .BMP", "*.BMP"},
            {"Compuserve .GIF", "*.GIF"},
            {"ZSoft .PCX", "*.PCX"},
            {"Targa .TGA", "*.TGA"},
            {"Tagged Info .TIF", "*.TIF"},
            {"JPEG .JPG", "*.JPG"},
            {"Windows Compressed .RLE", "*.RLE"},
            {"Internet .PNG", "*.PNG"}};
}

bool MatchesType(const QString& fileName, const FileType& type) {
    for (const QString& pattern : type.pattern.split(';', Qt::SkipEmptyParts)) {
        const QRegularExpression expression(
            QRegularExpression::wildcardToRegularExpression(pattern),
            QRegularExpression::CaseInsensitiveOption);
        if (expression.match(fileName).hasMatch()) return true;
    }
    return false;
}

}  // namespace pm32::viewer
