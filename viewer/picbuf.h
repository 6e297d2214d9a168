#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "control/control_site.h"
#include "platform/automation/dispatch.h"
#include "platform/window/widget_window_host.h"

namespace pm32::viewer {

using automation::Variant;

// Receives the control's events by name.
using PicbufEventHandler = std::function<void(std::string_view name, std::span<Variant> args)>;

// One Picbuf control placed on the viewer: made by its ProgID and reached
// only by member name, as any container reaches it. With a host it shows in
// that widget (which its parent owns and which may go first); without one it
// is a hidden working buffer.
class Picbuf : private control::ControlSite, private automation::EventSink {
  public:
    explicit Picbuf(platform::WidgetWindowHost* host = nullptr);
    ~Picbuf() override;
    Picbuf(const Picbuf&) = delete;
    Picbuf& operator=(const Picbuf&) = delete;

    const automation::DispatchPtr& object() const { return control_; }

    Variant get(std::string_view name) { return automation::GetProperty(*control_, name); }
    int getInt(std::string_view name) { return get(name).toI4(); }
    void put(std::string_view name, Variant value) {
        automation::PutProperty(*control_, name, std::move(value));
    }
    Variant call(std::string_view name, std::vector<Variant> args = {}) {
        return automation::CallMethod(*control_, name, std::move(args));
    }

    bool hasImage() { return getInt("Contents") == 1; }
    void setEventHandler(PicbufEventHandler handler) { handler_ = std::move(handler); }

  private:
    bool UserMode() const override { return true; }
    platform::HWND Window() const override { return host_ ? host_->Handle() : 0; }
    platform::WindowHost* Host() override { return host_.data(); }
    automation::EventSink* Events() override { return this; }
    void OnPropertyChanged(automation::DispId) override {}
    void OnEvent(automation::DispId, std::string_view name, std::span<Variant> args) override;

    QPointer<platform::WidgetWindowHost> host_;
    PicbufEventHandler handler_;
    automation::DispatchPtr control_;
};

// Short and long arguments.
inline Variant Short(int value) { return Variant::I2(static_cast<std::int16_t>(value)); }
inline Variant Long(int value) { return Variant::I4(value); }

// The control error number an automation error carries; any other failure
// (not implemented, a type mismatch) gives its whole SCODE, never 0.
std::uint32_t ErrorNumberOf(const automation::AutomationError& error);

}  // namespace pm32::viewer
