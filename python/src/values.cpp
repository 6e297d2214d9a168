#include "values.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "control_object.h"

namespace pixmill {
namespace py = pybind11;
namespace {

using pm32::Variant;
using pm32::VarType;

Variant Integer(py::handle value) {
    py::object index = py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
    if (!index) throw py::error_already_set();
    int overflow = 0;
    const long long number = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
    constexpr long long kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr long long kHighest = std::numeric_limits<std::uint32_t>::max();
    if (overflow != 0 || number < kLowest || number > kHighest) pm32::automation::ThrowOverflow();
    return Variant::I4(static_cast<std::int32_t>(static_cast<std::uint32_t>(number)));
}

Variant Natural(py::handle value) {
    if (value.is_none()) return Variant();
    if (py::isinstance<Missing>(value)) return Variant::Missing();
    if (py::isinstance<ControlObject>(value)) return value.cast<ControlObject&>().ObjectValue();
    if (py::isinstance<py::bool_>(value)) return Variant::Bool(value.cast<bool>());
    if (py::isinstance<py::float_>(value)) return Variant::R8(value.cast<double>());
    if (py::isinstance<py::str>(value)) return Variant::String(value.cast<std::string>());
    if (PyIndex_Check(value.ptr())) return Integer(value);
    if (py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value))
        return Variant::Array(ToArray(value, VarType::Variant));
    throw py::type_error("a control takes None, bool, int, float, str, a list or a control, not " +
                         py::str(py::type::handle_of(value).attr("__name__")).cast<std::string>());
}

}  // namespace

Variant ToVariant(py::handle value, VarType type) {
    Variant natural = Natural(value);
    // An object parameter takes no coercion: nothing but an object or nothing
    // fits it, and the control says which it refuses.
    if (type == VarType::Variant || type == VarType::Dispatch || type == VarType::Empty ||
        natural.isMissing() || natural.isArray())
        return natural;
    return natural.coerced(type);
}

pm32::automation::ArrayPtr ToArray(py::handle sequence, VarType elementType) {
    if (!py::isinstance<py::sequence>(sequence) || py::isinstance<py::str>(sequence))
        throw py::type_error("an array argument takes a list");
    auto array = std::make_shared<pm32::automation::SafeArray>();
    array->elementType = elementType;
    for (py::handle element : py::reinterpret_borrow<py::sequence>(sequence))
        array->elements.push_back(ToVariant(element, elementType));
    return array;
}

py::object FromVariant(const Variant& value) {
    if (value.isArray()) {
        py::list elements;
        for (const Variant& element : value.toArray()->elements)
            elements.append(FromVariant(element));
        return elements;
    }
    switch (value.type()) {
        case VarType::I2:
        case VarType::I4:
            return py::int_(value.toI4());
        case VarType::R8:
            return py::float_(value.toR8());
        case VarType::Bool:
            return py::bool_(value.toBool());
        case VarType::String:
            return py::str(value.toString());
        case VarType::Dispatch: {
            pm32::automation::DispatchPtr object = value.toDispatch();
            if (!object) return py::none();
            return py::cast(std::make_unique<ControlObject>(std::move(object)));
        }
        default:
            return py::none();
    }
}

}  // namespace pixmill
