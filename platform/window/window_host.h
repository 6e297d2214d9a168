#pragma once

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>

#include "platform/gdi_palette.h"
#include "platform/window/window_frame.h"
#include "platform/window_registry.h"

namespace pm32::platform {

enum class ScrollBar { Horizontal, Vertical };

// What a scroll bar asks of its owner, as the bar's notification codes.
enum class ScrollCode {
    LineUp,
    LineDown,
    PageUp,
    PageDown,
    ThumbPosition,
    ThumbTrack,
    Top,
    Bottom,
    EndScroll,
};

struct ScrollRange {
    int min = 0;
    int max = 0;
    friend bool operator==(const ScrollRange&, const ScrollRange&) = default;
};

// The system cursors a window can show, plus no cursor at all.
enum class CursorShape {
    Arrow,
    Cross,
    IBeam,
    SizeAll,
    SizeNESW,
    SizeNS,
    SizeNWSE,
    SizeWE,
    UpArrow,
    Wait,
    No,
    AppStarting,
    Help,
    None,
};

// Mouse buttons and shift keys as the stock mouse and key events number them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;
inline constexpr int kShiftKey = 1;
inline constexpr int kControlKey = 2;
inline constexpr int kAltKey = 4;

enum class MouseAction { Down, Up, DoubleClick };

// What a window tells the object drawn in it. Positions are client pixels.
class WindowClient {
  public:
    virtual ~WindowClient() = default;

    virtual void OnShowWindow(bool shown) = 0;
    virtual void OnSize(QSize client) = 0;
    // The window is going; the host must not be used after this.
    virtual void OnDestroy() = 0;
    virtual void OnScroll(ScrollBar bar, ScrollCode code, int thumbPosition) = 0;
    // Paints the client area; bounds is the whole client rectangle and the
    // painter clips to what needs painting. False when the paint failed.
    virtual bool OnPaint(QPainter& painter, const QRect& bounds) = 0;
    // The pointer is over the client area: true when the client chose the
    // cursor, false for the window's default one.
    virtual bool OnSetCursor() = 0;
    virtual void OnMouseButton(MouseAction action, int button, int shift, QPoint position) = 0;
    virtual void OnMouseMove(int buttons, int shift, QPoint position) = 0;
    virtual void OnKeyDown(int keyCode, int shift) = 0;
    virtual void OnKeyUp(int keyCode, int shift) = 0;
    virtual void OnChar(int character) = 0;
};

// The window a control lives in, as the container provides it: client area,
// two scroll bars that take their share of the window when their range is not
// 0..0, painting, cursor, mouse capture and the message pump.
class WindowHost {
  public:
    virtual ~WindowHost() = default;

    // The window's registered handle; it names the window's message pump.
    virtual HWND Handle() const = 0;

    // The client receives the window's events from now on (null detaches). A
    // client attached to a window already shown is told so at once.
    virtual void SetClient(WindowClient* client) = 0;

    // Inside size, without the frame and the scroll bars that are present.
    virtual QSize ClientSize() const = 0;
    // Outside size, scroll bars included; setting it resizes the window.
    virtual QSize WindowSize() const = 0;
    virtual void SetWindowSize(QSize size) = 0;
    // The frame around the client area; changing it resizes the client area.
    virtual void SetFrame(WindowFrame frame) = 0;

    virtual ScrollRange GetScrollRange(ScrollBar bar) const = 0;
    virtual void SetScrollRange(ScrollBar bar, ScrollRange range, bool redraw) = 0;
    virtual int GetScrollPos(ScrollBar bar) const = 0;
    virtual void SetScrollPos(ScrollBar bar, int position, bool redraw) = 0;
    bool ScrollBarPresent(ScrollBar bar) const { return GetScrollRange(bar) != ScrollRange{}; }
    // The bar's rectangle in screen coordinates.
    virtual QRect ScrollBarScreenRect(ScrollBar bar) const = 0;

    // Marks the whole client area for painting.
    virtual void Invalidate() = 0;
    // Moves the client area's pixels; the uncovered strips need painting.
    virtual void ScrollWindow(int dx, int dy) = 0;
    // Paints what needs painting now.
    virtual void UpdateWindow() = 0;

    virtual void SetCursor(CursorShape shape) = 0;
    virtual void SetCursor(const QImage& image, QPoint hotSpot) = 0;
    virtual bool CursorOverClient() const = 0;
    // Asks the client for its cursor now, as a move of the pointer over the
    // client area would.
    virtual void SendSetCursor() = 0;
    // Confines the pointer to a screen rectangle; null releases it.
    virtual void ClipCursor(const QRect* screenRect) = 0;

    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    virtual bool HasCapture() const = 0;

    // Realises the palette for the window; returns how many entries of the
    // display's palette changed (none on a true-colour display).
    virtual unsigned RealizePalette(HPALETTE palette, bool background) = 0;

    // Inverts a frame of the given width inside the rectangle on the screen;
    // inverting the same frame again removes it.
    virtual void InvertFrame(const QRect& clientRect, int width) = 0;

    // Lets draw paint straight onto the client area's pixels (client
    // coordinates), outside the paint cycle, as a window device context
    // does; the next paint covers it. False when there is nothing to draw on.
    virtual bool DrawOnClient(const std::function<void(QPaintDevice&)>& draw) = 0;
};

}  // namespace pm32::platform
