#include "control/control_window.h"

#include <array>

#include "control/dispids.h"
#include "control/zpm32.h"

namespace pm32::control {
namespace {

using platform::CursorShape;
using platform::MouseAction;

constexpr int kMouseIcon = 99;

// The system cursor of MousePointer 1 to 15.
constexpr std::array<CursorShape, 15> kPointers = {
    CursorShape::Arrow,       CursorShape::Cross,    CursorShape::IBeam,   CursorShape::Arrow,
    CursorShape::SizeAll,     CursorShape::SizeNESW, CursorShape::SizeNS,  CursorShape::SizeNWSE,
    CursorShape::SizeWE,      CursorShape::UpArrow,  CursorShape::Wait,    CursorShape::No,
    CursorShape::AppStarting, CursorShape::Help,     CursorShape::SizeAll,
};

}  // namespace

void ControlWindow::OnShowWindow(bool shown) { control_.View().OnShowWindow(shown); }

void ControlWindow::OnSize(QSize client) { control_.View().OnSize(client); }

void ControlWindow::OnDestroy() { control_.WindowDestroyed(); }

void ControlWindow::OnScroll(platform::ScrollBar bar, platform::ScrollCode code,
                             int thumbPosition) {
    control_.View().Scroll(bar, code, thumbPosition);
}

bool ControlWindow::OnPaint(QPainter& painter, const QRect& bounds) {
    return control_.View().Paint(painter, bounds);
}

bool ControlWindow::OnSetCursor() {
    platform::WindowHost* host = control_.Host();
    int pointer = control_.I2(dispid::MousePointer);
    if (host == nullptr || pointer == 0) return false;
    if (pointer == kMouseIcon) {
        const Picture& icon = *control_.MouseIcon();
        if (icon.Type() == PictureType::None || icon.Image().isNull())
            host->SetCursor(CursorShape::None);
        else
            host->SetCursor(icon.Image(), icon.HotSpot());
        return true;
    }
    if (pointer < 1 || pointer > static_cast<int>(kPointers.size())) return false;
    host->SetCursor(kPointers[static_cast<std::size_t>(pointer - 1)]);
    return true;
}

void ControlWindow::OnMouseButton(MouseAction action, int button, int shift, QPoint position) {
    if (!control_.InputEnabled()) return;
    platform::WindowHost* host = control_.Host();
    if (action == MouseAction::Up) {
        if (button == platform::kLeftButton && control_.Tracker() != nullptr)
            control_.Tracker()->OnLeftButtonUp();
        if ((buttonsDown_ & button) == 0) return;
        buttonsDown_ &= ~button;
        if (buttonsDown_ == 0 && host != nullptr) host->ReleaseCapture();
        fireMouse(eventid::MouseUp, "MouseUp", button, shift, position);
        if ((doubleClicked_ & button) != 0)
            doubleClicked_ &= ~button;
        else
            control_.Fire(eventid::Click, "Click");
        return;
    }
    // The window keeps the mouse while any button is held.
    if (buttonsDown_ == 0 && host != nullptr) host->SetCapture();
    buttonsDown_ |= button;
    if (action == MouseAction::Down) {
        doubleClicked_ &= ~button;
        fireMouse(eventid::MouseDown, "MouseDown", button, shift, position);
    } else {
        doubleClicked_ |= button;
        control_.Fire(eventid::DblClick, "DblClick");
    }
}

void ControlWindow::OnMouseMove(int buttons, int shift, QPoint position) {
    if (!control_.InputEnabled()) return;
    if (control_.Tracker() != nullptr) control_.Tracker()->OnMouseMove(position);
    fireMouse(eventid::MouseMove, "MouseMove", buttons, shift, position);
}

void ControlWindow::OnKeyDown(int keyCode, int shift) {
    fireKey(eventid::KeyDown, "KeyDown", keyCode, shift);
}

void ControlWindow::OnKeyUp(int keyCode, int shift) {
    fireKey(eventid::KeyUp, "KeyUp", keyCode, shift);
}

void ControlWindow::OnChar(int character) {
    if (!control_.InputEnabled()) return;
    Variant key = Variant::I2(static_cast<std::int16_t>(character));
    control_.Fire(eventid::KeyPress, "KeyPress", std::span(&key, 1));
}

void ControlWindow::fireMouse(automation::DispId id, std::string_view name, int button, int shift,
                              QPoint position) {
    std::array<Variant, 4> args = {Variant::I2(static_cast<std::int16_t>(button)),
                                   Variant::I2(static_cast<std::int16_t>(shift)),
                                   Variant::I4(position.x()), Variant::I4(position.y())};
    control_.Fire(id, name, args);
}

void ControlWindow::DropInput() {
    platform::WindowHost* host = control_.Host();
    if (buttonsDown_ != 0 && host != nullptr) host->ReleaseCapture();
    buttonsDown_ = 0;
    doubleClicked_ = 0;
}

void ControlWindow::fireKey(automation::DispId id, std::string_view name, int keyCode, int shift) {
    if (!control_.InputEnabled()) return;
    std::array<Variant, 2> args = {Variant::I2(static_cast<std::int16_t>(keyCode)),
                                   Variant::I2(static_cast<std::int16_t>(shift))};
    control_.Fire(id, name, args);
}

}  // namespace pm32::control
