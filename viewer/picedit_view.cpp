#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QRubberBand>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QWheelEvent>
#include <algorithm>

#include "platform/window/widget_window_host.h"
#include "viewer/picedit.h"
#include "viewer/settings.h"

namespace pm32::viewer {
namespace {

// A press that moves less than this is a click, not a drag.
constexpr int kDragDistance = 4;
// One wheel notch pans this many screen pixels.
constexpr int kWheelStep = 48;

}  // namespace

void PicEdit::onControlEvent(std::string_view name, std::span<Variant> args) {
    if (args.size() != 4) return;
    const int button = args[0].toI4();
    const int shift = args[1].toI4();
    const QPoint at(args[2].toI4(), args[3].toI4());
    if (name == "MouseDown" && button == platform::kLeftButton)
        mouseDown(shift, at);
    else if (name == "MouseMove" && (button & platform::kLeftButton) != 0)
        mouseMove(at);
    else if (name == "MouseUp" && button == platform::kLeftButton)
        mouseUp(shift, at);
}

void PicEdit::mouseDown(int, QPoint at) {
    if (tool_ == Tool::Pointer || !shown_->hasImage()) return;
    pressedAt_ = at;
    band_->hide();
}

void PicEdit::mouseMove(QPoint at) {
    if (!pressedAt_) return;
    if ((at - *pressedAt_).manhattanLength() < kDragDistance && !band_->isVisible()) return;
    band_->setGeometry(QRect(*pressedAt_, at).normalized());
    band_->show();
}

void PicEdit::mouseUp(int shift, QPoint at) {
    if (!pressedAt_) return;
    const QPoint from = *pressedAt_;
    pressedAt_.reset();
    const QRect dragged = QRect(from, at).normalized();
    const bool drag =
        band_->isVisible() && dragged.width() >= kDragDistance && dragged.height() >= kDragDistance;
    if (tool_ == Tool::Zoom) {
        band_->hide();
        if (drag)
            zoomToArea(dragged);
        else
            zoomAbout(at, (shift & platform::kAltKey) == 0);
        return;
    }
    if (!drag) {
        band_->hide();
        return;
    }
    // The crop fields take the dragged area in image pixels; the band stays
    // to show it until the crop is applied.
    const QPoint topLeft = imagePointAt(dragged.topLeft());
    const QPoint bottomRight = imagePointAt(dragged.bottomRight() + QPoint(1, 1));
    const int values[] = {topLeft.x(), topLeft.y(), bottomRight.x() - topLeft.x(),
                          bottomRight.y() - topLeft.y()};
    for (std::size_t i = 0; i < cropFields_.size(); ++i)
        cropFields_[i]->setText(QString::number(values[i]));
}

QPoint PicEdit::imagePointAt(QPoint client) {
    const QSize image = imageSize();
    // Beyond the image the control answers -1; the point is then the edge.
    auto toImage = [this](const char* method, int value, int limit) {
        const int result = shown_->call(method, {Short(std::max(0, value))}).toI4();
        return result < 0 ? limit : std::clamp(result, 0, limit);
    };
    return {toImage("ScreenToImageX", client.x(), image.width()),
            toImage("ScreenToImageY", client.y(), image.height())};
}

void PicEdit::setZoom(ZoomRatio ratio, QPoint client, QPoint image) {
    shown_->call("Scale", {Short(ratio.image), Short(ratio.screen)});
    const QSize clientSize = host_->ClientSize();
    const QSize size = imageSize();
    if (!clientSize.isEmpty() && !size.isEmpty())
        moveView({std::clamp(image.x(), 0, size.width() - 1),
                  std::clamp(image.y(), 0, size.height() - 1)},
                 {std::clamp(client.x(), 0, clientSize.width() - 1),
                  std::clamp(client.y(), 0, clientSize.height() - 1)});
    updateStatus();
}

void PicEdit::zoomAbout(QPoint client, bool in) {
    if (!shown_->hasImage()) return;
    const QPoint image = imagePointAt(client);
    const ZoomRatio current = zoom();
    setZoom(in ? StepIn(current) : StepOut(current), client, image);
}

void PicEdit::zoomToArea(QRect clientRect) {
    const QPoint topLeft = imagePointAt(clientRect.topLeft());
    const QPoint bottomRight = imagePointAt(clientRect.bottomRight() + QPoint(1, 1));
    const QSize area(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y());
    if (area.isEmpty()) return;
    setZoom(AreaRatio(area, host_->size()), {0, 0}, topLeft);
}

void PicEdit::zoomIn() {
    const QSize client = host_->ClientSize();
    zoomAbout({client.width() / 2, client.height() / 2}, true);
}

void PicEdit::zoomOut() {
    const QSize client = host_->ClientSize();
    zoomAbout({client.width() / 2, client.height() / 2}, false);
}

void PicEdit::zoomActualSize() {
    if (!shown_->hasImage()) return;
    const QSize client = host_->ClientSize();
    const QPoint centre(client.width() / 2, client.height() / 2);
    setZoom({}, centre, imagePointAt(centre));
}

void PicEdit::zoomToFit() {
    if (!shown_->hasImage()) return;
    setZoom(FitRatio(imageSize(), host_->size()), {0, 0}, {0, 0});
}

void PicEdit::applyInitialZoom() {
    const QSize image = imageSize();
    if (image.isEmpty()) return;
    // What the window needs besides the image: menus, tool bar, status line
    // and frame.
    const QSize frame = frameGeometry().size() - geometry().size();
    const int chrome = menuBar()->sizeHint().height() + statusBar()->sizeHint().height() +
                       findChild<QToolBar*>("Picture1")->sizeHint().height() +
                       (cropStrip_->isVisible() ? cropStrip_->sizeHint().height() : 0);
    const QScreen* where = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    const QSize available = where->availableGeometry().size() - frame - QSize(0, chrome);
    const ZoomRatio ratio =
        InitialRatio(image, available, settings_.smallZoom(), settings_.largeZoom());
    if (!isMaximized() && !isFullScreen()) {
        const QSize shownSize(
            static_cast<int>(static_cast<long long>(image.width()) * ratio.screen / ratio.image),
            static_cast<int>(static_cast<long long>(image.height()) * ratio.screen / ratio.image));
        const QSize hostSize = shownSize.boundedTo(available).expandedTo({320, 200});
        resize(size() - host_->size() + hostSize);
    }
    setZoom(ratio, {0, 0}, {0, 0});
}

void PicEdit::panBy(int dx, int dy) {
    if (!shown_->hasImage()) return;
    const ZoomRatio ratio = zoom();
    const QPoint origin = imagePointAt({0, 0});
    const QSize size = imageSize();
    const int x = origin.x() + dx * ratio.image / ratio.screen;
    const int y = origin.y() + dy * ratio.image / ratio.screen;
    moveView({std::clamp(x, 0, size.width() - 1), std::clamp(y, 0, size.height() - 1)}, {0, 0});
}

void PicEdit::moveView(QPoint image, QPoint client) {
    // A crop band drawn over the old view would no longer match the image.
    band_->hide();
    try {
        shown_->call("RePos",
                     {Short(image.x()), Short(image.y()), Short(client.x()), Short(client.y())});
    } catch (const automation::AutomationError& error) {
        // The view stays where it was; nothing else depends on the move.
        statusBar()->showMessage(
            tr("The view cannot move there (error %1).").arg(ErrorNumberOf(error)), 4000);
    }
}

bool PicEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == host_->clientArea() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int notches = wheel->angleDelta().y() / 120;
        if (wheel->modifiers() & Qt::ControlModifier) {
            if (notches != 0) zoomAbout(wheel->position().toPoint(), notches > 0);
        } else if (wheel->modifiers() & Qt::ShiftModifier) {
            panBy(-notches * kWheelStep, 0);
        } else {
            panBy(-wheel->angleDelta().x() / 120 * kWheelStep, -notches * kWheelStep);
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace pm32::viewer
