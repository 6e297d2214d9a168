#pragma once

#include <cstdint>
#include <string>

#include "control/zpm32.h"

namespace pm32::control {

// An array argument the control reads or writes by position: the caller's
// array itself (passed by reference), so written elements reach the caller.
class ArrayArgument {
  public:
    // Raises err::ArrayNotAllocated when no array is there, err::BadArrayType for something else or
    // for an array whose elements are neither of the type nor variants.
    ArrayArgument(const Variant& argument, VarType elementType);

    // Raises err::ZeroSizeArray for an empty array and err::OutOfArrayBounds for one with fewer
    // elements, before anything is read or written.
    void RequireElements(std::int64_t count) const;

    std::int32_t Integer(std::size_t position) const;  // err::BadArrayType when it is none
    std::string Text(std::size_t position) const;      // err::BadArrayType when it is none
    automation::DispatchPtr Object(
        std::size_t position) const;  // err::BadArrayType when it is none

    void SetInteger(std::size_t position, std::int32_t value);

  private:
    Variant& at(std::size_t position) const;  // err::OutOfArrayBounds past the end

    automation::ArrayPtr array_;
    VarType elementType_;
};

}  // namespace pm32::control
