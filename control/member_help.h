#pragma once

#include <string>

#include "control/member_row.h"
#include "platform/toolkit_export.h"

namespace pm32::control {

// What a user reads about one member, made from its row: the signature, the
// description, who may read and write it, its default, its range, the names
// of its values and the errors it raises with their messages.
PM32_TOOLKIT_API std::string MemberHelp(const MemberRow& row);

// Every member's name, by group, one group a paragraph.
PM32_TOOLKIT_API std::string MemberIndex();

}  // namespace pm32::control
