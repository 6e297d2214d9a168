#include "tools/picbuf/manual_page.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "control/member_help.h"
#include "control/member_row.h"
#include "tools/picbuf/command_line.h"

namespace pm32::tools {
namespace {

// Text set verbatim: backslashes doubled, and a line that would read as a
// request (leading dot or quote) guarded by a zero-width escape.
std::string roffLiteral(const std::string& text) {
    std::string out;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && (line[0] == '.' || line[0] == '\'')) out += "\\&";
        for (char c : line) out += c == '\\' ? std::string("\\e") : std::string(1, c);
        out += '\n';
    }
    return out;
}

void preformatted(std::string& page, const std::string& text) {
    if (text.find_first_not_of(" \n") == std::string::npos) return;
    page += ".nf\n" + roffLiteral(text) + ".fi\n";
}

// The usage text: its first line is the synopsis, an unindented line of one
// word opens a section, the rest is kept as laid out.
std::string usageSections() {
    std::istringstream lines{std::string(HelpText())};
    std::string line;
    std::getline(lines, line);
    std::string page = ".SH SYNOPSIS\n.B picbuf\n[options] statement...\n.SH DESCRIPTION\n";
    std::string block;
    while (std::getline(lines, line)) {
        const bool heading = !line.empty() && line[0] != ' ' &&
                             line.find(' ') == std::string::npos && line.back() != '.';
        if (!heading) {
            block += line + '\n';
            continue;
        }
        preformatted(page, block);
        block.clear();
        std::string title = line;
        std::ranges::transform(title, title.begin(),
                               [](unsigned char c) { return std::toupper(c); });
        page += ".SH " + title + '\n';
    }
    preformatted(page, block);
    return page;
}

std::string memberSections() {
    std::string page = ".SH MEMBERS\n";
    for (int g = 0; g <= static_cast<int>(control::MemberGroup::State); ++g) {
        const auto group = static_cast<control::MemberGroup>(g);
        std::vector<const control::MemberRow*> rows;
        for (const control::MemberRow& row : control::MemberTable())
            if (row.group == group) rows.push_back(&row);
        if (rows.empty()) continue;
        std::ranges::sort(rows, {}, [](const control::MemberRow* row) { return row->name; });
        page += ".SS " + std::string(control::GroupName(group)) + '\n';
        for (const control::MemberRow* row : rows) {
            page += ".PP\n";
            preformatted(page, control::MemberHelp(*row));
        }
    }
    return page;
}

}  // namespace

std::string ManualPage() {
    return ".TH PICBUF 1 \"\" \"Pixmill32\" \"User Commands\"\n"
           ".SH NAME\npicbuf \\- run statements on Pixmill32 Picbuf image controls\n" +
           usageSections() + memberSections();
}

}  // namespace pm32::tools
