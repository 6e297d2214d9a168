#pragma once

#include <memory>
#include <string_view>

#include "control/control_site.h"
#include "control/page_classes.h"
#include "control/zpm32.h"
#include "platform/toolkit_export.h"

namespace pm32::control {

// A new Picbuf control placed on the site (which must outlive it); the
// caller shares ownership.
PM32_TOOLKIT_API std::shared_ptr<ZPm32> CreatePicbuf(ControlSite* site);

// A new control or data source by ProgID or class id (braces, any case);
// null for a name this module does not serve.
PM32_TOOLKIT_API automation::DispatchPtr CreateControl(std::string_view progIdOrClassId,
                                                       ControlSite* site);

// Whether classId (braces, any case) names a class CreateControl makes.
bool IsControlClassId(std::string_view classId);

// The property page class the module registers under a ProgID, class id or
// class name (any case); null for a name it does not serve. The pages
// themselves are widgets made by the pages library from this entry
// (control/pages/page_factory.h), which sits above the control.
const PageClass* FindPageClass(std::string_view progIdOrClassId);

}  // namespace pm32::control
