#include <type_traits>

#include "control/dispids.h"
#include "control/entries.h"
#include "control/zpm32.h"
#include "platform/automation/ole_color.h"

namespace pm32::control::entries {
namespace {

RegionRecord* findRegion(ZPm32& c, std::int32_t number) {
    std::vector<RegionRecord>& regions = c.Regions();
    if (number < 1 || number > static_cast<std::int64_t>(regions.size())) return nullptr;
    return &regions[static_cast<std::size_t>(number - 1)];
}

RegionRecord& region(ZPm32& c, std::span<Variant> index) {
    RegionRecord* found = findRegion(c, index[0].toI2());
    if (found == nullptr) Raise(err::NoSuchRegion);
    return *found;
}

// The checks Region and RegionRb share, in their order.
void checkLocationAndType(ZPm32& c, std::int16_t type, std::int16_t location) {
    if (location != 1 && findRegion(c, location) == nullptr) Raise(err::NoSuchRegion);
    if (type < 0 || type > kRegionPolygon) Raise(err::BadRegionType);
}

template <auto Field>
Variant getField(ZPm32& c, std::span<Variant> index) {
    const auto& field = region(c, index).*Field;
    using T = std::remove_cvref_t<decltype(field)>;
    if constexpr (std::is_same_v<T, bool>)
        return Variant::Bool(field);
    else if constexpr (std::is_same_v<T, std::int16_t>)
        return Variant::I2(field);
    else
        return Variant::I4(field);
}

template <auto Field>
void setField(ZPm32& c, std::span<Variant> index, const Variant& value, DispId id) {
    auto& field = region(c, index).*Field;
    using T = std::remove_cvref_t<decltype(field)>;
    if constexpr (std::is_same_v<T, bool>)
        field = value.toBool();
    else if constexpr (std::is_same_v<T, std::int16_t>)
        field = value.toI2();
    else
        field = value.toI4();
    if (c.Site() != nullptr) c.Site()->OnPropertyChanged(id);
    c.SetModified();
}

std::uint32_t color(ZPm32& c, DispId id) {
    return automation::TranslateOleColor(static_cast<std::uint32_t>(c.I4(id)));
}

}  // namespace

Variant Region(ZPm32& c, std::span<Variant> args) {
    std::int16_t type = args[0].toI2();
    checkLocationAndType(c, type, args[1].toI2());
    if (type == kRegionPolygon && (args[5].isMissing() || args[5].type() != VarType::I2))
        Raise(err::BadPointCount);
    return {};
}

Variant RegionRb(ZPm32& c, std::span<Variant> args) {
    std::int16_t type = args[0].toI2();
    checkLocationAndType(c, type, args[1].toI2());
    c.StartTracker({.type = type,
                    .penWidth = c.I2(dispid::DrawWidth),
                    .frameColor = color(c, dispid::ForeColor),
                    .backColor = color(c, dispid::BackColor),
                    .fillStyle = c.I2(dispid::FillStyle)});
    return {};
}

Variant GetRegionEnabled(ZPm32& c, std::span<Variant> index) {
    return getField<&RegionRecord::enabled>(c, index);
}
void SetRegionEnabled(ZPm32& c, std::span<Variant> index, const Variant& value) {
    setField<&RegionRecord::enabled>(c, index, value, dispid::RegionEnabled);
}
Variant GetRegionVisible(ZPm32& c, std::span<Variant> index) {
    return getField<&RegionRecord::visible>(c, index);
}
void SetRegionVisible(ZPm32& c, std::span<Variant> index, const Variant& value) {
    setField<&RegionRecord::visible>(c, index, value, dispid::RegionVisible);
}
Variant GetRegionFillStyle(ZPm32& c, std::span<Variant> index) {
    return getField<&RegionRecord::fillStyle>(c, index);
}
void SetRegionFillStyle(ZPm32& c, std::span<Variant> index, const Variant& value) {
    setField<&RegionRecord::fillStyle>(c, index, value, dispid::RegionFillStyle);
}
Variant GetRegionFillColor(ZPm32& c, std::span<Variant> index) {
    return getField<&RegionRecord::fillColor>(c, index);
}
void SetRegionFillColor(ZPm32& c, std::span<Variant> index, const Variant& value) {
    setField<&RegionRecord::fillColor>(c, index, value, dispid::RegionFillColor);
}
Variant GetRegionRasterOp(ZPm32& c, std::span<Variant> index) {
    return getField<&RegionRecord::rasterOp>(c, index);
}
void SetRegionRasterOp(ZPm32& c, std::span<Variant> index, const Variant& value) {
    setField<&RegionRecord::rasterOp>(c, index, value, dispid::RegionRasterOp);
}
Variant GetRegionFrameColor(ZPm32& c, std::span<Variant> index) {
    return getField<&RegionRecord::frameColor>(c, index);
}
void SetRegionFrameColor(ZPm32& c, std::span<Variant> index, const Variant& value) {
    setField<&RegionRecord::frameColor>(c, index, value, dispid::RegionFrameColor);
}
Variant GetRegionFrameWidth(ZPm32& c, std::span<Variant> index) {
    return getField<&RegionRecord::frameWidth>(c, index);
}
void SetRegionFrameWidth(ZPm32& c, std::span<Variant> index, const Variant& value) {
    setField<&RegionRecord::frameWidth>(c, index, value, dispid::RegionFrameWidth);
}

}  // namespace pm32::control::entries
