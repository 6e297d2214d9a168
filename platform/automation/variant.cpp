#include "platform/automation/variant.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/text_compare.h"

namespace pm32::automation {
namespace {

inline constexpr SCODE DISP_E_BADINDEX = static_cast<SCODE>(0x8002000B);

// A whole string as a number, blanks around it allowed.
double parseNumber(const std::string& text) {
    const char* begin = text.c_str();
    while (*begin == ' ' || *begin == '\t') ++begin;
    if (*begin == '\0') ThrowTypeMismatch();
    char* end = nullptr;
    errno = 0;
    double number = std::strtod(begin, &end);
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0' || end == begin || std::isnan(number)) ThrowTypeMismatch();
    if (errno == ERANGE && std::isinf(number)) ThrowOverflow();
    return number;
}

// Reals become integers by rounding half to even, as automation conversions do.
std::int64_t roundedInteger(double number, double low, double high) {
    double rounded = std::nearbyint(number);
    if (!(rounded >= low && rounded <= high)) ThrowOverflow();
    return static_cast<std::int64_t>(rounded);
}

}  // namespace

std::string_view VarTypeName(VarType type) {
    switch (type) {
        case VarType::Empty:
            return "Empty";
        case VarType::Null:
            return "Null";
        case VarType::I2:
            return "Integer";
        case VarType::I4:
            return "Long";
        case VarType::R8:
            return "Double";
        case VarType::String:
            return "String";
        case VarType::Dispatch:
            return "Object";
        case VarType::Error:
            return "Error";
        case VarType::Bool:
            return "Boolean";
        case VarType::Variant:
            return "Variant";
        case VarType::Unknown:
            return "Unknown";
    }
    return "?";
}

void ThrowTypeMismatch() { throw AutomationError(DISP_E_TYPEMISMATCH, "Type mismatch"); }

void ThrowOverflow() { throw AutomationError(DISP_E_OVERFLOW, "Overflow"); }

void ThrowNotImplemented(const std::string& member) {
    throw AutomationError(E_NOTIMPL, member + " is not implemented");
}

Variant Variant::Missing() { return Variant(Storage(MissingTag{})); }
Variant Variant::NullValue() { return Variant(Storage(NullTag{})); }
Variant Variant::I2(std::int16_t value) { return Variant(Storage(value)); }
Variant Variant::I4(std::int32_t value) { return Variant(Storage(value)); }
Variant Variant::R8(double value) { return Variant(Storage(value)); }
Variant Variant::Bool(bool value) { return Variant(Storage(value)); }
Variant Variant::String(std::string value) { return Variant(Storage(std::move(value))); }
Variant Variant::Object(DispatchPtr value) { return Variant(Storage(std::move(value))); }
Variant Variant::UnknownObject() { return Variant(Storage(UnknownTag{})); }
Variant Variant::Array(ArrayPtr array) { return Variant(Storage(std::move(array))); }
Variant Variant::Ref(Variant* target) { return Variant(Storage(VariableRef{target})); }
Variant Variant::ElementRef(ArrayPtr array, std::size_t index) {
    return Variant(Storage(ArrayElementRef{std::move(array), index}));
}

const Variant& Variant::value() const {
    if (const auto* ref = std::get_if<VariableRef>(&storage_)) return ref->target->value();
    if (const auto* element = std::get_if<ArrayElementRef>(&storage_)) {
        if (!element->array || element->index >= element->array->elements.size())
            throw AutomationError(DISP_E_BADINDEX, "Subscript out of range");
        return element->array->elements[element->index].value();
    }
    return *this;
}

void Variant::assign(const Variant& newValue) {
    if (auto* ref = std::get_if<VariableRef>(&storage_)) {
        ref->target->assign(newValue);
        return;
    }
    if (auto* element = std::get_if<ArrayElementRef>(&storage_)) {
        SafeArray& array = *element->array;
        if (element->index >= array.elements.size())
            throw AutomationError(DISP_E_BADINDEX, "Subscript out of range");
        array.elements[element->index] = newValue.coerced(array.elementType);
        return;
    }
    *this = newValue.value();
}

VarType Variant::type() const {
    const Variant& v = value();
    switch (v.storage_.index()) {
        case 0:
            return VarType::Empty;
        case 1:
            return VarType::Error;
        case 2:
            return VarType::Null;
        case 3:
            return VarType::I2;
        case 4:
            return VarType::I4;
        case 5:
            return VarType::R8;
        case 6:
            return VarType::Bool;
        case 7:
            return VarType::String;
        case 8:
            return VarType::Dispatch;
        case 9:
            return VarType::Unknown;
        case 10:
            return std::get<ArrayPtr>(v.storage_)->elementType;
        default:
            return VarType::Empty;
    }
}

bool Variant::isArray() const { return std::holds_alternative<ArrayPtr>(value().storage_); }

bool Variant::isByRef() const {
    return std::holds_alternative<VariableRef>(storage_) ||
           std::holds_alternative<ArrayElementRef>(storage_);
}

bool Variant::isMissing() const { return std::holds_alternative<MissingTag>(value().storage_); }

double Variant::toR8() const {
    const Storage& s = value().storage_;
    if (std::holds_alternative<std::monostate>(s)) return 0;
    if (const auto* v = std::get_if<std::int16_t>(&s)) return *v;
    if (const auto* v = std::get_if<std::int32_t>(&s)) return *v;
    if (const auto* v = std::get_if<double>(&s)) return *v;
    if (const auto* v = std::get_if<bool>(&s)) return *v ? -1 : 0;
    if (const auto* v = std::get_if<std::string>(&s)) {
        if (platform::EqualsIgnoringCase(*v, "True")) return -1;
        if (platform::EqualsIgnoringCase(*v, "False")) return 0;
        return parseNumber(*v);
    }
    ThrowTypeMismatch();
}

std::int32_t Variant::toI4() const {
    const Storage& s = value().storage_;
    if (const auto* v = std::get_if<std::int32_t>(&s)) return *v;
    return static_cast<std::int32_t>(roundedInteger(toR8(),
                                                    std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max()));
}

std::int16_t Variant::toI2() const {
    return static_cast<std::int16_t>(roundedInteger(toR8(),
                                                    std::numeric_limits<std::int16_t>::min(),
                                                    std::numeric_limits<std::int16_t>::max()));
}

bool Variant::toBool() const { return toR8() != 0; }

std::string Variant::toString() const {
    const Storage& s = value().storage_;
    if (std::holds_alternative<std::monostate>(s)) return {};
    if (const auto* v = std::get_if<std::string>(&s)) return *v;
    if (const auto* v = std::get_if<std::int16_t>(&s)) return std::to_string(*v);
    if (const auto* v = std::get_if<std::int32_t>(&s)) return std::to_string(*v);
    if (const auto* v = std::get_if<bool>(&s)) return *v ? "True" : "False";
    if (const auto* v = std::get_if<double>(&s)) {
        char text[32];
        std::snprintf(text, sizeof text, "%.15g", *v);
        return text;
    }
    ThrowTypeMismatch();
}

DispatchPtr Variant::toDispatch() const {
    const Storage& s = value().storage_;
    if (std::holds_alternative<std::monostate>(s) || std::holds_alternative<NullTag>(s))
        return nullptr;
    if (const auto* v = std::get_if<DispatchPtr>(&s)) return *v;
    ThrowTypeMismatch();
}

ArrayPtr Variant::toArray() const {
    const Storage& s = value().storage_;
    if (const auto* v = std::get_if<ArrayPtr>(&s); v && *v) return *v;
    ThrowTypeMismatch();
}

Variant Variant::coerced(VarType type) const {
    switch (type) {
        case VarType::I2:
            return I2(toI2());
        case VarType::I4:
            return I4(toI4());
        case VarType::R8:
            return R8(toR8());
        case VarType::Bool:
            return Bool(toBool());
        case VarType::String:
            return String(toString());
        case VarType::Dispatch:
            return Object(toDispatch());
        case VarType::Variant:
            return value();
        default:
            break;
    }
    if (this->type() == type) return value();
    ThrowTypeMismatch();
}

}  // namespace pm32::automation
