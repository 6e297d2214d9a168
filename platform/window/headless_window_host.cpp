#include "platform/window/headless_window_host.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/window/system_metrics.h"

namespace pm32::platform {
namespace {

QSize bounded(QSize size) {
    return {std::clamp(size.width(), 0, HeadlessWindowHost::kMaxExtent),
            std::clamp(size.height(), 0, HeadlessWindowHost::kMaxExtent)};
}

// Moves the pixels by (dx, dy) inside the image, as a window's contents move
// when scrolled: what leaves the image is lost, what is uncovered keeps its
// old pixels. Row by row in place, so no second image is needed.
void movePixels(QImage& image, int dx, int dy) {
    const int width = image.width();
    const int height = image.height();
    if (std::abs(dx) >= width || std::abs(dy) >= height) return;
    // Detaches once from any copy before rows are moved inside the image.
    std::uint8_t* bits = image.bits();
    const auto stride = static_cast<std::size_t>(image.bytesPerLine());
    const auto bytes = static_cast<std::size_t>(width - std::abs(dx)) * 4;
    const auto from = static_cast<std::size_t>(dx < 0 ? -dx : 0) * 4;
    const auto to = static_cast<std::size_t>(dx > 0 ? dx : 0) * 4;
    auto move = [&](int target) {
        std::memmove(bits + static_cast<std::size_t>(target) * stride + to,
                     bits + static_cast<std::size_t>(target - dy) * stride + from, bytes);
    };
    // Rows go in the order that reads each before it is overwritten.
    if (dy > 0)
        for (int y = height - 1; y >= dy; --y) move(y);
    else
        for (int y = 0; y < height + dy; ++y) move(y);
}

}  // namespace

HeadlessWindowHost::HeadlessWindowHost(QSize windowSize)
    : handle_(RegisterWindow([this] { PumpMessages(); })), windowSize_(bounded(windowSize)) {
    relayout();
}

HeadlessWindowHost::~HeadlessWindowHost() { Destroy(); }

void HeadlessWindowHost::SetClient(WindowClient* client) {
    client_ = client;
    if (client_ != nullptr && shown_) client_->OnShowWindow(true);
}

QSize HeadlessWindowHost::ClientSize() const { return clientSize_; }

void HeadlessWindowHost::SetWindowSize(QSize size) {
    windowSize_ = bounded(size);
    relayout();
}

void HeadlessWindowHost::SetFrame(WindowFrame frame) {
    frame_ = frame;
    relayout();
}

void HeadlessWindowHost::SetScrollRange(ScrollBar bar, ScrollRange range, bool) {
    Bar& b = barOf(bar);
    b.range = range;
    b.position = std::clamp(b.position, range.min, std::max(range.min, range.max));
    relayout();
}

void HeadlessWindowHost::SetScrollPos(ScrollBar bar, int position, bool) {
    Bar& b = barOf(bar);
    b.position = std::clamp(position, b.range.min, std::max(b.range.min, b.range.max));
}

QRect HeadlessWindowHost::ScrollBarScreenRect(ScrollBar bar) const {
    // The window stands at the screen's origin; the bars lie inside its frame.
    const int inset = frame_.width();
    if (bar == ScrollBar::Horizontal)
        return {inset, inset + clientSize_.height(), clientSize_.width(),
                HorizontalScrollBarHeight()};
    return {inset + clientSize_.width(), inset, VerticalScrollBarWidth(), clientSize_.height()};
}

void HeadlessWindowHost::Invalidate() {
    ++invalidations_;
    pending_ += QRect(QPoint(), clientSize_);
}

void HeadlessWindowHost::ScrollWindow(int dx, int dy) {
    scrolls_.emplace_back(dx, dy);
    QRect client(QPoint(), clientSize_);
    if (!surface_.isNull()) movePixels(surface_, dx, dy);
    pending_.translate(dx, dy);
    pending_ += QRegion(client) - QRegion(client.translated(dx, dy));
    pending_ &= QRegion(client);
}

void HeadlessWindowHost::UpdateWindow() {
    if (!shown_ || pending_.isEmpty() || !ensureSurface()) return;
    lastPainted_ = pending_;
    pending_ = QRegion();
    paint(surface_, lastPainted_);
}

bool HeadlessWindowHost::paint(QPaintDevice& device, const QRegion& clip) {
    if (client_ == nullptr) return true;
    QPainter painter(&device);
    painter.setClipRegion(clip);
    ++paints_;
    return client_->OnPaint(painter, QRect(QPoint(), clientSize_));
}

QImage HeadlessWindowHost::Snapshot(bool* paintOk) {
    QImage image(clientSize_, QImage::Format_RGB32);
    bool ok = !image.isNull();
    if (ok) {
        image.fill(Qt::black);
        ok = paint(image, QRegion(image.rect()));
    }
    if (paintOk != nullptr) *paintOk = ok;
    return image;
}

QImage HeadlessWindowHost::WindowSnapshot(bool* paintOk) {
    bool ok = false;
    QImage client = Snapshot(&ok);
    QImage image(windowSize_, QImage::Format_RGB32);
    if (image.isNull()) {
        if (paintOk != nullptr) *paintOk = false;
        return image;
    }
    image.fill(QColor(192, 192, 192));
    QPainter painter(&image);
    PaintWindowFrame(painter, image.rect(), frame_);
    painter.drawImage(QPoint(frame_.width(), frame_.width()), client);
    if (paintOk != nullptr) *paintOk = ok;
    return image;
}

void HeadlessWindowHost::SetCursor(CursorShape shape) { cursor_ = {true, shape, {}, {}}; }

void HeadlessWindowHost::SetCursor(const QImage& image, QPoint hotSpot) {
    cursor_ = {true, CursorShape::Arrow, image, hotSpot};
}

void HeadlessWindowHost::ClipCursor(const QRect* screenRect) {
    clip_ = screenRect != nullptr ? std::optional<QRect>(*screenRect) : std::nullopt;
}

unsigned HeadlessWindowHost::RealizePalette(HPALETTE, bool) {
    // A true-colour display has no palette of its own to change.
    return 0;
}

void HeadlessWindowHost::InvertFrame(const QRect& rect, int width) {
    ++framesInverted_;
    if (width <= 0 || !ensureSurface()) return;
    QRect visible = rect & surface_.rect();
    int left = rect.left();
    int top = rect.top();
    int right = left + rect.width();
    int bottom = top + rect.height();
    for (int y = visible.top(); y < visible.top() + visible.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(surface_.scanLine(y));
        for (int x = visible.left(); x < visible.left() + visible.width(); ++x) {
            bool inFrame =
                x < left + width || x >= right - width || y < top + width || y >= bottom - width;
            if (inFrame) row[x] ^= 0x00FFFFFFu;
        }
    }
}

bool HeadlessWindowHost::DrawOnClient(const std::function<void(QPaintDevice&)>& draw) {
    if (Destroyed() || !ensureSurface()) return false;
    draw(surface_);
    return true;
}

void HeadlessWindowHost::Show(bool shown) {
    if (Destroyed() || shown_ == shown) return;
    shown_ = shown;
    if (shown_) pending_ = QRegion(QRect(QPoint(), clientSize_));
    if (client_ != nullptr) client_->OnShowWindow(shown);
}

void HeadlessWindowHost::Destroy() {
    if (Destroyed()) return;
    if (client_ != nullptr) client_->OnDestroy();
    client_ = nullptr;
    UnregisterWindow(handle_);
    handle_ = 0;
    shown_ = false;
}

void HeadlessWindowHost::ScrollBarAction(ScrollBar bar, ScrollCode code, int thumbPosition) {
    if (client_ != nullptr) client_->OnScroll(bar, code, thumbPosition);
}

void HeadlessWindowHost::Mouse(MouseAction action, int button, int shift, QPoint position) {
    if (client_ != nullptr) client_->OnMouseButton(action, button, shift, position);
}

void HeadlessWindowHost::MouseMove(int buttons, int shift, QPoint position) {
    // A captured mouse goes to the window without asking for a cursor.
    if (captured_)
        pointer_ = position;
    else
        PointerAt(position);
    if (client_ != nullptr) client_->OnMouseMove(buttons, shift, position);
}

void HeadlessWindowHost::PointerAt(std::optional<QPoint> position) {
    if (position && !QRect(QPoint(), clientSize_).contains(*position)) position.reset();
    pointer_ = position;
    if (!pointer_ || client_ == nullptr) return;
    if (!client_->OnSetCursor()) cursor_ = Cursor{};
}

void HeadlessWindowHost::Key(bool down, int keyCode, int shift) {
    if (client_ == nullptr) return;
    if (down)
        client_->OnKeyDown(keyCode, shift);
    else
        client_->OnKeyUp(keyCode, shift);
}

void HeadlessWindowHost::Char(int character) {
    if (client_ != nullptr) client_->OnChar(character);
}

void HeadlessWindowHost::relayout() {
    const int frame = 2 * frame_.width();
    QSize client(
        std::max(0, windowSize_.width() - frame -
                        (ScrollBarPresent(ScrollBar::Vertical) ? VerticalScrollBarWidth() : 0)),
        std::max(0,
                 windowSize_.height() - frame -
                     (ScrollBarPresent(ScrollBar::Horizontal) ? HorizontalScrollBarHeight() : 0)));
    if (client == clientSize_) return;
    clientSize_ = client;
    surface_ = QImage();
    pending_ = QRegion(QRect(QPoint(), client));
    if (client_ != nullptr) client_->OnSize(client);
}

bool HeadlessWindowHost::ensureSurface() {
    if (surface_.isNull() && !clientSize_.isEmpty()) {
        surface_ = QImage(clientSize_, QImage::Format_RGB32);
        if (!surface_.isNull()) surface_.fill(Qt::black);
    }
    return !surface_.isNull();
}

}  // namespace pm32::platform
