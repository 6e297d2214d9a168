#pragma once

#include <string_view>

#include "platform/automation/dispatch.h"
#include "platform/window/window_host.h"

namespace pm32::control {

class ZPm32;

// Receives the events of the control's window: sizing, scrolling and painting
// go to the view, the pointer follows MousePointer, and mouse and keys fire
// the stock events after the rubber-band tracker has seen them.
class ControlWindow final : public platform::WindowClient {
  public:
    explicit ControlWindow(ZPm32& control) : control_(control) {}

    void OnShowWindow(bool shown) override;
    void OnSize(QSize client) override;
    void OnDestroy() override;
    void OnScroll(platform::ScrollBar bar, platform::ScrollCode code, int thumbPosition) override;
    bool OnPaint(QPainter& painter, const QRect& bounds) override;
    bool OnSetCursor() override;
    void OnMouseButton(platform::MouseAction action, int button, int shift,
                       QPoint position) override;
    void OnMouseMove(int buttons, int shift, QPoint position) override;
    void OnKeyDown(int keyCode, int shift) override;
    void OnKeyUp(int keyCode, int shift) override;
    void OnChar(int character) override;

    // The control no longer takes input: buttons held are forgotten and the
    // mouse is let go.
    void DropInput();

  private:
    void fireMouse(automation::DispId id, std::string_view name, int button, int shift,
                   QPoint position);
    void fireKey(automation::DispId id, std::string_view name, int keyCode, int shift);

    ZPm32& control_;
    // Buttons held since they went down in the window, and those whose last
    // press was a double click (their release is no click).
    int buttonsDown_ = 0;
    int doubleClicked_ = 0;
};

}  // namespace pm32::control
