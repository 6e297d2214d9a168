#include "viewer/snapshot.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>

namespace pm32::viewer {

bool WriteSnapshot(QWidget& window, const QString& path) {
    // Layout and the control's view settle in the pending events.
    QApplication::processEvents();
    return window.grab().save(path, "PNG");
}

}  // namespace pm32::viewer
