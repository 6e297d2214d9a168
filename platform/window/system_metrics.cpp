#include "platform/window/system_metrics.h"

#include <QApplication>
#include <QStyle>

namespace pm32::platform {
namespace {

constexpr int kClassicScrollBarExtent = 16;

int scrollBarExtent() {
    static const int extent = [] {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
            return kClassicScrollBarExtent;
        return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    }();
    return extent;
}

}  // namespace

int HorizontalScrollBarHeight() { return scrollBarExtent(); }

int VerticalScrollBarWidth() { return scrollBarExtent(); }

}  // namespace pm32::platform
