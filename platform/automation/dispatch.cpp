#include "platform/automation/dispatch.h"

#include "platform/text_compare.h"

namespace pm32::automation {
namespace {

DispId idOf(Dispatch& object, std::string_view name) {
    auto id = object.GetIdOfName(name);
    if (!id) throw AutomationError(DISP_E_UNKNOWNNAME, "Unknown name: " + std::string(name));
    return *id;
}

}  // namespace

const MemberInfo* TypeInfo::find(DispId id) const {
    for (const MemberInfo& m : members)
        if (m.id == id) return &m;
    return nullptr;
}

const MemberInfo* TypeInfo::find(std::string_view wanted) const {
    for (const MemberInfo& m : members)
        if (platform::EqualsIgnoringCase(m.name, wanted)) return &m;
    return nullptr;
}

std::string_view MemberKindName(MemberKind kind) {
    switch (kind) {
        case MemberKind::Property:
            return "property";
        case MemberKind::Method:
            return "method";
        case MemberKind::Event:
            return "event";
    }
    return "member";
}

std::string ParameterText(const ParamInfo& param) {
    std::string text;
    if (param.optional) text += "Optional ";
    if (param.byRef) text += "ByRef ";
    text += param.name;
    if (param.array) text += "()";
    return text + " As " + std::string(VarTypeName(param.type));
}

std::string SignatureText(std::string_view name, std::span<const ParamInfo> params, VarType type) {
    std::string text(name);
    if (!params.empty()) {
        text += '(';
        for (std::size_t i = 0; i < params.size(); ++i)
            text += (i == 0 ? "" : ", ") + ParameterText(params[i]);
        text += ')';
    }
    if (type != VarType::Empty) text += " As " + std::string(VarTypeName(type));
    return text;
}

TypeInfo PropertyTypeInfo(std::string name, std::initializer_list<PropertyRow> rows,
                          bool writable) {
    TypeInfo info;
    info.name = std::move(name);
    for (const PropertyRow& row : rows)
        info.members.push_back({.id = row.id,
                                .name = row.name,
                                .kind = MemberKind::Property,
                                .type = row.type,
                                .params = {},
                                .readable = true,
                                .writable = writable,
                                .help = {},
                                .enumeration = {}});
    return info;
}

std::optional<DispId> IdOfMember(const TypeInfo& info, std::string_view name) {
    const MemberInfo* member = info.find(name);
    if (member == nullptr) return std::nullopt;
    return member->id;
}

Variant GetProperty(Dispatch& object, std::string_view name) {
    return object.Invoke(idOf(object, name), InvokeKind::PropertyGet, {});
}

void PutProperty(Dispatch& object, std::string_view name, Variant value) {
    object.Invoke(idOf(object, name), InvokeKind::PropertyPut, std::span(&value, 1));
}

Variant CallMethod(Dispatch& object, std::string_view name, std::vector<Variant> args) {
    return object.Invoke(idOf(object, name), InvokeKind::Method, args);
}

}  // namespace pm32::automation
