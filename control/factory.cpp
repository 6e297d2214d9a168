#include "control/factory.h"

#include <cctype>

#include "control/identity.h"

namespace pm32::control {
namespace {

bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

std::shared_ptr<ZPm32> CreatePicbuf(ControlSite* site) { return std::make_shared<ZPm32>(site); }

automation::DispatchPtr CreateControl(std::string_view progIdOrClassId, ControlSite* site) {
    if (sameText(progIdOrClassId, kProgId) || sameText(progIdOrClassId, kClassId))
        return CreatePicbuf(site);
    return nullptr;
}

}  // namespace pm32::control
