#include "tools/picbuf/picbuf.h"

#include <QApplication>
#include <QDialog>
#include <cstdlib>
#include <optional>

#include "control/pm32.h"
#include "platform/window/gui_application.h"
#include "tools/picbuf/command_line.h"
#include "tools/picbuf/container.h"
#include "tools/picbuf/executor.h"
#include "tools/picbuf/form_file.h"
#include "tools/picbuf/help.h"
#include "tools/picbuf/member_listing.h"
#include "tools/picbuf/page_session.h"
#include "tools/picbuf/printer_value.h"
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
        options.loadForm.empty() && options.saveForm.empty() && !options.pages &&
        options.pagesSnapshot.empty()) {
        err << "picbuf: no statements to run\nTry 'picbuf --help'.\n";
        return 2;
    }
    // Pages are widgets: their application must be the first Qt application
    // of the run, before a statement draws and makes a plain one.
    if (options.pages && std::getenv("DISPLAY") == nullptr &&
        std::getenv("WAYLAND_DISPLAY") == nullptr) {
        err << "picbuf: --pages needs a display; --pages-snapshot renders without one\n";
        return 2;
    }
    if ((options.pages || !options.pagesSnapshot.empty()) &&
        platform::EnsureWidgetApplication(!options.pages) == nullptr) {
        err << "picbuf: cannot start the widget application\n";
        return 1;
    }
    std::optional<Printer> printer;
    if (!options.printer.empty()) {
        try {
            printer.emplace(options.printer);
        } catch (const automation::AutomationError& error) {
            err << "picbuf: " << error.description() << '\n';
            return 1;
        }
        for (std::string& statement : options.statements)
            statement = WithPrinter(statement, printer->context());
    }
    Container container(options.controls, !options.designMode, options.events ? &out : nullptr,
                        options.client);
    for (const auto& [name, database] : options.dataSources) {
        if (!container.addDataSource(name, database)) {
            err << "picbuf: --data " << name << ": the name is taken\n";
            return 2;
        }
    }
    try {
        if (!options.loadForm.empty()) LoadFormFile(options.loadForm, container.controls());
    } catch (const FormError& error) {
        err << "picbuf: " << error.what() << '\n';
        return 1;
    }
    if (options.modern) {
        for (const auto& [name, control] : container.controls().all())
            automation::PutProperty(*control, "LoadModernFiles", automation::Variant::Bool(true));
    }
    if (options.members) PrintMembers(container.controls().first().GetTypeInfo(), out);
    Executor executor(container.controls(), out, err);
    int status = executor.runAll(options.statements, options.keepGoing);
    // As a form's data control does when the form closes.
    if (const std::string problem = container.updateRecords(); !problem.empty()) {
        out.flush();
        err << "picbuf: " << problem << '\n';
        status = 1;
    }
    if (options.pages)
        ShowPropertyPages(container.controls(), out, [](QDialog& dialog) { return dialog.exec(); });
    if (std::string problem;
        !options.pagesSnapshot.empty() &&
        !WritePageSnapshots(container.controls(), options.pagesSnapshot, problem)) {
        out.flush();
        err << "picbuf: " << problem << '\n';
        status = 1;
    }
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
