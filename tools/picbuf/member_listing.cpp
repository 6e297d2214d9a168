#include "tools/picbuf/member_listing.h"

namespace pm32::tools {
namespace {

using automation::MemberInfo;
using automation::MemberKind;

void printMember(const MemberInfo& member, std::ostream& out) {
    out << member.id << ' ' << automation::MemberKindName(member.kind) << ' '
        << automation::SignatureText(member.name, member.params, member.type);
    if (member.kind == MemberKind::Property) {
        if (!member.writable) out << ", read-only";
        if (!member.readable) out << ", write-only";
    }
    out << '\n';
}

}  // namespace

void PrintMembers(const automation::TypeInfo& info, std::ostream& out) {
    out << "control " << info.name << '\n'
        << "ProgID " << info.progId << '\n'
        << "class " << info.classId << '\n'
        << "interface " << info.interfaceId << '\n'
        << "event interface " << info.eventInterfaceId << '\n'
        << "type library " << info.typeLibraryId << " version " << info.typeLibraryVersion << '\n';
    for (const MemberInfo& member : info.members) printMember(member, out);
    for (const MemberInfo& event : info.events) printMember(event, out);
    for (const automation::EnumInfo& enumeration : info.enums) {
        out << "enum " << enumeration.name;
        for (const auto& [name, value] : enumeration.values) out << ' ' << name << '=' << value;
        out << '\n';
    }
}

}  // namespace pm32::tools
