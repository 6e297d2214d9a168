#pragma once

#include <QRegion>
#include <optional>
#include <vector>

#include "platform/toolkit_export.h"
#include "platform/window/window_host.h"

namespace pm32::platform {

// A window without a screen for the command-line container and tests. It
// keeps the pixels the client painted in a surface, moves them as a real
// window would when scrolled, and records what a window would have shown.
// Painting waits for UpdateWindow or the message pump, as on a screen. The
// surface is made when something first paints or draws on the window, so
// windows that never show cost no pixels.
class PM32_TOOLKIT_API HeadlessWindowHost final : public WindowHost {
  public:
    // Larger windows are cut to this size on each side.
    static constexpr int kMaxExtent = 8192;

    // A hidden window of that outside size; scroll bars take their share.
    explicit HeadlessWindowHost(QSize windowSize);
    ~HeadlessWindowHost() override;
    HeadlessWindowHost(const HeadlessWindowHost&) = delete;
    HeadlessWindowHost& operator=(const HeadlessWindowHost&) = delete;

    HWND Handle() const override { return handle_; }
    void SetClient(WindowClient* client) override;
    QSize ClientSize() const override;
    QSize WindowSize() const override { return windowSize_; }
    void SetWindowSize(QSize size) override;
    void SetFrame(WindowFrame frame) override;
    ScrollRange GetScrollRange(ScrollBar bar) const override { return barOf(bar).range; }
    void SetScrollRange(ScrollBar bar, ScrollRange range, bool redraw) override;
    int GetScrollPos(ScrollBar bar) const override { return barOf(bar).position; }
    void SetScrollPos(ScrollBar bar, int position, bool redraw) override;
    QRect ScrollBarScreenRect(ScrollBar bar) const override;
    void Invalidate() override;
    void ScrollWindow(int dx, int dy) override;
    void UpdateWindow() override;
    void SetCursor(CursorShape shape) override;
    void SetCursor(const QImage& image, QPoint hotSpot) override;
    bool CursorOverClient() const override { return pointer_.has_value(); }
    void SendSetCursor() override { PointerAt(pointer_); }
    void ClipCursor(const QRect* screenRect) override;
    void SetCapture() override { captured_ = true; }
    void ReleaseCapture() override { captured_ = false; }
    bool HasCapture() const override { return captured_; }
    unsigned RealizePalette(HPALETTE palette, bool background) override;
    void InvertFrame(const QRect& clientRect, int width) override;
    bool DrawOnClient(const std::function<void(QPaintDevice&)>& draw) override;

    // What the window system does to the window.
    void Show(bool shown);
    void Destroy();
    void ScrollBarAction(ScrollBar bar, ScrollCode code, int thumbPosition = 0);
    void Mouse(MouseAction action, int button, int shift, QPoint position);
    void MouseMove(int buttons, int shift, QPoint position);
    // Moves the pointer over the client area, or away with nullopt.
    void PointerAt(std::optional<QPoint> position);
    void Key(bool down, int keyCode, int shift);
    void Char(int character);
    void PumpMessages() { UpdateWindow(); }

    // What a window would have shown.
    bool Destroyed() const { return handle_ == 0; }
    // The client area's pixels as last painted, moved and inverted; null
    // until the window is first painted or drawn on.
    const QImage& Surface() const { return surface_; }
    // The whole client area painted afresh; paintOk tells whether the client
    // reported success.
    QImage Snapshot(bool* paintOk);
    // The whole window as a screen shows it: the frame, the client area
    // painted afresh inside it, and grey where scroll bars stand.
    QImage WindowSnapshot(bool* paintOk);
    WindowFrame Frame() const { return frame_; }
    const QRegion& PendingPaint() const { return pending_; }
    // What the last update painted.
    const QRegion& LastPainted() const { return lastPainted_; }
    int InvalidateCount() const { return invalidations_; }
    int PaintCount() const { return paints_; }
    const std::vector<QPoint>& WindowScrolls() const { return scrolls_; }
    int FramesInverted() const { return framesInverted_; }

    struct Cursor {
        bool chosenByClient = false;
        CursorShape shape = CursorShape::Arrow;
        QImage image;  // a picture cursor when not null
        QPoint hotSpot;
    };
    const Cursor& CurrentCursor() const { return cursor_; }
    const std::optional<QRect>& CursorClip() const { return clip_; }

  private:
    struct Bar {
        ScrollRange range;
        int position = 0;
    };
    const Bar& barOf(ScrollBar bar) const {
        return bar == ScrollBar::Horizontal ? horizontal_ : vertical_;
    }
    Bar& barOf(ScrollBar bar) { return bar == ScrollBar::Horizontal ? horizontal_ : vertical_; }
    // Follows a change of window size or scroll bars: when the client area's
    // size changed, the old surface goes, all of it is to paint, and the
    // client is told.
    void relayout();
    // Makes the surface, black, when there is none; false when the client
    // area is empty or the pixels cannot be had.
    bool ensureSurface();
    bool paint(QPaintDevice& device, const QRegion& clip);

    HWND handle_;
    WindowClient* client_ = nullptr;
    QSize windowSize_;
    WindowFrame frame_;
    QSize clientSize_;
    Bar horizontal_;
    Bar vertical_;
    bool shown_ = false;
    bool captured_ = false;
    QImage surface_;
    QRegion pending_;
    QRegion lastPainted_;
    int invalidations_ = 0;
    int paints_ = 0;
    std::vector<QPoint> scrolls_;
    int framesInverted_ = 0;
    std::optional<QPoint> pointer_;
    Cursor cursor_;
    std::optional<QRect> clip_;
};

}  // namespace pm32::platform
