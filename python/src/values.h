#pragma once

#include <pm32.h>
#include <pybind11/pybind11.h>

namespace pixmill {

// The marker of an optional argument left out before a given one.
struct Missing {};

// A Python value as an automation value of the type a member declares
// (VarType::Variant keeps the value's own type). Integers from -2^31 to 2^32-1
// are longs, the upper half wrapping as 0xFFBBGGRR colours do; control objects
// travel as their object value. Impossible coercions throw AutomationError.
pm32::Variant ToVariant(pybind11::handle value, pm32::VarType type);

// A by-reference array argument made from any sequence; each element takes the
// element type.
pm32::automation::ArrayPtr ToArray(pybind11::handle sequence, pm32::VarType elementType);

// An automation value as Python: None, int, float, bool, str, a list for an
// array, an Object for an object.
pybind11::object FromVariant(const pm32::Variant& value);

}  // namespace pixmill
