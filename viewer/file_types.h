#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace pm32::viewer {

// One entry of the file dialog's type list: its caption and its patterns,
// as shown ("*.BMP;*.GIF").
struct FileType {
    QString caption;
    QString pattern;
};

// The type list in its order. "All Bitmaps" also lists run-length ".RLE"
// files when reading (opening or choosing files to convert).
std::vector<FileType> FileTypes(bool reading);

// Whether the file name matches one of the type's patterns; case does not
// matter, as on the file systems the patterns were made for.
bool MatchesType(const QString& fileName, const FileType& type);

}  // namespace pm32::viewer
