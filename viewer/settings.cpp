#include "viewer/settings.h"

#include <QStandardPaths>

namespace pm32::viewer {
namespace {

constexpr const char* kSection = "Preferences/";

QString keyOf(const char* key) { return QString(kSection) + key; }

}  // namespace

bool SettingIsOn(const QString& text) {
    const QString upper = text.trimmed().toUpper();
    return upper == "TRUE" || upper == "YES" || upper == "ON";
}

ViewerSettings::ViewerSettings() : ViewerSettings(DefaultPath()) {}

ViewerSettings::ViewerSettings(const QString& iniPath) : settings_(iniPath, QSettings::IniFormat) {}

QString ViewerSettings::DefaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/pixmill32/vstl32.ini";
}

QString ViewerSettings::text(const char* key) const {
    const QVariant value = settings_.value(keyOf(key));
    // A list or other structure written by hand is not a value we wrote.
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

void ViewerSettings::setText(const char* key, const QString& value) {
    settings_.setValue(keyOf(key), value);
    settings_.sync();
}

bool ViewerSettings::flag(const char* key, const char* fallback) const {
    if (!settings_.contains(keyOf(key))) return SettingIsOn(fallback);
    return SettingIsOn(text(key));
}

void ViewerSettings::setFlag(const char* key, bool on) { setText(key, on ? "True" : "False"); }

int ViewerSettings::jpegQuality() const {
    bool ok = false;
    const int quality = text("JPEGLossValue").trimmed().toInt(&ok);
    return ok && quality >= 5 && quality <= 100 ? quality : 75;
}

QString ViewerSettings::defaultSaveAsExtension() const {
    const QString extension = text("DefaultSaveAsExtension").trimmed().toLower();
    for (const char* known : {".bmp", ".gif", ".pcx", ".tga", ".tif", ".jpg", ".png"})
        if (extension == known) return extension;
    return ".gif";
}

}  // namespace pm32::viewer
