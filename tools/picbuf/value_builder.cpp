#include "tools/picbuf/value_builder.h"

#include <limits>

#include "control/dispids.h"
#include "control/font.h"
#include "control/load_picture.h"

namespace pm32::tools {
namespace {

using automation::AutomationError;
using automation::SafeArray;
using automation::Variant;
using automation::VarType;

// Basic's error for a file that holds no picture it can read.
constexpr std::uint32_t kInvalidPicture = 481;

template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
// Spelled out for compilers without deduction for aggregates.
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

Variant integerValue(std::int32_t value) {
    if (value >= std::numeric_limits<std::int16_t>::min() &&
        value <= std::numeric_limits<std::int16_t>::max())
        return Variant::I2(static_cast<std::int16_t>(value));
    return Variant::I4(value);
}

// Coerces each element, naming the element that cannot take the type.
automation::ArrayPtr shapedArray(std::vector<Variant> elements, VarType elementType) {
    auto array = std::make_shared<SafeArray>();
    array->elementType = elementType;
    array->elements.reserve(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        try {
            array->elements.push_back(elements[i].coerced(elementType));
        } catch (const AutomationError& error) {
            throw AutomationError(error.scode(),
                                  error.description() + " in array element " + std::to_string(i) +
                                      " (" + std::string(automation::VarTypeName(elementType)) +
                                      ")",
                                  error.source());
        }
    }
    return array;
}

}  // namespace

Variant ScalarValue(const Scalar& scalar, const ControlSet& controls) {
    return std::visit(Overloaded{
                          [](std::int32_t value) { return integerValue(value); },
                          [](double value) { return Variant::R8(value); },
                          [](bool value) { return Variant::Bool(value); },
                          [](const std::string& text) { return Variant::String(text); },
                          [&](const Word& word) {
                              automation::DispatchPtr control = controls.find(word.text);
                              return control ? Variant::Object(std::move(control))
                                             : Variant::String(word.text);
                          },
                          [](Nothing) { return Variant::Object(nullptr); },
                      },
                      scalar);
}

void AddArgument(CallArguments& call, const Literal& literal, const automation::ParamInfo* param,
                 const ControlSet& controls) {
    VarType elementType = param != nullptr ? param->type : VarType::Variant;
    std::visit(Overloaded{
                   [&](Omitted) { call.add(Variant::Missing()); },
                   [&](const Scalar& scalar) { call.add(ScalarValue(scalar, controls)); },
                   [&](const ArrayLiteral& elements) {
                       std::vector<Variant> values;
                       for (const Scalar& element : elements)
                           values.push_back(ScalarValue(element, controls));
                       call.addArray(shapedArray(std::move(values), elementType));
                   },
                   [&](Zeros zeros) {
                       call.addArray(shapedArray(std::vector<Variant>(zeros.count, Variant::I2(0)),
                                                 elementType));
                   },
               },
               literal);
}

void AddObjectValue(CallArguments& call, const Literal& literal, automation::DispId member,
                    const ControlSet& controls) {
    const Scalar* scalar = std::get_if<Scalar>(&literal);
    Variant value = scalar != nullptr ? ScalarValue(*scalar, controls) : Variant();
    if (value.type() != VarType::String) {
        automation::ParamInfo object{.name = {}, .type = VarType::Dispatch};
        AddArgument(call, literal, &object, controls);
        return;
    }
    if (member == control::dispid::Font) {
        std::optional<control::FontDescription> font = control::ParseFontText(value.toString());
        if (!font)
            throw AutomationError(automation::ControlScode(control::kInvalidPropertyValue),
                                  "Invalid font: " + value.toString());
        call.add(Variant::Object(std::make_shared<control::Font>(std::move(*font))));
        return;
    }
    std::shared_ptr<control::Picture> picture = control::LoadPicture(value.toString());
    if (!picture)
        throw AutomationError(automation::ControlScode(kInvalidPicture),
                              "Invalid picture: " + value.toString());
    call.add(Variant::Object(std::move(picture)));
}

}  // namespace pm32::tools
