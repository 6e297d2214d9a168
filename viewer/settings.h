#pragma once

#include <QSettings>
#include <QString>
#include <optional>

namespace pm32::viewer {

// A boolean setting is on exactly when its upper-cased text is "TRUE", "YES"
// or "ON"; anything else, "1" included, is off.
bool SettingIsOn(const QString& text);

// The viewer's preferences, kept as strings in an INI file, one section.
class ViewerSettings {
  public:
    // The file under the user's XDG configuration folder.
    ViewerSettings();
    explicit ViewerSettings(const QString& iniPath);

    static QString DefaultPath();
    QString path() const { return settings_.fileName(); }

    bool singleInstance() const { return flag("SingleInstance", "TRUE"); }
    bool autoPreview() const { return flag("AutoPreview", "FALSE"); }
    bool largeZoom() const { return flag("LargeZoom", "TRUE"); }
    bool smallZoom() const { return flag("SmallZoom", "True"); }
    bool enableUndo() const { return flag("EnableUndo", "TRUE"); }
    bool progressiveDisplay() const { return flag("ProgressiveDisplay", "FALSE"); }
    // Whether files are opened with the control's LoadModernFiles on.
    bool modernFiles() const { return flag("LoadModernFiles", "TRUE"); }
    void setSingleInstance(bool on) { setFlag("SingleInstance", on); }
    void setLargeZoom(bool on) { setFlag("LargeZoom", on); }
    void setSmallZoom(bool on) { setFlag("SmallZoom", on); }
    void setEnableUndo(bool on) { setFlag("EnableUndo", on); }
    void setAutoPreview(bool on) { setFlag("AutoPreview", on); }
    void setProgressiveDisplay(bool on) { setFlag("ProgressiveDisplay", on); }
    void setModernFiles(bool on) { setFlag("LoadModernFiles", on); }

    // Absent keys read as empty text.
    QString text(const char* key) const;
    void setText(const char* key, const QString& value);

    // The JPEG quality to store with: 5 to 100, 75 when unset or unusable.
    int jpegQuality() const;
    // The save extension, ".gif" when unset or not one the viewer writes.
    QString defaultSaveAsExtension() const;

  private:
    bool flag(const char* key, const char* fallback) const;
    void setFlag(const char* key, bool on);

    mutable QSettings settings_;
};

}  // namespace pm32::viewer
