#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "tools/picbuf/control_set.h"

class QDialog;

namespace pm32::tools {

// Runs the dialog until the user closes it: QDialog::exec on a display,
// something else in tests.
using DialogRunner = std::function<int(QDialog& dialog)>;

// Shows the first control's property pages in a tabbed dialog; after OK
// prints every property the pages wrote as Name=value, in page order.
// Needs the widget application. Returns whether OK closed the dialog.
bool ShowPropertyPages(const ControlSet& controls, std::ostream& out, const DialogRunner& run);

// Renders every page of the first control into folder as PNG files named
// after the page classes (ZGenPPG.png, ...), making the folder when needed.
// Needs the widget application. False with the problem when one cannot be written.
bool WritePageSnapshots(const ControlSet& controls, const std::string& folder,
                        std::string& problem);

}  // namespace pm32::tools
