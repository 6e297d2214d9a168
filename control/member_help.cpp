#include "control/member_help.h"

#include <algorithm>
#include <cstdio>

#include "engine/string_table.h"

namespace pm32::control {
namespace {

using automation::SignatureText;

std::string errorText(ErrorNumber number) {
    std::string text = std::to_string(number);
    auto message = LoadResourceString(number);
    return text + "  " + std::string(message ? *message : "(a number without message text)");
}

std::string readText(GetRule rule, ErrorNumber accessError) {
    switch (rule) {
        case GetRule::Always:
            return "get any time";
        case GetRule::RunTimeOnly:
            return "get at run time only";
        case GetRule::WriteOnly:
            return "get refused (" + std::to_string(accessError) + ")";
        case GetRule::None:
            return "get not published";
    }
    return {};
}

std::string writeText(SetRule rule, ErrorNumber accessError) {
    switch (rule) {
        case SetRule::Always:
            return "set any time";
        case SetRule::RunTimeOnly:
            return "set at run time only";
        case SetRule::ReadOnly:
            return "read-only";
        case SetRule::Refused:
            return "set refused (" + std::to_string(accessError) + ")";
        case SetRule::Ignored:
            return "a set is ignored";
        case SetRule::DesignTimeOnly:
            return "set at design time only (" + std::to_string(accessError) + " at run time)";
    }
    return {};
}

std::string valueText(const Variant& value) {
    switch (value.type()) {
        case VarType::Bool:
            return value.toBool() ? "True" : "False";
        case VarType::String:
            return '"' + value.toString() + '"';
        case VarType::I4: {
            // System colours and other flag words read better in hex.
            const auto word = static_cast<std::uint32_t>(value.toI4());
            if (word <= 0xFFFF) return std::to_string(word);
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%08X", word);
            return hex;
        }
        default:
            return value.toString();
    }
}

std::string rangeText(const Range& range) {
    std::string text = std::to_string(range.min) + " to " + std::to_string(range.max);
    if (range.alsoAllowed) text += " or " + std::to_string(*range.alsoAllowed);
    return text + ", else error " + std::to_string(range.error);
}

std::string enumerationText(const Enumeration& enumeration) {
    std::string text(enumeration.name);
    text += ':';
    for (const EnumValue& value : enumeration.values)
        text += ' ' + std::string(value.name) + '=' + std::to_string(value.value);
    return text;
}

// Words filled into lines of at most 78 columns, each after the indent.
std::string wrapped(std::string_view words, std::string_view indent) {
    std::string text(indent);
    std::size_t column = indent.size();
    bool first = true;
    while (!words.empty()) {
        std::size_t end = words.find(' ');
        std::string_view word = words.substr(0, end);
        words = end == std::string_view::npos ? std::string_view() : words.substr(end + 1);
        if (word.empty()) continue;
        if (!first && column + 1 + word.size() > 78) {
            text += '\n';
            text += indent;
            column = indent.size();
        } else if (!first) {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
        first = false;
    }
    return text + '\n';
}

}  // namespace

std::string MemberHelp(const MemberRow& row) {
    std::string text = std::string(automation::MemberKindName(row.kind)) + ' ' +
                       SignatureText(row.name, row.params, row.type) + '\n';
    text += wrapped(row.description, "  ");
    text += "  group: " + std::string(GroupName(row.group)) + '\n';
    if (row.kind == MemberKind::Property) {
        text += "  access: " + readText(row.get, row.accessError) + ", " +
                writeText(row.set, row.accessError) + '\n';
        if (row.persisted())
            text += "  saved with the control" +
                    (row.stored ? ", default " + valueText(row.initial) : std::string()) + '\n';
        else if (row.stored)
            text += "  starts as " + valueText(row.initial) + ", not saved\n";
    }
    if (row.range) text += "  range: " + rangeText(*row.range) + '\n';
    if (row.enumeration) text += wrapped("values: " + enumerationText(*row.enumeration), "  ");
    if (!row.raises.empty()) {
        text += "  errors, in the order they are checked:\n";
        for (ErrorNumber number : row.raises) text += "    " + errorText(number) + '\n';
    }
    return text;
}

std::string MemberIndex() {
    constexpr MemberGroup groups[] = {
        MemberGroup::File,     MemberGroup::Colour,   MemberGroup::Filters,
        MemberGroup::Geometry, MemberGroup::Drawing,  MemberGroup::View,
        MemberGroup::Regions,  MemberGroup::Exchange, MemberGroup::State};
    std::string text;
    for (MemberGroup group : groups) {
        std::vector<std::string_view> names;
        for (const MemberRow& row : MemberTable())
            if (row.group == group) names.push_back(row.name);
        std::ranges::sort(names);
        text += std::string(GroupName(group)) + ":\n ";
        std::size_t column = 1;
        for (std::string_view name : names) {
            if (column + name.size() + 1 > 79) {
                text += "\n ";
                column = 1;
            }
            text += ' ' + std::string(name);
            column += name.size() + 1;
        }
        text += "\n\n";
    }
    return text + "picbuf --help NAME tells more of one member.\n";
}

}  // namespace pm32::control
