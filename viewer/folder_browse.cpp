#include "viewer/folder_browse.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "viewer/image_files.h"

namespace pm32::viewer {
namespace {

// Name order as file managers show it: case does not matter, and a run of
// digits compares by its value, so "img2" comes before "img10".
bool comesBefore(const QString& left, const QString& right) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < left.size() && j < right.size()) {
        if (left[i].isDigit() && right[j].isDigit()) {
            qsizetype endLeft = i;
            qsizetype endRight = j;
            while (endLeft < left.size() && left[endLeft].isDigit()) ++endLeft;
            while (endRight < right.size() && right[endRight].isDigit()) ++endRight;
            // Leading zeros do not count; a longer run of digits is larger.
            QStringView a = QStringView(left).mid(i, endLeft - i);
            QStringView b = QStringView(right).mid(j, endRight - j);
            while (a.size() > 1 && a.front() == '0') a = a.mid(1);
            while (b.size() > 1 && b.front() == '0') b = b.mid(1);
            if (a.size() != b.size()) return a.size() < b.size();
            if (const int order = a.compare(b); order != 0) return order < 0;
            i = endLeft;
            j = endRight;
            continue;
        }
        const QChar a = left[i].toCaseFolded();
        const QChar b = right[j].toCaseFolded();
        if (a != b) return a < b;
        ++i;
        ++j;
    }
    if (left.size() - i != right.size() - j) return left.size() - i < right.size() - j;
    return left < right;
}

}  // namespace

QString NeighbourImage(const QString& path, int step) {
    const QFileInfo current(path);
    const QDir folder = current.absoluteDir();
    QStringList names;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Readable))
        if (IsReadableImage(name) || name == current.fileName()) names << name;
    std::sort(names.begin(), names.end(), comesBefore);
    const qsizetype at = names.indexOf(current.fileName());
    if (at < 0) return {};
    const qsizetype next = at + step;
    if (next < 0 || next >= names.size()) return {};
    return folder.filePath(names[next]);
}

}  // namespace pm32::viewer
