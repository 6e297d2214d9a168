#include <gtest/gtest.h>

#include "control/member_spec.h"
#include "tests/control/test_site.h"

namespace pm32::test {
namespace {

// A value other than the default that the property accepts.
Variant changed(const control::MemberSpec& member) {
    switch (member.type) {
        case automation::VarType::Bool:
            return Variant::Bool(!member.initial.toBool());
        case automation::VarType::String:
            return Variant::String("C:\\pic\\a=b\nc.bmp");
        case automation::VarType::I4:
            return Variant::I4(0x00123456);
        default:
            break;
    }
    std::int32_t value = member.initial.toI4() + 1;
    if (member.range && value > member.range->max) value = member.range->min;
    return Variant::I2(static_cast<std::int16_t>(value));
}

TEST(Persistence, EveryPersistedPropertyComesBack) {
    PlacedControl design(false);
    std::vector<std::pair<std::string, Variant>> written;
    for (const control::MemberSpec& member : control::MemberTable()) {
        if (!member.persisted || !member.stored) continue;
        if (member.check != nullptr) continue;  // set below, in an order their checks allow
        Variant value = changed(member);
        design.put(member.name, value);
        written.emplace_back(std::string(member.name), value);
    }
    design.put("AutoScale", Variant::Bool(true));
    written.emplace_back("AutoScale", Variant::Bool(true));
    std::string bag = design.control->SaveProperties();

    PlacedControl restored(false);
    restored.control->LoadProperties(bag);
    for (const auto& [name, value] : written)
        EXPECT_EQ(restored.get(name).toString(), value.toString()) << name;
    EXPECT_FALSE(restored.control->Modified());
}

TEST(Persistence, StockFirstThenTheVersionThenTheTableOrder) {
    PlacedControl p(false);
    std::string bag = p.control->SaveProperties();
    auto at = [&](const char* key) { return bag.find(std::string(key) + "="); };
    EXPECT_LT(at("BackColor"), at("_Version"));
    EXPECT_NE(bag.find("_Version=65536\n"), std::string::npos);
    EXPECT_LT(at("_Version"), at("AssignMode"));
    EXPECT_LT(at("AssignMode"), at("AutoScale"));
    EXPECT_LT(at("WriteCompression"), at("Xorigin"));
    EXPECT_EQ(at("ErrorNumber"), std::string::npos);
    EXPECT_EQ(at("RasterOp"), std::string::npos);
    EXPECT_NE(bag.find("BackColor=0x8000000F\n"), std::string::npos);
}

TEST(Persistence, MissingOrRefusedValuesTakeTheirDefaults) {
    PlacedControl p(false);
    p.put("DrawWidth", Variant::I2(9));
    p.control->LoadProperties("MousePointer=16\nScaleImage=abc\nFillStyle=3\nnoise\n");
    EXPECT_EQ(p.get("MousePointer").toI2(), 0);
    EXPECT_EQ(p.get("ScaleImage").toI2(), 1);
    EXPECT_EQ(p.get("FillStyle").toI2(), 3);
    EXPECT_EQ(p.get("DrawWidth").toI2(), 1);
    EXPECT_EQ(p.get("ScrollBarsLargeChange").toI2(), 10);
}

}  // namespace
}  // namespace pm32::test
