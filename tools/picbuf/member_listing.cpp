#include "tools/picbuf/member_listing.h"

namespace pm32::tools {
namespace {

using automation::MemberInfo;
using automation::MemberKind;
using automation::ParamInfo;
using automation::VarType;

std::string typeName(VarType type) { return std::string(automation::VarTypeName(type)); }

// Written the way a Basic declaration reads: [Optional] [ByRef] name[()] As Type.
std::string parameter(const ParamInfo& param) {
    std::string text;
    if (param.optional) text += "Optional ";
    if (param.byRef) text += "ByRef ";
    text += param.name;
    if (param.array) text += "()";
    return text + " As " + typeName(param.type);
}

std::string kindName(MemberKind kind) {
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

void printMember(const MemberInfo& member, std::ostream& out) {
    out << member.id << ' ' << kindName(member.kind) << ' ' << member.name;
    if (!member.params.empty()) {
        out << '(';
        for (std::size_t i = 0; i < member.params.size(); ++i)
            out << (i == 0 ? "" : ", ") << parameter(member.params[i]);
        out << ')';
    }
    if (member.type != VarType::Empty) out << " As " << typeName(member.type);
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
