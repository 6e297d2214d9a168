#pragma once

#include <QPoint>
#include <QRect>
#include <cstdint>

#include "platform/window/window_host.h"

namespace pm32::control {

// Follows the mouse from the first move after it starts until the left button
// goes up, framing the rectangle from that first point to the pointer in the
// control's window. Frames are inverted, so framing the previous rectangle
// again takes it off the screen.
class RubberBandTracker {
  public:
    // The settings of the control when the tracker starts.
    struct Settings {
        int type = 0;
        int penWidth = 1;
        std::uint32_t frameColor = 0;  // 0x00BBGGRR
        std::uint32_t backColor = 0;
        int fillStyle = 0;
    };

    // Captures the mouse for the window; the window may be null.
    RubberBandTracker(const Settings& settings, platform::WindowHost* window);
    RubberBandTracker(const RubberBandTracker&) = delete;
    RubberBandTracker& operator=(const RubberBandTracker&) = delete;

    void OnMouseMove(QPoint position);
    void OnLeftButtonUp();
    // The window is gone; nothing is framed any more.
    void OnWindowDestroyed();

    const Settings& settings() const { return settings_; }
    bool Captured() const { return captured_; }
    int Moves() const { return moves_; }
    // From the first point to the pointer, in client pixels.
    QRect Rect() const { return rect_; }

  private:
    void frame(const QRect& rect);

    Settings settings_;
    platform::WindowHost* window_;
    QPoint anchor_;
    QPoint current_;
    int moves_ = -1;
    QRect rect_;
    bool captured_ = false;
};

}  // namespace pm32::control
