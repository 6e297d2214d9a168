#include "tools/picbuf/value_format.h"

#include "control/font.h"

namespace pm32::tools {

using automation::VarType;

std::string FormatValue(const automation::Variant& value, const ControlSet& controls) {
    if (value.isArray()) {
        std::string text = "[";
        const auto& elements = value.toArray()->elements;
        for (std::size_t i = 0; i < elements.size(); ++i) {
            if (i != 0) text += ',';
            text += FormatValue(elements[i], controls);
        }
        return text + "]";
    }
    switch (value.type()) {
        case VarType::Null:
            return "Null";
        case VarType::Error:
            return "Missing";
        case VarType::Unknown:
            return "Unknown";
        case VarType::Dispatch: {
            automation::DispatchPtr object = value.toDispatch();
            if (!object) return "Nothing";
            if (auto font = std::dynamic_pointer_cast<control::Font>(object))
                return control::FontText(font->Description());
            std::string_view name = controls.nameOf(object.get());
            return name.empty() ? "Object" : std::string(name);
        }
        default:
            return value.toString();
    }
}

}  // namespace pm32::tools
