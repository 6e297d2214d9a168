#include <gtest/gtest.h>

#include "control/factory.h"
#include "tools/picbuf/value_builder.h"
#include "tools/picbuf/value_format.h"

namespace pm32::tools {
namespace {

using automation::AutomationError;
using automation::ParamInfo;
using automation::Variant;
using automation::VarType;

ParamInfo arrayParam(VarType type) { return {"pArray", type, true, false, true}; }

class ArgumentValues : public ::testing::Test {
  protected:
    ArgumentValues() {
        controls.add("Picbuf1", first);
        controls.add("Picbuf2", second);
    }

    // The single argument a literal becomes for a parameter.
    Variant argument(const Literal& literal, const ParamInfo* param) {
        call = CallArguments();
        AddArgument(call, literal, param, controls);
        EXPECT_EQ(call.values().size(), 1u);
        return call.values()[0];
    }

    automation::DispatchPtr first = control::CreatePicbuf(nullptr);
    automation::DispatchPtr second = control::CreatePicbuf(nullptr);
    ControlSet controls;
    CallArguments call;
};

TEST_F(ArgumentValues, WholeNumbersAreIntegersWhenTheyFitElseLongs) {
    EXPECT_EQ(ScalarValue(std::int32_t{-32768}, controls).type(), VarType::I2);
    EXPECT_EQ(ScalarValue(std::int32_t{32767}, controls).type(), VarType::I2);
    EXPECT_EQ(ScalarValue(std::int32_t{32768}, controls).type(), VarType::I4);
    EXPECT_EQ(ScalarValue(std::int32_t{-32769}, controls).toI4(), -32769);
    EXPECT_EQ(ScalarValue(2.5, controls).type(), VarType::R8);
    EXPECT_EQ(ScalarValue(true, controls).type(), VarType::Bool);
}

TEST_F(ArgumentValues, BareWordsNameControlsWithoutCase) {
    EXPECT_EQ(ScalarValue(Word{"Picbuf2"}, controls).toDispatch(), second);
    EXPECT_EQ(ScalarValue(Word{"picbuf1"}, controls).toDispatch(), first);
    Variant text = ScalarValue(Word{"Picbuf3"}, controls);
    EXPECT_EQ(text.type(), VarType::String);
    EXPECT_EQ(text.toString(), "Picbuf3");
    // Quoted, a control name stays text.
    EXPECT_EQ(ScalarValue(std::string("Picbuf1"), controls).type(), VarType::String);
    Variant nothing = ScalarValue(Nothing{}, controls);
    EXPECT_EQ(nothing.type(), VarType::Dispatch);
    EXPECT_EQ(nothing.toDispatch(), nullptr);
}

TEST_F(ArgumentValues, AnEmptyArgumentIsMissing) {
    ParamInfo optional{"nDestination", VarType::Variant, false, true, false};
    EXPECT_TRUE(argument(Omitted{}, &optional).isMissing());
    EXPECT_TRUE(call.arrays().empty());
}

TEST_F(ArgumentValues, ArraysTakeTheParametersElementTypeByReference) {
    ParamInfo longs = arrayParam(VarType::I4);
    Variant passed = argument(ArrayLiteral{std::int32_t{1}, std::int32_t{-2}, true}, &longs);
    EXPECT_TRUE(passed.isByRef());
    ASSERT_TRUE(passed.isArray());
    auto array = passed.toArray();
    EXPECT_EQ(array->elementType, VarType::I4);
    ASSERT_EQ(array->elements.size(), 3u);
    for (const Variant& element : array->elements) EXPECT_EQ(element.type(), VarType::I4);
    EXPECT_EQ(array->elements[2].toI4(), -1);

    ParamInfo integers = arrayParam(VarType::I2);
    auto zeros = argument(Zeros{5}, &integers).toArray();
    EXPECT_EQ(zeros->elementType, VarType::I2);
    EXPECT_EQ(zeros->elements.size(), 5u);
    for (const Variant& element : zeros->elements) EXPECT_EQ(element.toI2(), 0);

    ParamInfo flags = arrayParam(VarType::Bool);
    auto booleans = argument(ArrayLiteral{std::int32_t{0}, std::int32_t{7}}, &flags).toArray();
    EXPECT_EQ(booleans->elements[0].type(), VarType::Bool);
    EXPECT_FALSE(booleans->elements[0].toBool());
    EXPECT_TRUE(booleans->elements[1].toBool());
}

TEST_F(ArgumentValues, VariantArraysKeepEachElementsOwnType) {
    ParamInfo variants{"CntlArray", VarType::Variant, false, false, false};
    auto array =
        argument(ArrayLiteral{Word{"Picbuf2"}, std::int32_t{70000}, std::string("x")}, &variants)
            .toArray();
    EXPECT_EQ(array->elementType, VarType::Variant);
    EXPECT_EQ(array->elements[0].toDispatch(), second);
    EXPECT_EQ(array->elements[1].type(), VarType::I4);
    EXPECT_EQ(array->elements[2].type(), VarType::String);
    // Past the published parameters nothing is known of the element type.
    EXPECT_EQ(argument(Zeros{2}, nullptr).toArray()->elementType, VarType::Variant);
}

TEST_F(ArgumentValues, AnElementThatCannotTakeTheTypeIsNamed) {
    ParamInfo integers = arrayParam(VarType::I2);
    try {
        argument(ArrayLiteral{std::int32_t{1}, std::int32_t{70000}}, &integers);
        ADD_FAILURE() << "an Integer array took 70000";
    } catch (const AutomationError& error) {
        EXPECT_EQ(error.scode(), automation::DISP_E_OVERFLOW);
        EXPECT_EQ(error.description(), "Overflow in array element 1 (Integer)");
    }
    ParamInfo longs = arrayParam(VarType::I4);
    try {
        argument(ArrayLiteral{Word{"red"}}, &longs);
        ADD_FAILURE() << "a Long array took a word";
    } catch (const AutomationError& error) {
        EXPECT_EQ(error.scode(), automation::DISP_E_TYPEMISMATCH);
        EXPECT_EQ(error.description(), "Type mismatch in array element 0 (Long)");
    }
}

TEST_F(ArgumentValues, TheCallerSeesWhatTheCalleeDidToAnArray) {
    ParamInfo longs = arrayParam(VarType::I4);
    CallArguments arguments;
    AddArgument(arguments, Scalar(std::int32_t{3}), nullptr, controls);
    AddArgument(arguments, Zeros{2}, &longs, controls);
    AddArgument(arguments, ArrayLiteral{std::int32_t{9}}, &longs, controls);
    std::span<Variant> values = arguments.values();
    // Written element by element, and replaced as a whole.
    values[1].toArray()->elements[1] = Variant::I4(42);
    auto replacement = std::make_shared<automation::SafeArray>();
    replacement->elementType = VarType::String;
    replacement->elements = {Variant::String("a"), Variant::String("b")};
    values[2].assign(Variant::Array(replacement));

    auto arrays = arguments.arrays();
    ASSERT_EQ(arrays.size(), 2u);
    EXPECT_EQ(arrays[0].first, 2u);
    EXPECT_EQ(FormatValue(*arrays[0].second, controls), "[0,42]");
    EXPECT_EQ(arrays[1].first, 3u);
    EXPECT_EQ(FormatValue(*arrays[1].second, controls), "[a,b]");
}

TEST_F(ArgumentValues, PrintedTheWayTheContainerShowsThem) {
    EXPECT_EQ(FormatValue(Variant::Bool(true), controls), "True");
    EXPECT_EQ(FormatValue(Variant::Bool(false), controls), "False");
    EXPECT_EQ(FormatValue(Variant::I2(-5), controls), "-5");
    EXPECT_EQ(FormatValue(Variant::I4(16744448), controls), "16744448");
    EXPECT_EQ(FormatValue(Variant::R8(0.1), controls), "0.1");
    EXPECT_EQ(FormatValue(Variant::String("a b\nc"), controls), "a b\nc");
    EXPECT_EQ(FormatValue(Variant(), controls), "");
    EXPECT_EQ(FormatValue(Variant::NullValue(), controls), "Null");
    EXPECT_EQ(FormatValue(Variant::Object(second), controls), "Picbuf2");
    EXPECT_EQ(FormatValue(Variant::Object(nullptr), controls), "Nothing");
    EXPECT_EQ(FormatValue(Variant::Object(control::CreatePicbuf(nullptr)), controls), "Object");
    auto empty = std::make_shared<automation::SafeArray>();
    EXPECT_EQ(FormatValue(Variant::Array(empty), controls), "[]");
}

}  // namespace
}  // namespace pm32::tools
