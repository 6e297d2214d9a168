#include "viewer/page_preview.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace pm32::viewer {
namespace {

constexpr int kBorder = 6;

}  // namespace

PagePreview::PagePreview(QWidget* parent) : QWidget(parent) {
    setObjectName("pagePreview");
    setMinimumSize(170, 220);
    setToolTip("Use mouse to position image");
    setCursor(Qt::SizeAllCursor);
}

void PagePreview::setPage(QSize paper, QRect printable) {
    paper_ = paper.isEmpty() ? QSize(1, 1) : paper;
    printable_ = printable;
    update();
}

void PagePreview::setImageRect(QRect imageRect) {
    image_ = imageRect;
    update();
}

double PagePreview::scale() const {
    return std::min(static_cast<double>(width() - 2 * kBorder) / paper_.width(),
                    static_cast<double>(height() - 2 * kBorder) / paper_.height());
}

QPoint PagePreview::pageOrigin() const {
    const double s = scale();
    return {(width() - static_cast<int>(paper_.width() * s)) / 2,
            (height() - static_cast<int>(paper_.height() * s)) / 2};
}

QRect PagePreview::toWidget(QRect device) const {
    const double s = scale();
    const QPoint origin = pageOrigin();
    return {origin.x() + static_cast<int>(std::floor(device.x() * s)),
            origin.y() + static_cast<int>(std::floor(device.y() * s)),
            std::max(1, static_cast<int>(std::lround(device.width() * s))),
            std::max(1, static_cast<int>(std::lround(device.height() * s)))};
}

QPoint PagePreview::toDevice(QPoint widgetDistance) const {
    const double s = scale();
    if (s <= 0) return {};
    return {static_cast<int>(std::lround(widgetDistance.x() / s)),
            static_cast<int>(std::lround(widgetDistance.y() / s))};
}

void PagePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.fillRect(toWidget(QRect(QPoint(0, 0), paper_)), Qt::white);
    painter.setPen(QPen(Qt::gray, 1, Qt::DotLine));
    painter.drawRect(toWidget(printable_));
    painter.setPen(Qt::black);
    painter.fillRect(toWidget(image_), QColor(90, 120, 170));
    painter.drawRect(toWidget(image_));
}

void PagePreview::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !toWidget(image_).contains(event->pos())) return;
    pressedAt_ = event->pos();
    startOffset_ = image_.topLeft() - printable_.topLeft();
}

void PagePreview::mouseMoveEvent(QMouseEvent* event) {
    if (!pressedAt_) return;
    emit dragged(startOffset_ + toDevice(event->pos() - *pressedAt_));
}

void PagePreview::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressedAt_.reset();
}

}  // namespace pm32::viewer
