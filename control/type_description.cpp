#include "control/type_description.h"

#include "control/identity.h"
#include "control/member_row.h"

namespace pm32::control {
namespace {

using automation::EnumInfo;
using automation::MemberInfo;

std::vector<EnumInfo> publishedEnums() {
    std::vector<EnumInfo> published;
    for (const Enumeration* enumeration : Enumerations()) {
        EnumInfo info{std::string(enumeration->name), {}};
        for (const EnumValue& value : enumeration->values)
            info.values.emplace_back(std::string(value.name), value.value);
        published.push_back(std::move(info));
    }
    return published;
}

automation::TypeInfo build() {
    automation::TypeInfo info;
    info.name = "Picbuf";
    info.progId = kProgId;
    info.classId = kClassId;
    info.interfaceId = kDispatchInterfaceId;
    info.eventInterfaceId = kEventInterfaceId;
    info.typeLibraryId = kTypeLibraryId;
    info.typeLibraryVersion = kTypeLibraryVersion;
    for (const MemberRow& row : MemberTable()) {
        MemberInfo member;
        member.id = row.id;
        member.name = row.name;
        member.kind = row.kind;
        member.type = row.type;
        member.params = row.params;
        member.help = row.description;
        if (row.enumeration) member.enumeration = row.enumeration->name;
        if (row.kind == MemberKind::Property) {
            member.readable = row.get != GetRule::None;
            member.writable = row.set != SetRule::ReadOnly;
        }
        info.members.push_back(std::move(member));
    }
    for (const EventRow& row : EventTable())
        info.events.push_back({row.id,
                               std::string(row.name),
                               MemberKind::Event,
                               VarType::Empty,
                               row.params,
                               false,
                               false,
                               {},
                               {}});
    info.enums = publishedEnums();
    return info;
}

}  // namespace

const automation::TypeInfo& PicbufTypeInfo() {
    static const automation::TypeInfo info = build();
    return info;
}

}  // namespace pm32::control
