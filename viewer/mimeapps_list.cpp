#include "viewer/mimeapps_list.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <optional>

namespace pm32::viewer {
namespace {

constexpr const char* kDefaults = "[Default Applications]";
constexpr const char* kAdded = "[Added Associations]";

std::optional<QStringList> readLines(const QString& path) {
    QFile input(path);
    if (!input.exists()) return QStringList();
    if (!input.open(QIODevice::ReadOnly)) return std::nullopt;
    QStringList lines = QString::fromUtf8(input.readAll()).split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

bool writeLines(const QString& path, const QStringList& lines) {
    QSaveFile output(path);
    if (!output.open(QIODevice::WriteOnly)) return false;
    output.write((lines.join('\n') + '\n').toUtf8());
    return output.commit();
}

QStringList entriesOf(const QString& line, const QString& prefix) {
    return line.mid(prefix.size()).split(';', Qt::SkipEmptyParts);
}

}  // namespace

bool AddAssociation(const QString& listPath, const QString& mimeType, const QString& desktopId) {
    std::optional<QStringList> lines = readLines(listPath);
    if (!lines) return false;
    const QString prefix = mimeType + "=";
    qsizetype sectionEnd = -1;
    bool inSection = false;
    for (qsizetype i = 0; i < lines->size(); ++i) {
        const QString& line = (*lines)[i];
        if (line.startsWith('[')) {
            inSection = line.trimmed() == kAdded;
            if (inSection) sectionEnd = i + 1;
            continue;
        }
        if (!inSection) continue;
        if (!line.trimmed().isEmpty()) sectionEnd = i + 1;
        if (line.startsWith(prefix)) {
            QStringList entries = entriesOf(line, prefix);
            if (entries.contains(desktopId)) return true;
            entries.prepend(desktopId);
            (*lines)[i] = prefix + entries.join(';') + ";";
            return writeLines(listPath, *lines);
        }
    }
    if (sectionEnd < 0) {
        if (!lines->isEmpty()) lines->append(QString());
        lines->append(kAdded);
        sectionEnd = lines->size();
    }
    lines->insert(sectionEnd, prefix + desktopId + ";");
    return writeLines(listPath, *lines);
}

bool RemoveApplication(const QString& listPath, const QString& mimeType, const QString& desktopId) {
    if (!QFile::exists(listPath)) return true;
    std::optional<QStringList> lines = readLines(listPath);
    if (!lines) return false;
    const QString prefix = mimeType + "=";
    QStringList kept;
    bool inListing = false;
    for (const QString& line : *lines) {
        if (line.startsWith('['))
            inListing = line.trimmed() == kDefaults || line.trimmed() == kAdded;
        if (!inListing || !line.startsWith(prefix)) {
            kept << line;
            continue;
        }
        QStringList entries = entriesOf(line, prefix);
        entries.removeAll(desktopId);
        if (!entries.isEmpty()) kept << prefix + entries.join(';') + ";";
    }
    return writeLines(listPath, kept);
}

}  // namespace pm32::viewer
