#pragma once

#include <QPainter>
#include <QRect>

namespace pm32::platform {

// The frame a window draws around its client area: a single dark line, a
// sunken three-dimensional edge inside it, both or neither. The frame takes
// its width from the client area on every side.
struct WindowFrame {
    bool singleLine = false;
    bool sunkenEdge = false;

    static constexpr int kLineWidth = 1;
    static constexpr int kEdgeWidth = 2;

    int width() const { return (singleLine ? kLineWidth : 0) + (sunkenEdge ? kEdgeWidth : 0); }
    friend bool operator==(const WindowFrame&, const WindowFrame&) = default;
};

// Paints the frame along the inside of the window's outer rectangle.
void PaintWindowFrame(QPainter& painter, const QRect& outer, WindowFrame frame);

}  // namespace pm32::platform
