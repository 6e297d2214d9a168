#include "tools/picbuf/picbuf.h"

#include "tools/picbuf/command_line.h"
#include "tools/picbuf/container.h"
#include "tools/picbuf/executor.h"
#include "tools/picbuf/member_listing.h"

namespace pm32::tools {

int RunPicbuf(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    Options options;
    try {
        options = ParseCommandLine(args);
    } catch (const UsageError& error) {
        err << "picbuf: " << error.what() << "\nTry 'picbuf --help'.\n";
        return 2;
    }
    if (options.help) {
        out << HelpText();
        return 0;
    }
    if (options.statements.empty() && !options.members) {
        err << "picbuf: no statements to run\nTry 'picbuf --help'.\n";
        return 2;
    }
    Container container(options.controls, !options.designMode, options.events ? &out : nullptr);
    if (options.members) PrintMembers(container.controls().first().GetTypeInfo(), out);
    Executor executor(container.controls(), out, err);
    return executor.runAll(options.statements, options.keepGoing);
}

}  // namespace pm32::tools
