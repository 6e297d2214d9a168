#include "control/picture.h"

namespace pm32::control {
namespace {

using automation::AutomationError;
using automation::DispId;
using automation::InvokeKind;
using automation::Variant;
using automation::VarType;

// The picture interface's own dispatch identifiers.
constexpr DispId kType = 3;
constexpr DispId kWidth = 4;
constexpr DispId kHeight = 5;

// HIMETRIC units (0.01 mm) of a length in pixels at 96 pixels per inch.
std::int32_t himetric(int pixels) { return static_cast<std::int32_t>(pixels * 2540LL / 96); }

const automation::TypeInfo& pictureTypeInfo() {
    static const automation::TypeInfo info =
        automation::PropertyTypeInfo("Picture",
                                     {{kType, "Type", VarType::I2},
                                      {kWidth, "Width", VarType::I4},
                                      {kHeight, "Height", VarType::I4}},
                                     false);
    return info;
}

}  // namespace

Picture::Picture(PictureType type, QImage image, QPoint hotSpot)
    : type_(type), image_(std::move(image)), hotSpot_(hotSpot) {}

std::optional<DispId> Picture::GetIdOfName(std::string_view name) const {
    return automation::IdOfMember(pictureTypeInfo(), name);
}

Variant Picture::Invoke(DispId id, InvokeKind kind, std::span<Variant> args) {
    if (pictureTypeInfo().find(id) == nullptr)
        throw AutomationError(automation::DISP_E_MEMBERNOTFOUND, "Member not found");
    if (kind != InvokeKind::PropertyGet || !args.empty())
        throw AutomationError(automation::DISP_E_MEMBERNOTFOUND, "Picture members are read-only");
    switch (id) {
        case kType:
            return Variant::I2(static_cast<std::int16_t>(type_));
        case kWidth:
            return Variant::I4(himetric(image_.width()));
        default:
            return Variant::I4(himetric(image_.height()));
    }
}

const automation::TypeInfo& Picture::GetTypeInfo() const { return pictureTypeInfo(); }

}  // namespace pm32::control
