#include "platform/window/widget_window_host.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPixmap>
#include <QScrollBar>
#include <algorithm>

#include "platform/window/system_metrics.h"
#include "platform/window/virtual_keys.h"

namespace pm32::platform {

// The client area: paints through the host's client and hands mouse and key
// input to it.
class ClientArea : public QWidget {
  public:
    explicit ClientArea(WidgetWindowHost* host) : QWidget(host), host_(host) {
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        host_->paintClient(painter, event->region());
    }
    void enterEvent(QEnterEvent*) override {
        if (!host_->HasCapture()) host_->chooseCursor();
    }
    void mousePressEvent(QMouseEvent* event) override { button(MouseAction::Down, event); }
    void mouseReleaseEvent(QMouseEvent* event) override { button(MouseAction::Up, event); }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        button(MouseAction::DoubleClick, event);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!host_->HasCapture()) host_->chooseCursor();
        if (WindowClient* client = host_->client_)
            client->OnMouseMove(buttonsOf(event->buttons()), shiftOf(event->modifiers()),
                                event->position().toPoint());
    }
    void keyPressEvent(QKeyEvent* event) override {
        WindowClient* client = host_->client_;
        if (client == nullptr) return;
        if (int key = VirtualKeyFromQt(event->key()); key != 0)
            client->OnKeyDown(key, shiftOf(event->modifiers()));
        QString text = event->text();
        if (!text.isEmpty() && text.front().unicode() < 256) client->OnChar(text.front().unicode());
    }
    void keyReleaseEvent(QKeyEvent* event) override {
        WindowClient* client = host_->client_;
        if (client == nullptr || event->isAutoRepeat()) return;
        if (int key = VirtualKeyFromQt(event->key()); key != 0)
            client->OnKeyUp(key, shiftOf(event->modifiers()));
    }

  private:
    static int buttonsOf(Qt::MouseButtons buttons) {
        return (buttons & Qt::LeftButton ? kLeftButton : 0) |
               (buttons & Qt::RightButton ? kRightButton : 0) |
               (buttons & Qt::MiddleButton ? kMiddleButton : 0);
    }
    static int shiftOf(Qt::KeyboardModifiers modifiers) {
        return (modifiers & Qt::ShiftModifier ? kShiftKey : 0) |
               (modifiers & Qt::ControlModifier ? kControlKey : 0) |
               (modifiers & Qt::AltModifier ? kAltKey : 0);
    }
    void button(MouseAction action, QMouseEvent* event) {
        int which = buttonsOf(event->button());
        if (which != 0 && host_->client_ != nullptr)
            host_->client_->OnMouseButton(action, which, shiftOf(event->modifiers()),
                                          event->position().toPoint());
    }

    WidgetWindowHost* host_;
};

namespace {

Qt::CursorShape qtShape(CursorShape shape) {
    switch (shape) {
        case CursorShape::Arrow:
            return Qt::ArrowCursor;
        case CursorShape::Cross:
            return Qt::CrossCursor;
        case CursorShape::IBeam:
            return Qt::IBeamCursor;
        case CursorShape::SizeAll:
            return Qt::SizeAllCursor;
        case CursorShape::SizeNESW:
            return Qt::SizeBDiagCursor;
        case CursorShape::SizeNS:
            return Qt::SizeVerCursor;
        case CursorShape::SizeNWSE:
            return Qt::SizeFDiagCursor;
        case CursorShape::SizeWE:
            return Qt::SizeHorCursor;
        case CursorShape::UpArrow:
            return Qt::UpArrowCursor;
        case CursorShape::Wait:
            return Qt::WaitCursor;
        case CursorShape::No:
            return Qt::ForbiddenCursor;
        case CursorShape::AppStarting:
            return Qt::BusyCursor;
        case CursorShape::Help:
            return Qt::WhatsThisCursor;
        case CursorShape::None:
            break;
    }
    return Qt::BlankCursor;
}

}  // namespace

WidgetWindowHost::WidgetWindowHost(QWidget* parent)
    : QWidget(parent),
      handle_(RegisterWindow([] { QCoreApplication::processEvents(); })),
      area_(new ClientArea(this)),
      horizontal_(new QScrollBar(Qt::Horizontal, this)),
      vertical_(new QScrollBar(Qt::Vertical, this)) {
    // The corner between two bars belongs to no child.
    setAutoFillBackground(true);
    for (QScrollBar* bar : {horizontal_, vertical_}) {
        bar->setRange(0, 0);
        bar->hide();
        bar->installEventFilter(this);
    }
    connect(horizontal_, &QScrollBar::actionTriggered, this, &WidgetWindowHost::scrollHorizontally);
    connect(vertical_, &QScrollBar::actionTriggered, this, &WidgetWindowHost::scrollVertically);
    connect(horizontal_, &QScrollBar::sliderReleased, this, &WidgetWindowHost::endHorizontalScroll);
    connect(vertical_, &QScrollBar::sliderReleased, this, &WidgetWindowHost::endVerticalScroll);
    relayout();
}

WidgetWindowHost::~WidgetWindowHost() {
    if (client_ != nullptr) client_->OnDestroy();
    UnregisterWindow(handle_);
}

void WidgetWindowHost::SetClient(WindowClient* client) {
    client_ = client;
    if (client_ != nullptr && isVisible()) client_->OnShowWindow(true);
}

QSize WidgetWindowHost::ClientSize() const { return clientSize_; }

void WidgetWindowHost::SetWindowSize(QSize newSize) {
    resize(newSize.boundedTo(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)));
}

void WidgetWindowHost::SetFrame(WindowFrame frame) {
    if (frame == frame_) return;
    frame_ = frame;
    relayout();
    update();
}

ScrollRange WidgetWindowHost::GetScrollRange(ScrollBar bar) const {
    QScrollBar* b = scrollBar(bar);
    return {b->minimum(), b->maximum()};
}

void WidgetWindowHost::SetScrollRange(ScrollBar bar, ScrollRange range, bool) {
    scrollBar(bar)->setRange(range.min, std::max(range.min, range.max));
    relayout();
}

int WidgetWindowHost::GetScrollPos(ScrollBar bar) const { return scrollBar(bar)->value(); }

void WidgetWindowHost::SetScrollPos(ScrollBar bar, int position, bool) {
    scrollBar(bar)->setValue(position);
}

QRect WidgetWindowHost::ScrollBarScreenRect(ScrollBar bar) const {
    QScrollBar* b = scrollBar(bar);
    return {b->mapToGlobal(QPoint(0, 0)), b->size()};
}

void WidgetWindowHost::Invalidate() {
    frames_.clear();
    drawn_ = QImage();
    area_->update();
}

void WidgetWindowHost::ScrollWindow(int dx, int dy) {
    if (!drawn_.isNull()) {
        QImage before = drawn_.copy();
        drawn_.fill(Qt::transparent);
        QPainter painter(&drawn_);
        painter.drawImage(QPoint(dx, dy), before);
    }
    area_->scroll(dx, dy);
}

void WidgetWindowHost::UpdateWindow() {
    // Paints only what is pending, as the window system's own update request
    // does: after a scroll that is the uncovered strip, not the whole client.
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(window(), &request);
}

void WidgetWindowHost::SetCursor(CursorShape shape) { area_->setCursor(qtShape(shape)); }

void WidgetWindowHost::SetCursor(const QImage& image, QPoint hotSpot) {
    area_->setCursor(QCursor(QPixmap::fromImage(image), hotSpot.x(), hotSpot.y()));
}

bool WidgetWindowHost::CursorOverClient() const {
    return area_->isVisible() && area_->rect().contains(area_->mapFromGlobal(QCursor::pos()));
}

void WidgetWindowHost::ClipCursor(const QRect* screenRect) {
    clip_ = screenRect != nullptr ? std::optional<QRect>(*screenRect) : std::nullopt;
}

void WidgetWindowHost::SetCapture() { area_->grabMouse(); }

void WidgetWindowHost::ReleaseCapture() {
    if (HasCapture()) area_->releaseMouse();
}

bool WidgetWindowHost::HasCapture() const { return QWidget::mouseGrabber() == area_; }

unsigned WidgetWindowHost::RealizePalette(HPALETTE, bool) {
    // Qt draws on true-colour surfaces only; no display palette entry changes.
    return 0;
}

void WidgetWindowHost::InvertFrame(const QRect& clientRect, int width) {
    auto frame = std::make_pair(clientRect, width);
    auto found = std::find(frames_.begin(), frames_.end(), frame);
    if (found != frames_.end())
        frames_.erase(found);
    else
        frames_.push_back(frame);
    area_->update(clientRect);
}

bool WidgetWindowHost::DrawOnClient(const std::function<void(QPaintDevice&)>& draw) {
    if (area_->size().isEmpty()) return false;
    if (drawn_.size() != area_->size()) {
        drawn_ = QImage(area_->size(), QImage::Format_ARGB32_Premultiplied);
        if (drawn_.isNull()) return false;
        drawn_.fill(Qt::transparent);
    }
    draw(drawn_);
    area_->update();
    return true;
}

QWidget* WidgetWindowHost::clientArea() const { return area_; }

QScrollBar* WidgetWindowHost::scrollBar(ScrollBar bar) const {
    return bar == ScrollBar::Horizontal ? horizontal_ : vertical_;
}

void WidgetWindowHost::resizeEvent(QResizeEvent*) { relayout(); }

void WidgetWindowHost::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintWindowFrame(painter, rect(), frame_);
}

void WidgetWindowHost::showEvent(QShowEvent*) {
    if (client_ != nullptr) client_->OnShowWindow(true);
}

void WidgetWindowHost::hideEvent(QHideEvent*) {
    if (client_ != nullptr) client_->OnShowWindow(false);
}

bool WidgetWindowHost::eventFilter(QObject* watched, QEvent* event) {
    // Dragging a thumb may confine the pointer to its bar.
    if (clip_ && event->type() == QEvent::MouseMove &&
        (watched == horizontal_ || watched == vertical_)) {
        QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        QPoint confined(std::clamp(global.x(), clip_->left(), clip_->right()),
                        std::clamp(global.y(), clip_->top(), clip_->bottom()));
        if (confined != global) QCursor::setPos(confined);
    }
    return QWidget::eventFilter(watched, event);
}

void WidgetWindowHost::scrollHorizontally(int action) {
    forwardScroll(ScrollBar::Horizontal, action);
}

void WidgetWindowHost::scrollVertically(int action) { forwardScroll(ScrollBar::Vertical, action); }

void WidgetWindowHost::endHorizontalScroll() {
    if (client_ != nullptr)
        client_->OnScroll(ScrollBar::Horizontal, ScrollCode::EndScroll,
                          horizontal_->sliderPosition());
}

void WidgetWindowHost::endVerticalScroll() {
    if (client_ != nullptr)
        client_->OnScroll(ScrollBar::Vertical, ScrollCode::EndScroll, vertical_->sliderPosition());
}

void WidgetWindowHost::forwardScroll(ScrollBar which, int action) {
    ScrollCode code;
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            code = ScrollCode::LineDown;
            break;
        case QAbstractSlider::SliderSingleStepSub:
            code = ScrollCode::LineUp;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            code = ScrollCode::PageDown;
            break;
        case QAbstractSlider::SliderPageStepSub:
            code = ScrollCode::PageUp;
            break;
        case QAbstractSlider::SliderToMinimum:
            code = ScrollCode::Top;
            break;
        case QAbstractSlider::SliderToMaximum:
            code = ScrollCode::Bottom;
            break;
        case QAbstractSlider::SliderMove:
            code = ScrollCode::ThumbTrack;
            break;
        default:
            return;
    }
    QScrollBar* bar = scrollBar(which);
    int thumb = bar->sliderPosition();
    // Steps and pages move the bar only as far as the client sets it; a
    // dragged thumb follows the pointer.
    if (code != ScrollCode::ThumbTrack) bar->setSliderPosition(bar->value());
    if (client_ != nullptr) client_->OnScroll(which, code, thumb);
}

void WidgetWindowHost::relayout() {
    bool vertical = ScrollBarPresent(ScrollBar::Vertical);
    bool horizontal = ScrollBarPresent(ScrollBar::Horizontal);
    int barWidth = vertical ? VerticalScrollBarWidth() : 0;
    int barHeight = horizontal ? HorizontalScrollBarHeight() : 0;
    const int inset = frame_.width();
    QSize client(std::max(0, width() - 2 * inset - barWidth),
                 std::max(0, height() - 2 * inset - barHeight));
    area_->setGeometry(inset, inset, client.width(), client.height());
    vertical_->setGeometry(inset + client.width(), inset, barWidth, client.height());
    vertical_->setVisible(vertical);
    horizontal_->setGeometry(inset, inset + client.height(), client.width(), barHeight);
    horizontal_->setVisible(horizontal);
    if (client == clientSize_) return;
    clientSize_ = client;
    if (client_ != nullptr) client_->OnSize(client);
}

void WidgetWindowHost::chooseCursor() {
    if (client_ == nullptr || !client_->OnSetCursor()) area_->unsetCursor();
}

void WidgetWindowHost::paintClient(QPainter& painter, const QRegion& region) {
    painter.setClipRegion(region);
    // A failed paint is the client's to report; the frames go on top either way.
    if (client_ != nullptr)
        client_->OnPaint(painter, area_->rect());
    else
        painter.fillRect(area_->rect(), palette().window());
    if (!drawn_.isNull()) painter.drawImage(QPoint(), drawn_);
    // The difference from white inverts every colour channel and keeps alpha.
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    for (const auto& [rect, width] : frames_) {
        QRegion frame = QRegion(rect) - QRegion(rect.adjusted(width, width, -width, -width));
        for (const QRect& part : frame) painter.fillRect(part, Qt::white);
    }
}

}  // namespace pm32::platform
