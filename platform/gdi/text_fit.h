#pragma once

#include <QFont>
#include <QSize>
#include <QString>

#include "platform/gdi/text_layout.h"

namespace pm32::platform::gdi {

// The font, grown or shrunk from the given one a logical height at a time,
// at which the text fills the box: estimated from the average character
// width and the line count, grown while it fits (up to 16384), then shrunk
// until it fits (down to 1). Lines break only at line feeds. A text without
// lines keeps the font as it is.
QFont FitFontToBox(const QString& text, const QFont& font, QSize box, const MeasureRules& rules);

}  // namespace pm32::platform::gdi
