#include "platform/gdi/color_table.h"

namespace pm32::platform::gdi {

QColor ColorTable::Match(COLORREF color) const {
    QRgb wanted = RgbOf(color);
    if (!Indexed()) return QColor(wanted);
    return QColor(entries_[NearestIndex(wanted)]);
}

unsigned ColorTable::NearestIndex(QRgb pixel) const {
    unsigned best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (unsigned i = 0; i < entries_.size(); ++i) {
        int dr = qRed(entries_[i]) - qRed(pixel);
        int dg = qGreen(entries_[i]) - qGreen(pixel);
        int db = qBlue(entries_[i]) - qBlue(pixel);
        int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

}  // namespace pm32::platform::gdi
