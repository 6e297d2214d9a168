#include "tools/picbuf/help.h"

#include "control/member_help.h"
#include "platform/text_compare.h"
#include "tools/picbuf/command_line.h"

namespace pm32::tools {

int PrintHelp(std::string_view topic, std::ostream& out, std::ostream& err) {
    if (topic.empty()) {
        out << HelpText();
        return 0;
    }
    if (platform::EqualsIgnoringCase(topic, "members")) {
        out << control::MemberIndex();
        return 0;
    }
    if (const control::MemberRow* row = control::FindMember(topic)) {
        out << control::MemberHelp(*row);
        return 0;
    }
    err << "picbuf: the control has no member named '" << topic
        << "'\nTry 'picbuf --help members'.\n";
    return 2;
}

}  // namespace pm32::tools
