#include "platform/automation/variant.h"

#include <gtest/gtest.h>

#include "platform/automation/ole_color.h"

namespace pm32::automation {
namespace {

SCODE scodeOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const AutomationError& error) {
        return error.scode();
    }
    return 0;
}

TEST(Variant, NumbersCoerceWithRoundingHalfToEven) {
    EXPECT_EQ(Variant::I4(12).toI2(), 12);
    EXPECT_EQ(Variant::R8(2.5).toI2(), 2);
    EXPECT_EQ(Variant::R8(3.5).toI2(), 4);
    EXPECT_EQ(Variant::R8(-2.5).toI4(), -2);
    EXPECT_EQ(Variant::R8(2.6).toI4(), 3);
    EXPECT_EQ(Variant::Bool(true).toI2(), -1);
    EXPECT_EQ(Variant().toI4(), 0);
    EXPECT_EQ(Variant::I2(-5).toR8(), -5.0);
}

TEST(Variant, StringsOfDigitsAreNumbers) {
    EXPECT_EQ(Variant::String("42").toI2(), 42);
    EXPECT_EQ(Variant::String(" -7 ").toI4(), -7);
    EXPECT_EQ(Variant::String("1.5").toR8(), 1.5);
    EXPECT_TRUE(Variant::String("True").toBool());
    EXPECT_FALSE(Variant::String("false").toBool());
    EXPECT_EQ(scodeOf([] { Variant::String("abc").toI2(); }), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(scodeOf([] { Variant::String("").toI4(); }), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(scodeOf([] { Variant::String("12x").toI4(); }), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(scodeOf([] { Variant::String("nan").toI4(); }), DISP_E_TYPEMISMATCH);
}

TEST(Variant, OutOfRangeIsOverflowNotWrapping) {
    EXPECT_EQ(scodeOf([] { Variant::I4(32768).toI2(); }), DISP_E_OVERFLOW);
    EXPECT_EQ(scodeOf([] { Variant::I4(-32769).toI2(); }), DISP_E_OVERFLOW);
    EXPECT_EQ(Variant::I4(-32768).toI2(), -32768);
    EXPECT_EQ(scodeOf([] { Variant::R8(3e9).toI4(); }), DISP_E_OVERFLOW);
    EXPECT_EQ(scodeOf([] { Variant::String("1e400").toR8(); }), DISP_E_OVERFLOW);
}

TEST(Variant, ImpossibleCoercionsAreTypeMismatches) {
    EXPECT_EQ(scodeOf([] { Variant::NullValue().toI2(); }), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(scodeOf([] { Variant::Missing().toI4(); }), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(scodeOf([] { Variant::I4(1).toDispatch(); }), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(scodeOf([] { Variant::I4(1).toArray(); }), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Variant::NullValue().toDispatch(), nullptr);
}

TEST(Variant, TextOfValues) {
    EXPECT_EQ(Variant::I2(-3).toString(), "-3");
    EXPECT_EQ(Variant::Bool(false).toString(), "False");
    EXPECT_EQ(Variant::R8(0.25).toString(), "0.25");
    EXPECT_EQ(Variant().toString(), "");
}

TEST(Variant, ReferencesWriteThroughToTheCallersVariable) {
    Variant lines = Variant::I2(10);
    Variant ref = Variant::Ref(&lines);
    EXPECT_TRUE(ref.isByRef());
    EXPECT_EQ(ref.type(), VarType::I2);
    ref.assign(Variant::I2(0));
    EXPECT_EQ(lines.toI2(), 0);
    Variant nested = Variant::Ref(&ref);
    nested.assign(Variant::I4(5));
    EXPECT_EQ(lines.type(), VarType::I4);
}

TEST(Variant, ArrayElementsKeepTheirElementType) {
    auto array = std::make_shared<SafeArray>();
    array->elementType = VarType::I2;
    array->elements.assign(3, Variant::I2(0));
    Variant whole = Variant::Array(array);
    EXPECT_TRUE(whole.isArray());
    EXPECT_EQ(whole.type(), VarType::I2);
    Variant element = Variant::ElementRef(array, 2);
    element.assign(Variant::String("7"));
    EXPECT_EQ(array->elements[2].type(), VarType::I2);
    EXPECT_EQ(array->elements[2].toI2(), 7);
    EXPECT_EQ(scodeOf([&] { element.assign(Variant::I4(100000)); }), DISP_E_OVERFLOW);
    Variant past = Variant::ElementRef(array, 3);
    EXPECT_EQ(scodeOf([&] { past.toI2(); }), static_cast<SCODE>(0x8002000B));
    EXPECT_EQ(scodeOf([&] { past.assign(Variant::I2(1)); }), static_cast<SCODE>(0x8002000B));
}

TEST(Variant, MissingArgumentsAreRecognised) {
    EXPECT_TRUE(Variant::Missing().isMissing());
    EXPECT_EQ(Variant::Missing().type(), VarType::Error);
    EXPECT_FALSE(Variant().isMissing());
}

TEST(OleColor, SystemColoursAndPlainColours) {
    EXPECT_EQ(TranslateOleColor(0x8000000F), 0xC0C0C0u);
    EXPECT_EQ(TranslateOleColor(0x80000005), 0xFFFFFFu);
    EXPECT_EQ(TranslateOleColor(0x80000018), 0xE1FFFFu);
    EXPECT_EQ(TranslateOleColor(0x800000FF), 0u);
    EXPECT_EQ(TranslateOleColor(0x00123456), 0x123456u);
    EXPECT_EQ(TranslateOleColor(0x02123456), 0x123456u);
}

TEST(ScodeHelpers, ControlErrorsCarryTheirNumber) {
    EXPECT_EQ(ControlScode(20352), static_cast<SCODE>(0x800A4F80));
    EXPECT_TRUE(IsControlScode(ControlScode(394)));
    EXPECT_FALSE(IsControlScode(E_NOTIMPL));
    EXPECT_EQ(ControlErrorNumber(ControlScode(20399)), 20399u);
}

}  // namespace
}  // namespace pm32::automation
