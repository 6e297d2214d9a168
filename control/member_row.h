#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "control/enumerations.h"
#include "engine/errors.h"
#include "platform/automation/dispatch.h"
#include "platform/toolkit_export.h"

namespace pm32::control {

class ZPm32;

using automation::DispId;
using automation::MemberKind;
using automation::ParamInfo;
using automation::Variant;
using automation::VarType;

// Who may read a property.
enum class GetRule {
    Always,
    RunTimeOnly,  // design time: the framework's "get not supported"
    WriteOnly,    // run time: the member's access error; design time: "get not supported"
    None,         // not published
};

// Who may write a property.
enum class SetRule {
    Always,
    RunTimeOnly,     // design time: the framework's "get not supported", as the framework does it
    ReadOnly,        // the framework's "set not supported"
    Refused,         // always the member's access error
    Ignored,         // accepted and dropped
    DesignTimeOnly,  // run time: the member's access error
};

// Values a property accepts; anything else is refused with error.
struct Range {
    std::int32_t min;
    std::int32_t max;
    ErrorNumber error;
    std::optional<std::int32_t> alsoAllowed = std::nullopt;
};

using Getter = Variant (*)(ZPm32& control, std::span<Variant> index);
using Setter = void (*)(ZPm32& control, std::span<Variant> index, const Variant& value);
using Check = void (*)(ZPm32& control, const Variant& value);
using AfterSet = void (*)(ZPm32& control, const Variant& value);
using MethodHandler = Variant (*)(ZPm32& control, std::span<Variant> args);
// The persisted text of a member the value table does not keep, and back:
// without text (an old bag), or with text the property would refuse, the
// member takes its default.
using Saver = std::string (*)(const ZPm32& control);
using Loader = void (*)(ZPm32& control, std::optional<std::string_view> text);

// What a member is about, for the help that lists members by topic.
enum class MemberGroup { File, Colour, Filters, Geometry, Drawing, View, Regions, Exchange, State };

// The group's name as the help shows it: "file", "colour", ...
PM32_TOOLKIT_API std::string_view GroupName(MemberGroup group);

// One row of the control's member table: everything dispatch, the type
// description, persistence, the help and the command-line container need to
// know. The rows are declared once, in member_rows.def. A member with no
// handler and no stored value is not built yet and raises E_NOTIMPL.
struct MemberRow {
    DispId id = 0;
    std::string_view name = {};
    MemberGroup group = MemberGroup::State;
    std::string_view description = {};  // one line: what it does, its units and neutral values
    MemberKind kind = MemberKind::Property;
    VarType type = VarType::Empty;
    std::vector<ParamInfo> params = {};
    const Enumeration* enumeration = nullptr;  // its values, or its enumerated parameter's
    GetRule get = GetRule::Always;
    SetRule set = SetRule::Always;
    ErrorNumber accessError = 0;  // for a method: what assigning to it raises
    std::optional<Range> range = std::nullopt;
    Check check = nullptr;
    bool stored = false;  // kept in the control's value table
    Variant initial = {};
    int persistAt = 0;  // place in the exchange order from 1 (stock and custom apart); 0: not kept
    bool notifies = true;  // a stored set reports the change to the container
    Getter getter = nullptr;
    Setter setter = nullptr;
    AfterSet afterSet = nullptr;
    MethodHandler method = nullptr;
    Saver save = nullptr;
    Loader load = nullptr;
    std::vector<ErrorNumber> raises = {};  // the member's own failures, in the order it checks

    bool persisted() const { return persistAt != 0; }
    bool stock() const { return id < 0; }
};

struct EventRow {
    DispId id;
    std::string_view name = {};
    std::vector<ParamInfo> params;
};

PM32_TOOLKIT_API const std::vector<MemberRow>& MemberTable();
PM32_TOOLKIT_API const MemberRow* FindMember(DispId id);
PM32_TOOLKIT_API const MemberRow* FindMember(std::string_view name);  // without case
const std::vector<EventRow>& EventTable();

// Persisted members in their exchange order: the stock ones, then the custom ones.
const std::vector<DispId>& StockPersistenceOrder();
const std::vector<DispId>& PersistenceOrder();

}  // namespace pm32::control
