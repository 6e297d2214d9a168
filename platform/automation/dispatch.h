#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/variant.h"

namespace pm32::automation {

using DispId = std::int32_t;

enum class InvokeKind { Method, PropertyGet, PropertyPut };

enum class MemberKind { Property, Method, Event };

struct ParamInfo {
    std::string name;
    VarType type = VarType::Variant;
    bool byRef = false;
    bool optional = false;
    bool array = false;  // a one-dimensional array of the type, passed by reference
};

// "property", "method" or "event".
PM32_API std::string_view MemberKindName(MemberKind kind);

// A parameter as a Basic declaration reads: [Optional] [ByRef] name[()] As Type.
PM32_API std::string ParameterText(const ParamInfo& param);

// A member's call form: Name(parameter, ...) As Type, parts left out when empty.
PM32_API std::string SignatureText(std::string_view name, std::span<const ParamInfo> params,
                                   VarType type);

struct MemberInfo {
    DispId id = 0;
    std::string name;
    MemberKind kind = MemberKind::Method;
    VarType type = VarType::Empty;  // property type or method result; Empty for none
    std::vector<ParamInfo> params;  // method parameters, or a property's index
    bool readable = false;          // properties: whether a get is published
    bool writable = false;          // properties: whether a put is published
    std::string help;               // one line a browser or binding shows for the member
    std::string enumeration;        // the enumeration naming its values, if any
};

struct EnumInfo {
    std::string name;
    std::vector<std::pair<std::string, std::int32_t>> values;
};

// What a late-bound caller can learn of an object: its identity and every
// member with its parameters.
struct PM32_API TypeInfo {
    std::string name;
    std::string progId;
    std::string classId;
    std::string interfaceId;
    std::string eventInterfaceId;
    std::string typeLibraryId;
    std::string typeLibraryVersion;
    std::vector<MemberInfo> members;
    std::vector<MemberInfo> events;
    std::vector<EnumInfo> enums;

    const MemberInfo* find(DispId id) const;
    const MemberInfo* find(std::string_view name) const;  // without case
};

// One property of an object described by properties alone.
struct PropertyRow {
    DispId id;
    const char* name;
    VarType type;
};

// The type description of such an object; every property readable, and
// writable as asked.
PM32_API TypeInfo PropertyTypeInfo(std::string name, std::initializer_list<PropertyRow> rows,
                                   bool writable);

// The identifier of a described member, compared without case; what most
// objects answer to GetIdOfName.
PM32_API std::optional<DispId> IdOfMember(const TypeInfo& info, std::string_view name);

// An object reached by late binding.
class PM32_API Dispatch {
  public:
    virtual ~Dispatch() = default;

    // The identifier of a member name, compared without case.
    virtual std::optional<DispId> GetIdOfName(std::string_view name) const = 0;

    // Runs a member. Arguments come in the published order; a put carries the
    // new value as its last argument. By-reference arguments may be written
    // through. Failures throw AutomationError.
    virtual Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) = 0;

    virtual const TypeInfo& GetTypeInfo() const = 0;
};

// Calls by name for containers and tests.
PM32_API Variant GetProperty(Dispatch& object, std::string_view name);
PM32_API void PutProperty(Dispatch& object, std::string_view name, Variant value);
PM32_API Variant CallMethod(Dispatch& object, std::string_view name,
                            std::vector<Variant> args = {});

// Where a control's events go; the container implements it.
class PM32_API EventSink {
  public:
    virtual ~EventSink() = default;
    // By-reference arguments may be written; the control reads them back.
    virtual void OnEvent(DispId id, std::string_view name, std::span<Variant> args) = 0;
};

}  // namespace pm32::automation
