#include "control/factory.h"

#include "control/data_source.h"
#include "control/identity.h"
#include "platform/text_compare.h"

namespace pm32::control {
std::shared_ptr<ZPm32> CreatePicbuf(ControlSite* site) { return std::make_shared<ZPm32>(site); }

automation::DispatchPtr CreateControl(std::string_view progIdOrClassId, ControlSite* site) {
    if (platform::EqualsIgnoringCase(progIdOrClassId, kProgId) ||
        platform::EqualsIgnoringCase(progIdOrClassId, kClassId))
        return CreatePicbuf(site);
    if (platform::EqualsIgnoringCase(progIdOrClassId, kDataSourceProgId) ||
        platform::EqualsIgnoringCase(progIdOrClassId, kDataSourceClassId))
        return std::make_shared<DataSource>();
    return nullptr;
}

bool IsControlClassId(std::string_view classId) {
    return platform::EqualsIgnoringCase(classId, kClassId) ||
           platform::EqualsIgnoringCase(classId, kDataSourceClassId);
}

const PageClass* FindPageClass(std::string_view progIdOrClassId) {
    for (const PageClass& page : ControlPages())
        if (platform::EqualsIgnoringCase(progIdOrClassId, page.progId) ||
            platform::EqualsIgnoringCase(progIdOrClassId, page.classId) ||
            platform::EqualsIgnoringCase(progIdOrClassId, page.className))
            return &page;
    return nullptr;
}

}  // namespace pm32::control
