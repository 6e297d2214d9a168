#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "control/factory.h"
#include "control/zpm32.h"

// A stored property bag is text from anywhere. Whatever it holds loads
// without failing, and what the control then saves loads back to itself.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::shared_ptr<pm32::control::ZPm32> control = pm32::control::CreatePicbuf(nullptr);
    control->LoadProperties(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string saved = control->SaveProperties();
    std::shared_ptr<pm32::control::ZPm32> again = pm32::control::CreatePicbuf(nullptr);
    again->LoadProperties(saved);
    if (again->SaveProperties() != saved) std::abort();
    return 0;
}
