#include "control/font.h"

#include <cmath>

namespace pm32::control {
namespace {

using automation::AutomationError;
using automation::DispId;
using automation::InvokeKind;
using automation::Variant;
using automation::VarType;

// The standard font interface's own dispatch identifiers.
constexpr DispId kName = 0;
constexpr DispId kSize = 2;
constexpr DispId kBold = 3;
constexpr DispId kItalic = 4;
constexpr DispId kUnderline = 5;
constexpr DispId kStrikethrough = 6;
constexpr DispId kWeight = 7;
constexpr DispId kCharset = 8;

constexpr const char* kSource = "Font";

[[noreturn]] void throwInvalidValue() {
    throw AutomationError(automation::ControlScode(kInvalidPropertyValue), "Invalid property value",
                          kSource);
}

const automation::TypeInfo& fontTypeInfo() {
    static const automation::TypeInfo info =
        automation::PropertyTypeInfo("Font",
                                     {{kName, "Name", VarType::String},
                                      {kSize, "Size", VarType::R8},
                                      {kBold, "Bold", VarType::Bool},
                                      {kItalic, "Italic", VarType::Bool},
                                      {kUnderline, "Underline", VarType::Bool},
                                      {kStrikethrough, "Strikethrough", VarType::Bool},
                                      {kWeight, "Weight", VarType::I2},
                                      {kCharset, "Charset", VarType::I2}},
                                     true);
    return info;
}

std::int64_t sizeUnitsOf(const Variant& value) {
    double points = value.toR8();
    double units = std::nearbyint(points * FontDescription::kUnitsPerPoint);
    // Written so that NaN fails too.
    if (!(units >= 1 && units <= static_cast<double>(FontDescription::kMaxSizeUnits)))
        throwInvalidValue();
    return static_cast<std::int64_t>(units);
}

std::int16_t numberIn(const Variant& value, std::int16_t max) {
    std::int16_t number = value.toI2();
    if (number < 0 || number > max) throwInvalidValue();
    return number;
}

}  // namespace

Font::Font(FontDescription description) : description_(std::move(description)) {}

void Font::SetDescription(const FontDescription& description) {
    description_ = description;
    if (changed_) changed_();
}

std::optional<DispId> Font::GetIdOfName(std::string_view name) const {
    return automation::IdOfMember(fontTypeInfo(), name);
}

Variant Font::Invoke(DispId id, InvokeKind kind, std::span<Variant> args) {
    if (fontTypeInfo().find(id) == nullptr || kind == InvokeKind::Method)
        throw AutomationError(automation::DISP_E_MEMBERNOTFOUND, "Member not found", kSource);
    if (kind == InvokeKind::PropertyGet) {
        if (!args.empty())
            throw AutomationError(automation::DISP_E_BADPARAMCOUNT, "Wrong number of arguments",
                                  kSource);
        return get(id);
    }
    if (args.size() != 1)
        throw AutomationError(automation::DISP_E_BADPARAMCOUNT, "Wrong number of arguments",
                              kSource);
    put(id, args[0]);
    return {};
}

const automation::TypeInfo& Font::GetTypeInfo() const { return fontTypeInfo(); }

Variant Font::get(DispId id) const {
    const FontDescription& d = description_;
    switch (id) {
        case kName:
            return Variant::String(d.name);
        case kSize:
            return Variant::R8(d.Points());
        case kBold:
            return Variant::Bool(d.Bold());
        case kItalic:
            return Variant::Bool(d.italic);
        case kUnderline:
            return Variant::Bool(d.underline);
        case kStrikethrough:
            return Variant::Bool(d.strikethrough);
        case kWeight:
            return Variant::I2(d.weight);
        default:
            return Variant::I2(d.charset);
    }
}

void Font::put(DispId id, const Variant& value) {
    // Everything is converted and checked before the font changes.
    FontDescription d = description_;
    switch (id) {
        case kName:
            d.name = value.toString();
            break;
        case kSize:
            d.sizeUnits = sizeUnitsOf(value);
            break;
        case kBold:
            d.weight =
                value.toBool() ? FontDescription::kBoldWeight : FontDescription::kNormalWeight;
            break;
        case kItalic:
            d.italic = value.toBool();
            break;
        case kUnderline:
            d.underline = value.toBool();
            break;
        case kStrikethrough:
            d.strikethrough = value.toBool();
            break;
        case kWeight:
            d.weight = numberIn(value, FontDescription::kMaxWeight);
            break;
        default:
            d.charset = numberIn(value, FontDescription::kMaxCharset);
            break;
    }
    SetDescription(d);
}

FontHolder::FontHolder(std::function<void()> onChanged) : font_(std::make_shared<Font>()) {
    font_->SetChangeHandler(std::move(onChanged));
}

FontHolder::~FontHolder() { font_->SetChangeHandler(nullptr); }

}  // namespace pm32::control
