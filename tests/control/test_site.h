#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control/control_site.h"
#include "control/factory.h"
#include "platform/automation/dispatch.h"
#include "platform/window/headless_window_host.h"

namespace pm32::test {

using automation::DispId;
using automation::Variant;

// A container site that records what the control tells it.
class TestSite : public control::ControlSite, public automation::EventSink {
  public:
    explicit TestSite(bool userMode = true);
    // A site that gives its control a headless window of that outside size.
    TestSite(bool userMode, QSize window);
    ~TestSite() override;

    bool UserMode() const override { return userMode; }
    platform::HWND Window() const override { return host_ ? host_->Handle() : window_; }
    platform::WindowHost* Host() override { return host_.get(); }
    // The headless window, null for a site without one.
    platform::HeadlessWindowHost* window() { return host_.get(); }
    automation::EventSink* Events() override { return this; }
    void OnPropertyChanged(DispId id) override { changed.push_back(id); }
    void OnEvent(DispId id, std::string_view name, std::span<Variant> args) override;

    void closeWindow();
    void clearEvents() {
        events.clear();
        arguments.clear();
    }

    bool userMode;
    std::vector<std::string> events;
    // The arguments of each event, in the same order.
    std::vector<std::vector<Variant>> arguments;
    std::vector<DispId> changed;
    // Runs for each Callback event with its Lines argument.
    std::function<void(Variant& lines)> onCallback;

  private:
    platform::HWND window_ = 0;
    std::unique_ptr<platform::HeadlessWindowHost> host_;
};

// Short and long integer arguments.
inline Variant i2(int value) { return Variant::I2(static_cast<std::int16_t>(value)); }
inline Variant i4(std::int64_t value) { return Variant::I4(static_cast<std::int32_t>(value)); }

// Stores a one-colour image of the depth and size at path, the extension
// picking the writer (JPEG at quality 95), as a run-time control does.
void StoreOneColorImage(const std::string& path, int depth, int width, int height,
                        std::int32_t color);

// A control on its own site.
struct PlacedControl {
    explicit PlacedControl(bool userMode = true)
        : site(std::make_unique<TestSite>(userMode)), control(control::CreatePicbuf(site.get())) {}
    // A control in a headless window of that outside size, shown.
    explicit PlacedControl(QSize window, bool userMode = true)
        : site(std::make_unique<TestSite>(userMode, window)),
          control(control::CreatePicbuf(site.get())) {
        site->window()->Show(true);
    }

    Variant get(std::string_view name) { return automation::GetProperty(*control, name); }
    void put(std::string_view name, Variant value) {
        automation::PutProperty(*control, name, std::move(value));
    }
    Variant call(std::string_view name, std::vector<Variant> args = {}) {
        return automation::CallMethod(*control, name, std::move(args));
    }

    std::unique_ptr<TestSite> site;
    std::shared_ptr<control::ZPm32> control;
};

// The SCODE an automation call raised, or 0 when it succeeded.
std::int32_t scodeOf(const std::function<void()>& call);

// The control error number an automation call raised, or 0.
std::uint32_t errorOf(const std::function<void()>& call);

}  // namespace pm32::test
