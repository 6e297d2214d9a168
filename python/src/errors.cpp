#include "errors.h"

#include <cstdint>
#include <exception>
#include <string>

namespace pixmill {
namespace py = pybind11;
namespace {

constexpr const char* kErrorDoc =
    "A member of a control failed.\n\n"
    "number: the control error number (20306, ...), or the 32-bit SCODE of any other\n"
    "automation failure (0x80020006 for an unknown name, ...).\n"
    "message: the error's message.";

// The control's own number, or the whole SCODE as an unsigned value for
// failures of the automation layer.
std::uint32_t ErrorNumber(pm32::automation::SCODE scode) {
    return pm32::automation::IsControlScode(scode) ? pm32::automation::ControlErrorNumber(scode)
                                                   : static_cast<std::uint32_t>(scode);
}

}  // namespace

void RegisterErrors(py::module_& module) {
    py::object type = py::reinterpret_steal<py::object>(
        PyErr_NewExceptionWithDoc("pixmill.Error", kErrorDoc, PyExc_Exception, nullptr));
    if (!type) throw py::error_already_set();
    module.attr("Error") = type;
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown) std::rethrow_exception(thrown);
        } catch (const pm32::AutomationError& error) {
            SetPythonError(error);
        }
    });
}

void SetPythonError(const pm32::AutomationError& error) {
    const std::uint32_t number = ErrorNumber(error.scode());
    const std::string& message = error.description();
    py::object type = py::module_::import("pixmill._core").attr("Error");
    const bool control = pm32::automation::IsControlScode(error.scode());
    py::object instance =
        type(py::str("error {}: {}")
                 .format(control ? py::str(py::int_(number)) : py::str("0x{:08X}").format(number),
                         message));
    instance.attr("number") = number;
    instance.attr("message") = message;
    PyErr_SetObject(type.ptr(), instance.ptr());
}

}  // namespace pixmill
