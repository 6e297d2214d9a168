#include "platform/gdi/system_font.h"

#include "platform/window/gui_application.h"

namespace pm32::platform::gdi {
QFont SystemFont() {
    EnsureGuiApplication();
    // By family rather than as an application font: Qt would drop application
    // fonts while the process exits, after its font cache has gone.
    QFont font(QString::fromLatin1(kSystemFontFamily));
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
