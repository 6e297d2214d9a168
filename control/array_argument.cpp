#include "control/array_argument.h"

namespace pm32::control {
namespace {

// Runs a coercion of an element, turning its automation failure into err::BadArrayType.
template <typename Read>
auto element(Read read) -> decltype(read()) {
    try {
        return read();
    } catch (const automation::AutomationError&) {
        Raise(err::BadArrayType);
    }
}

}  // namespace

ArrayArgument::ArrayArgument(const Variant& argument, VarType elementType)
    : elementType_(elementType) {
    if (!argument.isArray()) {
        VarType type = argument.type();
        bool absent = type == VarType::Empty || type == VarType::Null || type == VarType::Error;
        Raise(absent ? err::ArrayNotAllocated : err::BadArrayType);
    }
    try {
        array_ = argument.toArray();
    } catch (const automation::AutomationError&) {
        Raise(err::ArrayNotAllocated);
    }
    if (array_->elementType != elementType && array_->elementType != VarType::Variant)
        Raise(err::BadArrayType);
}

void ArrayArgument::RequireElements(std::int64_t count) const {
    if (count <= 0) return;
    if (array_->elements.empty()) Raise(err::ZeroSizeArray);
    if (static_cast<std::uint64_t>(count) > array_->elements.size()) Raise(err::OutOfArrayBounds);
}

Variant& ArrayArgument::at(std::size_t position) const {
    if (position >= array_->elements.size()) Raise(err::OutOfArrayBounds);
    return array_->elements[position];
}

std::int32_t ArrayArgument::Integer(std::size_t position) const {
    const Variant& value = at(position);
    return element([&] { return elementType_ == VarType::I2 ? value.toI2() : value.toI4(); });
}

std::string ArrayArgument::Text(std::size_t position) const {
    const Variant& value = at(position);
    if (value.type() != VarType::String) Raise(err::BadArrayType);
    return value.toString();
}

automation::DispatchPtr ArrayArgument::Object(std::size_t position) const {
    const Variant& value = at(position);
    return element([&] { return value.toDispatch(); });
}

void ArrayArgument::SetInteger(std::size_t position, std::int32_t value) {
    Variant& slot = at(position);
    slot = elementType_ == VarType::I2 ? Variant::I2(static_cast<std::int16_t>(value))
                                       : Variant::I4(value);
}

}  // namespace pm32::control
