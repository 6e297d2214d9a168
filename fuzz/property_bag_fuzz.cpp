#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "control/control_site.h"
#include "control/factory.h"
#include "control/zpm32.h"

namespace {

// A run-time container with no window and no event handler: at run time a
// loaded bag may carry an embedded image that the control decodes.
class RunTimeSite : public pm32::control::ControlSite {
  public:
    bool UserMode() const override { return true; }
    pm32::platform::HWND Window() const override { return 0; }
    pm32::platform::WindowHost* Host() override { return nullptr; }
    pm32::automation::EventSink* Events() override { return nullptr; }
    void OnPropertyChanged(pm32::automation::DispId) override {}
};

}  // namespace

// A stored property bag is text from anywhere. Whatever it holds loads
// without failing, at design time and at run time, and what the control
// then saves at design time loads back to itself.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bag(reinterpret_cast<const char*>(data), size);
    RunTimeSite site;
    pm32::control::CreatePicbuf(&site)->LoadProperties(bag);

    std::shared_ptr<pm32::control::ZPm32> control = pm32::control::CreatePicbuf(nullptr);
    control->LoadProperties(bag);
    std::string saved = control->SaveProperties();
    std::shared_ptr<pm32::control::ZPm32> again = pm32::control::CreatePicbuf(nullptr);
    again->LoadProperties(saved);
    if (again->SaveProperties() != saved) std::abort();
    return 0;
}
