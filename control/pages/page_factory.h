#pragma once

#include <memory>
#include <string_view>

#include "control/pages/property_page.h"
#include "platform/toolkit_export.h"

namespace pm32::control::pages {

// A page of the class the module registered under that ProgID, class id or
// class name (any case), owned by the caller until given a parent; null for
// a name the module does not serve. Needs the process's widget application.
std::unique_ptr<PropertyPage> CreatePropertyPage(std::string_view name, QWidget* parent = nullptr);

// One page of each class the control lists, in its order.
PM32_TOOLKIT_API std::vector<std::unique_ptr<PropertyPage>> CreateControlPages();

}  // namespace pm32::control::pages
