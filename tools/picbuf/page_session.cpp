#include "tools/picbuf/page_session.h"

#include <QString>
#include <filesystem>

#include "control/pages/page_factory.h"
#include "control/pages/property_sheet.h"
#include "tools/picbuf/value_format.h"

namespace pm32::tools {
namespace {

// Pages are laid out at least as large as their dialogs were: 250 x 110
// dialog units at the system font.
constexpr QSize kDialogSize(375, 180);

automation::DispatchPtr firstControl(const ControlSet& controls) {
    return controls.find(controls.firstName());
}

}  // namespace

bool ShowPropertyPages(const ControlSet& controls, std::ostream& out, const DialogRunner& run) {
    control::pages::PropertySheet sheet(
        QString::fromStdString(controls.firstName()) + " Properties", {firstControl(controls)});
    if (run(sheet) != QDialog::Accepted) return false;
    for (const std::string& name : sheet.written())
        out << name << '=' << FormatValue(automation::GetProperty(controls.first(), name), controls)
            << '\n';
    return true;
}

bool WritePageSnapshots(const ControlSet& controls, const std::string& folder,
                        std::string& problem) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        problem = "cannot make the folder " + folder + ": " + error.message();
        return false;
    }
    for (auto& page : control::pages::CreateControlPages()) {
        page->setObjects({firstControl(controls)});
        page->resize(page->sizeHint().expandedTo(kDialogSize));
        const std::string path =
            (std::filesystem::path(folder) / (std::string(page->pageClass().className) + ".png"))
                .string();
        if (!page->grab().save(QString::fromStdString(path), "PNG")) {
            problem = "cannot write the page snapshot " + path;
            return false;
        }
    }
    return true;
}

}  // namespace pm32::tools
