#include "tools/picbuf/picbuf.h"

#include "tools/picbuf/command_line.h"
#include "tools/picbuf/container.h"
#include "tools/picbuf/executor.h"
#include "tools/picbuf/form_file.h"
#include "tools/picbuf/help.h"
#include "tools/picbuf/member_listing.h"
#include "tools/picbuf/printer_target.h"
#include "tools/picbuf/snapshot.h"

namespace pm32::tools {

int RunPicbuf(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    Options options;
    try {
        options = ParseCommandLine(args);
    } catch (const UsageError& error) {
        err << "picbuf: " << error.what() << "\nTry 'picbuf --help'.\n";
        return 2;
    }
    if (options.help) return PrintHelp(options.helpTopic, out, err);
    if (options.statements.empty() && !options.members && options.snapshot.empty() &&
        options.loadForm.empty() && options.saveForm.empty()) {
        err << "picbuf: no statements to run\nTry 'picbuf --help'.\n";
        return 2;
    }
    std::unique_ptr<PrinterTarget> printer;
    if (!options.printer.empty()) {
        std::string problem;
        printer = PrinterTarget::Open(options.printer, problem);
        if (!printer) {
            err << "picbuf: " << problem << '\n';
            return 1;
        }
        for (std::string& statement : options.statements)
            statement = WithPrinter(statement, printer->Context());
    }
    Container container(options.controls, !options.designMode, options.events ? &out : nullptr,
                        options.client);
    try {
        if (!options.loadForm.empty()) LoadFormFile(options.loadForm, container.controls());
    } catch (const FormError& error) {
        err << "picbuf: " << error.what() << '\n';
        return 1;
    }
    if (options.members) PrintMembers(container.controls().first().GetTypeInfo(), out);
    Executor executor(container.controls(), out, err);
    int status = executor.runAll(options.statements, options.keepGoing);
    if (std::string problem; !options.snapshot.empty() &&
                             !WriteSnapshot(*container.firstWindow(), options.snapshot, problem)) {
        out.flush();
        err << "picbuf: " << problem << '\n';
        status = 1;
    }
    try {
        if (!options.saveForm.empty()) SaveFormFile(options.saveForm, container.controls());
    } catch (const FormError& error) {
        out.flush();
        err << "picbuf: " << error.what() << '\n';
        status = 1;
    }
    return status;
}

}  // namespace pm32::tools
