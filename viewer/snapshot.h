#pragma once

#include <QString>

class QWidget;

namespace pm32::viewer {

// Paints the window as it shows now into a PNG file; false when the file
// cannot be written.
bool WriteSnapshot(QWidget& window, const QString& path);

}  // namespace pm32::viewer
