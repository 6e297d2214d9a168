#pragma once

#include <pm32.h>
#include <pybind11/pybind11.h>

namespace pixmill {

// Adds the Error exception class to the module and makes every automation
// error that leaves a call arrive in Python as one.
void RegisterErrors(pybind11::module_& module);

// Sets the Python error indicator to a pixmill.Error for the automation error.
void SetPythonError(const pm32::AutomationError& error);

}  // namespace pixmill
