// MEL values and operators without an interpreter: conversions, text forms, array growth,
// integer wrap-around, and the operand types each operator refuses.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "MelOperators.h"
#include "MelValue.h"

namespace {

using mayahost::MelOperators;
using mayahost::MelType;
using mayahost::MelValue;
using mayahost::MelVector;

MelValue converted(const MelValue& value, MelType type) {
    MelValue out;
    std::string error;
    EXPECT_TRUE(MelValue::convert(value, type, out, error)) << error;
    EXPECT_EQ(out.type(), type);
    return out;
}

std::string refusal(const MelValue& value, MelType type) {
    MelValue out;
    std::string error;
    EXPECT_FALSE(MelValue::convert(value, type, out, error));
    return error;
}

MelValue apply(const std::string& op, const MelValue& a, const MelValue& b) {
    MelValue out;
    std::string error;
    EXPECT_TRUE(MelOperators::binary(op, a, b, out, error)) << op << ": " << error;
    return out;
}

std::string refused(const std::string& op, const MelValue& a, const MelValue& b) {
    MelValue out;
    std::string error;
    EXPECT_FALSE(MelOperators::binary(op, a, b, out, error)) << op;
    return error;
}

TEST(MelValueConversion, ScalarsFollowMelsRules) {
    EXPECT_EQ(converted(MelValue::ofFloat(3.99), MelType::Int).asInt(), 3);
    EXPECT_EQ(converted(MelValue::ofFloat(-3.99), MelType::Int).asInt(), -3);
    EXPECT_EQ(converted(MelValue::ofString("3.14"), MelType::Int).asInt(), 3);
    EXPECT_EQ(converted(MelValue::ofString("12abc"), MelType::Int).asInt(), 12);
    EXPECT_EQ(converted(MelValue::ofString("abc12"), MelType::Int).asInt(), 0);
    EXPECT_EQ(converted(MelValue::ofString(""), MelType::Float).asFloat(), 0.0);
    EXPECT_DOUBLE_EQ(converted(MelValue::ofString("-.5e1"), MelType::Float).asFloat(), -5.0);
    EXPECT_EQ(converted(MelValue::ofInt(7), MelType::String).asString(), "7");
    EXPECT_EQ(converted(MelValue::ofFloat(2.5), MelType::String).asString(), "2.5");
    // A vector's magnitude as a number; a number fills a vector; a string gives x only.
    EXPECT_DOUBLE_EQ(converted(MelValue::ofVector({3, 4, 0}), MelType::Float).asFloat(), 5.0);
    EXPECT_EQ(converted(MelValue::ofInt(2), MelType::Vector).asVector(), (MelVector{2, 2, 2}));
    EXPECT_EQ(converted(MelValue::ofString("1.5"), MelType::Vector).asVector(),
              (MelVector{1.5, 0, 0}));
    EXPECT_EQ(converted(MelValue::ofVector({1, 2.5, -3}), MelType::String).asString(), "1 2.5 -3");
}

TEST(MelValueConversion, OutOfRangeAndNanFloatsBecomeDefinedInts) {
    EXPECT_EQ(MelValue::truncate(1e300), INT_MAX);
    EXPECT_EQ(MelValue::truncate(-1e300), INT_MIN);
    EXPECT_EQ(MelValue::truncate(std::nan("")), 0);
    EXPECT_EQ(MelValue::wrap(static_cast<long long>(INT_MAX) + 1), INT_MIN);
    EXPECT_EQ(MelValue::wrap(0x1FFFFFFFFLL), -1);
}

TEST(MelValueConversion, ArraysConvertByElementButNeverToOrFromScalars) {
    const MelValue ints = MelValue::ofInts({1, 2});
    const MelValue strings = converted(ints, MelType::StringArray);
    ASSERT_EQ(strings.size(), 2U);
    EXPECT_EQ(strings.strings()[1], "2");
    const MelValue back = converted(MelValue::ofStrings({"4.7", "x"}), MelType::IntArray);
    EXPECT_EQ(back.ints(), (std::vector<int>{4, 0}));
    EXPECT_EQ(refusal(MelValue::ofStrings({"a"}), MelType::Float),
              "Cannot convert data of type string[] to type float.");
    EXPECT_EQ(refusal(MelValue::ofInt(1), MelType::IntArray),
              "Cannot convert data of type int to type int[].");
    EXPECT_EQ(refusal(MelValue(), MelType::String),
              "Cannot convert data of type void to type string.");
}

TEST(MelValueText, FloatsShowTenSignificantDigitsWithoutTrailingZeros) {
    EXPECT_EQ(MelValue::formatFloat(1.0), "1");
    EXPECT_EQ(MelValue::formatFloat(1.0 / 3.0), "0.3333333333");
    EXPECT_EQ(MelValue::formatFloat(-0.0), "0");
    EXPECT_EQ(MelValue::formatFloat(1e20), "1e+20");
    EXPECT_EQ(MelValue::formatFloat(123456.5), "123456.5");
}

TEST(MelValueText, NumbersAreParsedOnlyWhenTheWholeTextIsOne) {
    double value = 0;
    bool integer = false;
    EXPECT_TRUE(MelValue::parseNumber("-12", value, integer));
    EXPECT_TRUE(integer);
    EXPECT_EQ(value, -12.0);
    EXPECT_TRUE(MelValue::parseNumber("2.5e2", value, integer));
    EXPECT_FALSE(integer);
    EXPECT_EQ(value, 250.0);
    EXPECT_FALSE(MelValue::parseNumber("2sec", value, integer));
    EXPECT_FALSE(MelValue::parseNumber("", value, integer));
    EXPECT_FALSE(MelValue::parseNumber(".", value, integer));
    EXPECT_FALSE(MelValue::parseNumber("1e", value, integer));
}

TEST(MelValueArray, WritingPastTheEndGrowsAndReadingPastItGivesZero) {
    MelValue names = MelValue::zero(MelType::StringArray);
    names.setElement(3, MelValue::ofString("d"));
    ASSERT_EQ(names.size(), 4U);
    EXPECT_EQ(names.element(0).asString(), "");
    EXPECT_EQ(names.element(3).asString(), "d");
    EXPECT_EQ(names.element(99).type(), MelType::String);
    EXPECT_EQ(names.size(), 4U);  // the read did not grow it
    names.append(MelValue::ofInt(5));
    EXPECT_EQ(names.element(4).asString(), "5");
    EXPECT_EQ(names.printed(), "\n\n\nd\n5\n");
    names.clearElements();
    EXPECT_EQ(names.size(), 0U);
    EXPECT_EQ(names.type(), MelType::StringArray);
}

TEST(MelOperatorsArithmetic, IntegersDivideWholeAndWrapAt32Bits) {
    EXPECT_EQ(apply("/", MelValue::ofInt(7), MelValue::ofInt(2)), MelValue::ofInt(3));
    EXPECT_EQ(apply("/", MelValue::ofInt(-7), MelValue::ofInt(2)), MelValue::ofInt(-3));
    EXPECT_EQ(apply("%", MelValue::ofInt(-7), MelValue::ofInt(3)), MelValue::ofInt(-1));
    EXPECT_EQ(apply("*", MelValue::ofInt(65536), MelValue::ofInt(65536)), MelValue::ofInt(0));
    EXPECT_EQ(apply("/", MelValue::ofInt(INT_MIN), MelValue::ofInt(-1)), MelValue::ofInt(INT_MIN));
    EXPECT_EQ(apply("/", MelValue::ofInt(1), MelValue::ofFloat(4)), MelValue::ofFloat(0.25));
    EXPECT_EQ(refused("/", MelValue::ofInt(1), MelValue::ofInt(0)), "Division by zero.");
    EXPECT_EQ(refused("%", MelValue::ofInt(1), MelValue::ofInt(0)), "Division by zero.");
}

TEST(MelOperatorsArithmetic, PlusJoinsTextButOtherOperatorsRefuseIt) {
    EXPECT_EQ(apply("+", MelValue::ofString("500"), MelValue::ofInt(5)),
              MelValue::ofString("5005"));
    EXPECT_EQ(apply("+", MelValue::ofFloat(0.5), MelValue::ofString("x")),
              MelValue::ofString("0.5x"));
    EXPECT_EQ(refused("-", MelValue::ofString("5"), MelValue::ofInt(1)),
              "Operator \"-\" cannot be used with data of type string.");
    EXPECT_EQ(refused("+", MelValue::ofInts({1}), MelValue::ofInts({2})),
              "Operator \"+\" cannot be used with data of type int[].");
    EXPECT_EQ(refused("^", MelValue::ofInt(2), MelValue::ofInt(3)),
              "Operator \"^\" cannot be used with data of type int.");
}

TEST(MelOperatorsArithmetic, VectorsWorkPerComponentWithDotAndCrossProducts) {
    const MelValue a = MelValue::ofVector({1, 2, 3});
    const MelValue b = MelValue::ofVector({4, 5, 6});
    EXPECT_EQ(apply("+", a, b), MelValue::ofVector({5, 7, 9}));
    EXPECT_EQ(apply("-", a, MelValue::ofInt(1)), MelValue::ofVector({0, 1, 2}));
    EXPECT_EQ(apply("*", a, b), MelValue::ofFloat(32));
    EXPECT_EQ(apply("^", a, b), MelValue::ofVector({-3, 6, -3}));
    EXPECT_EQ(apply("/", b, MelValue::ofInt(2)), MelValue::ofVector({2, 2.5, 3}));
    EXPECT_EQ(refused("%", a, b), "Operator \"%\" cannot be used with data of type vector.");
    EXPECT_EQ(refused("<", a, b), "Operator \"<\" cannot be used with data of type vector.");
    EXPECT_EQ(apply("==", a, MelValue::ofVector({1, 2, 3})), MelValue::ofInt(1));
}

TEST(MelOperatorsComparison, StringsCompareByContentAndAgainstNumbersAsNumbers) {
    EXPECT_EQ(apply("==", MelValue::ofString("abc"), MelValue::ofString("abc")),
              MelValue::ofInt(1));
    EXPECT_EQ(apply("==", MelValue::ofString("abc"), MelValue::ofString("ABC")),
              MelValue::ofInt(0));
    EXPECT_EQ(apply("<", MelValue::ofString("abc"), MelValue::ofString("abd")), MelValue::ofInt(1));
    EXPECT_EQ(apply("==", MelValue::ofString("10"), MelValue::ofInt(10)), MelValue::ofInt(1));
    EXPECT_EQ(apply("==", MelValue::ofString("2.5"), MelValue::ofFloat(2.5)), MelValue::ofInt(1));
    EXPECT_EQ(apply(">=", MelValue::ofFloat(2.5), MelValue::ofInt(2)), MelValue::ofInt(1));
    // The documented gotcha: true is 1, so 5 == true is false.
    EXPECT_EQ(apply("==", MelValue::ofInt(5), MelValue::ofInt(1)), MelValue::ofInt(0));
}

TEST(MelOperatorsTruth, NumbersStringsAndVectorsTestAsNumbersButArraysAreRefused) {
    const auto truth = [](const MelValue& value) {
        bool result = false;
        std::string error;
        EXPECT_TRUE(MelOperators::truth(value, result, error)) << error;
        return result;
    };
    EXPECT_TRUE(truth(MelValue::ofInt(-1)));
    EXPECT_FALSE(truth(MelValue::ofFloat(0.0)));
    EXPECT_TRUE(truth(MelValue::ofString("2x")));
    EXPECT_FALSE(truth(MelValue::ofString("x2")));
    EXPECT_FALSE(truth(MelValue::ofVector({0, 0, 0})));
    bool result = false;
    std::string error;
    EXPECT_FALSE(MelOperators::truth(MelValue::ofStrings({"a"}), result, error));
    EXPECT_EQ(error, "Cannot convert data of type string[] to type int.");
    MelValue negated;
    EXPECT_FALSE(MelOperators::negate(MelValue::ofString("1"), negated, error));
    EXPECT_TRUE(MelOperators::negate(MelValue::ofInt(INT_MIN), negated, error));
    EXPECT_EQ(negated, MelValue::ofInt(INT_MIN));
}

}  // namespace
