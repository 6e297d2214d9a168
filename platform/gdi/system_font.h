#pragma once

#include <QFont>

namespace pm32::platform::gdi {

inline constexpr const char* kSystemFontFamily = "DejaVu Sans";
inline constexpr int kSystemFontHeight = 13;  // pixels

// The font text is drawn with when a control has none: DejaVu Sans (from
// fonts-dejavu-core), so that text measures alike on every machine. Drawn without
// antialiasing, so glyphs take only the text colour. Makes the GUI
// application on first use.
QFont SystemFont();

// The font with a new logical height (its pixel size); the description
// otherwise stays.
QFont FontOfHeight(const QFont& font, int height);

}  // namespace pm32::platform::gdi
