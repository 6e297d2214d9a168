#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/automation/automation_error.h"

namespace pm32::automation {

class Dispatch;
class Variant;
struct SafeArray;

using DispatchPtr = std::shared_ptr<Dispatch>;
using ArrayPtr = std::shared_ptr<SafeArray>;

// The automation value types, numbered as their VARTYPE codes.
enum class VarType : std::uint16_t {
    Empty = 0,
    Null = 1,
    I2 = 2,
    I4 = 3,
    R8 = 5,
    String = 8,
    Dispatch = 9,
    Error = 10,  // with DISP_E_PARAMNOTFOUND: an omitted optional argument
    Bool = 11,
    Variant = 12,
    Unknown = 13,
};

PM32_API std::string_view VarTypeName(VarType type);

// A one-dimensional array whose elements all have the element type (Variant
// elements hold anything).
struct SafeArray {
    VarType elementType = VarType::Variant;
    std::int32_t lowerBound = 0;
    std::vector<Variant> elements;
};

// A late-bound value: a plain value, an array, or a reference to a caller's
// variable or array element that a callee may write through.
class PM32_API Variant {
  public:
    Variant() = default;

    static Variant Missing();
    static Variant NullValue();
    static Variant I2(std::int16_t value);
    static Variant I4(std::int32_t value);
    static Variant R8(double value);
    static Variant Bool(bool value);
    static Variant String(std::string value);
    static Variant Object(DispatchPtr value);
    static Variant UnknownObject();
    static Variant Array(ArrayPtr array);
    // References; the referenced variable or array must outlive the reference.
    static Variant Ref(Variant* target);
    static Variant ElementRef(ArrayPtr array, std::size_t index);

    // The type of the value, looking through a reference.
    VarType type() const;
    bool isArray() const;
    bool isByRef() const;
    bool isMissing() const;
    bool isEmpty() const { return type() == VarType::Empty; }

    // The value behind a reference (itself when not a reference).
    const Variant& value() const;

    // Writes through a reference; on a plain value replaces it.
    void assign(const Variant& newValue);

    // Coercions a late-bound caller relies on; impossible ones throw
    // AutomationError with DISP_E_TYPEMISMATCH, out-of-range ones DISP_E_OVERFLOW.
    std::int16_t toI2() const;
    std::int32_t toI4() const;
    double toR8() const;
    bool toBool() const;
    std::string toString() const;
    DispatchPtr toDispatch() const;  // null for Empty, Null and a null object
    ArrayPtr toArray() const;        // throws unless an array

    // The value coerced to a type (Variant keeps it as it is).
    Variant coerced(VarType type) const;

  private:
    struct MissingTag {};
    struct NullTag {};
    struct UnknownTag {};
    struct VariableRef {
        Variant* target;
    };
    struct ArrayElementRef {
        ArrayPtr array;
        std::size_t index;
    };

    using Storage =
        std::variant<std::monostate, MissingTag, NullTag, std::int16_t, std::int32_t, double, bool,
                     std::string, DispatchPtr, UnknownTag, ArrayPtr, VariableRef, ArrayElementRef>;

    explicit Variant(Storage storage) : storage_(std::move(storage)) {}

    Storage storage_;
};

}  // namespace pm32::automation
