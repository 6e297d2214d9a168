#include "viewer/associations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <optional>

#include "viewer/mimeapps_list.h"

// The data files live in the viewer's static library, whose resource
// registration nothing else would pull in.
static void registerViewerData() { Q_INIT_RESOURCE(viewer_data); }

namespace pm32::viewer {
namespace {

constexpr int kToolTimeoutMs = 20000;

// Runs a tool; its standard output, or nothing when it failed.
std::optional<QString> run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(kToolTimeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool writeFile(const QString& path, const QByteArray& contents) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(contents);
    return file.commit();
}

QByteArray resource(const QString& name) {
    registerViewerData();
    QFile file(":/vstl32/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString folderFromEnvironment(const char* variable, const char* fallbackUnderHome) {
    const QString folder = qEnvironmentVariable(variable);
    return folder.isEmpty() ? QDir::homePath() + fallbackUnderHome : folder;
}

}  // namespace

const std::array<AssociatedType, 7>& AssociatedTypes() {
    static const std::array<AssociatedType, 7> types = {{
        {"JPG", ".jpg", "image/jpeg"},
        {"RLE", ".rle", "image/x-bmp-rle"},
        {"TGA", ".tga", "image/x-tga"},
        {"TIF", ".tif", "image/tiff"},
        {"PCX", ".pcx", "image/vnd.zbrush.pcx"},
        {"GIF", ".gif", "image/gif"},
        {"BMP", ".bmp", "image/bmp"},
    }};
    return types;
}

QString Associations::DataHome() { return folderFromEnvironment("XDG_DATA_HOME", "/.local/share"); }

QString Associations::ConfigHome() { return folderFromEnvironment("XDG_CONFIG_HOME", "/.config"); }

bool Associations::installed() const {
    return QFile::exists(DataHome() + "/applications/" + DesktopId()) &&
           QFile::exists(DataHome() + "/mime/packages/vstl32-mime.xml");
}

bool Associations::install(const QString& executable) const {
    QByteArray entry = resource("vstl32.desktop.in");
    // The desktop entry quotes a path with spaces, as the desktop entry format asks.
    QString command = executable;
    if (command.contains(' ')) command = '"' + command + '"';
    entry.replace("@EXECUTABLE@", command.toUtf8());
    const QString mimeFolder = DataHome() + "/mime";
    return writeFile(DataHome() + "/applications/" + DesktopId(), entry) &&
           writeFile(mimeFolder + "/packages/vstl32-mime.xml", resource("vstl32-mime.xml")) &&
           run("update-mime-database", {mimeFolder}).has_value();
}

bool Associations::isDefault(const QString& mimeType) const {
    const std::optional<QString> answer = run("xdg-mime", {"query", "default", mimeType});
    return answer && answer->trimmed() == DesktopId();
}

bool Associations::makeDefault(const QString& mimeType) const {
    return run("xdg-mime", {"default", DesktopId(), mimeType}).has_value() &&
           AddAssociation(ConfigHome() + "/mimeapps.list", mimeType, DesktopId());
}

bool Associations::removeDefault(const QString& mimeType) const {
    return RemoveApplication(ConfigHome() + "/mimeapps.list", mimeType, DesktopId());
}

}  // namespace pm32::viewer
