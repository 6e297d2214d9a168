#include "control/entries.h"
#include "control/zpm32.h"

namespace pm32::control::entries {

Variant GetFont(ZPm32& c, std::span<Variant>) { return Variant::Object(c.FontObject()); }

// Nothing leaves the control without a font of its own, so it draws with the
// system font again; any object but a font is refused.
void SetFont(ZPm32& c, std::span<Variant>, const Variant& value) {
    automation::DispatchPtr object = value.toDispatch();
    if (!object) {
        c.FontObject()->SetDescription(SystemFontDescription());
        return;
    }
    auto font = std::dynamic_pointer_cast<Font>(object);
    if (!font) automation::ThrowTypeMismatch();
    c.FontObject()->SetDescription(font->Description());
}

std::string SaveFont(const ZPm32& c) { return FontText(c.FontObject()->Description()); }

void LoadFont(ZPm32& c, std::optional<std::string_view> text) {
    std::optional<FontDescription> font = text ? ParseFontText(*text) : std::nullopt;
    c.FontObject()->LoadDescription(font.value_or(SystemFontDescription()));
}

}  // namespace pm32::control::entries
