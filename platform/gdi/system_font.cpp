#include "platform/gdi/system_font.h"

#include "platform/window/gui_application.h"

namespace pm32::platform::gdi {
namespace {

constexpr const char* kFamily = "DejaVu Sans";
constexpr int kSystemFontHeight = 13;

}  // namespace

QFont SystemFont() {
    EnsureGuiApplication();
    // By family rather than as an application font: Qt would drop application
    // fonts while the process exits, after its font cache has gone.
    QFont font(QString::fromLatin1(kFamily));
    font.setStyleHint(QFont::SansSerif, QFont::NoAntialias);
    font.setPixelSize(kSystemFontHeight);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QFont FontOfHeight(const QFont& font, int height) {
    QFont sized(font);
    sized.setPixelSize(height);
    return sized;
}

}  // namespace pm32::platform::gdi
