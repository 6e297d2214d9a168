#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <string>

#include "control_object.h"
#include "errors.h"
#include "pixels.h"
#include "values.h"

namespace py = pybind11;

namespace pixmill {
namespace {

using pixmill::ControlObject;

py::dict ParamDict(const pm32::automation::ParamInfo& param) {
    py::dict row;
    row["name"] = param.name;
    row["type"] = std::string(pm32::automation::VarTypeName(param.type));
    row["byref"] = param.byRef;
    row["optional"] = param.optional;
    row["array"] = param.array;
    return row;
}

py::dict MemberDict(const pm32::automation::MemberInfo& member) {
    py::dict row;
    row["name"] = member.name;
    row["id"] = member.id;
    row["kind"] = std::string(pm32::automation::MemberKindName(member.kind));
    row["type"] = std::string(pm32::automation::VarTypeName(member.type));
    py::list params;
    for (const auto& param : member.params) params.append(ParamDict(param));
    row["params"] = params;
    row["readable"] = member.readable;
    row["writable"] = member.writable;
    row["help"] = member.help;
    row["enumeration"] = member.enumeration;
    row["signature"] = pm32::automation::SignatureText(member.name, member.params, member.type);
    return row;
}

// The type description as plain Python values, for the package to build its
// classes and enumerations from.
py::dict TypeInfoDict(const pm32::TypeInfo& info) {
    py::dict described;
    described["name"] = info.name;
    described["progid"] = info.progId;
    py::list members;
    for (const auto& member : info.members) members.append(MemberDict(member));
    described["members"] = members;
    py::list events;
    for (const auto& event : info.events) events.append(MemberDict(event));
    described["events"] = events;
    py::dict enums;
    for (const auto& enumeration : info.enums)
        enums[py::str(enumeration.name)] = enumeration.values;
    described["enums"] = enums;
    return described;
}

// The object behind an instance; null while it is not made yet (or failed to be).
ControlObject* CoreOf(PyObject* self) {
    try {
        return &py::cast<ControlObject&>(py::handle(self));
    } catch (const py::cast_error&) {
        return nullptr;
    }
}

// Handlers often refer to their own control, so the collector must see
// through the objects to the handlers they hold.
void TakePartInCollection(PyHeapTypeObject* heapType) {
    PyTypeObject* type = &heapType->ht_type;
    type->tp_flags |= Py_TPFLAGS_HAVE_GC;
    type->tp_traverse = [](PyObject* self, visitproc visit, void* arg) {
        Py_VISIT(Py_TYPE(self));
        const ControlObject* object = CoreOf(self);
        return object ? object->VisitHandlers(visit, arg) : 0;
    };
    type->tp_clear = [](PyObject* self) {
        if (ControlObject* object = CoreOf(self)) object->DropHandlers();
        return 0;
    };
}

}  // namespace
}  // namespace pixmill

PYBIND11_MODULE(_core, module) {
    using pixmill::ControlObject;
    module.doc() = "The compiled half of pixmill: controls driven by name through libpm32.";
    pixmill::RegisterErrors(module);

    py::class_<pixmill::Missing>(module, "Missing").def("__repr__", [](const pixmill::Missing&) {
        return "<missing>";
    });
    module.attr("missing") = pixmill::Missing{};

    py::class_<ControlObject>(module, "Object",
                              py::custom_type_setup(pixmill::TakePartInCollection))
        .def(py::init<std::string_view, bool>(), py::arg("progid"), py::arg("design") = false)
        .def("type_info",
             [](const ControlObject& self) { return pixmill::TypeInfoDict(self.TypeInfo()); })
        .def("member",
             [](const ControlObject& self, std::string_view name) -> py::object {
                 const pm32::automation::MemberInfo* member = self.Member(name);
                 return member ? py::object(pixmill::MemberDict(*member)) : py::none();
             })
        .def("get", &ControlObject::Get, py::arg("name"), py::arg("index") = py::tuple())
        .def("put", &ControlObject::Put, py::arg("name"), py::arg("value"),
             py::arg("index") = py::tuple())
        .def("call", &ControlObject::Call, py::arg("name"), py::arg("args") = py::tuple())
        .def("on", &ControlObject::On, py::arg("event"), py::arg("handler"))
        .def("to_numpy", &pixmill::ToNumpy)
        .def("palette", &pixmill::Palette)
        .def("from_numpy", &pixmill::FromNumpy, py::arg("pixels"));

    py::class_<pm32::Printer>(module, "Printer")
        .def(py::init<std::string_view>(), py::arg("target"),
             "A PDF file (\"NAME.pdf\") or a CUPS queue (\"cups:QUEUE\") to print on.")
        .def_property_readonly("context", &pm32::Printer::context,
                               "The value PrinterhDC takes; 0 once the document has ended.")
        .def("end", &pm32::Printer::end, "Ends the document: writes the file or sends the job.")
        .def(
            "__enter__", [](pm32::Printer& self) -> pm32::Printer& { return self; },
            py::return_value_policy::reference_internal)
        .def("__exit__", [](pm32::Printer& self, const py::args&) { self.end(); });

    module.def("error_message", &pm32::ErrorMessage, py::arg("number"),
               "The message of a control error number (\"\" for a number without one).");
}
