#include "platform/window/window_frame.h"

#include <QColor>

namespace pm32::platform {
namespace {

// The classic 3D colours: shadow and dark shadow above and left, highlight
// and light below and right, so the client area looks pressed in.
const QColor kShadow(128, 128, 128);
const QColor kDarkShadow(0, 0, 0);
const QColor kLight(227, 227, 227);
const QColor kHighlight(255, 255, 255);
const QColor kLine(0, 0, 0);

// One pixel wide ring inside rect: top and left in one colour, bottom and
// right in the other.
void ring(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight) {
    if (rect.width() <= 0 || rect.height() <= 0) return;
    painter.fillRect(rect.left(), rect.top(), rect.width(), 1, topLeft);
    painter.fillRect(rect.left(), rect.top(), 1, rect.height(), topLeft);
    painter.fillRect(rect.left(), rect.bottom(), rect.width(), 1, bottomRight);
    painter.fillRect(rect.right(), rect.top(), 1, rect.height(), bottomRight);
}

}  // namespace

void PaintWindowFrame(QPainter& painter, const QRect& outer, WindowFrame frame) {
    QRect rect = outer;
    if (frame.singleLine) {
        ring(painter, rect, kLine, kLine);
        rect.adjust(1, 1, -1, -1);
    }
    if (frame.sunkenEdge) {
        ring(painter, rect, kShadow, kHighlight);
        ring(painter, rect.adjusted(1, 1, -1, -1), kDarkShadow, kLight);
    }
}

}  // namespace pm32::platform
