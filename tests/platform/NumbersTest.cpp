#include <cmath>

#include <gtest/gtest.h>

#include "platform/Numbers.h"

namespace orbet::num {
namespace {

TEST(Val, ReadsTheLeadingNumber) {
    EXPECT_EQ(val(u"  42"), 42.0);
    EXPECT_EQ(val(u"\t7"), 7.0);
    EXPECT_EQ(val(u" 128 "), 128.0);
    EXPECT_EQ(val(u"12abc"), 12.0);
    EXPECT_EQ(val(u"3.25x"), 3.25);
    EXPECT_EQ(val(u"-1"), -1.0);
    EXPECT_EQ(val(u"+3"), 3.0);
    EXPECT_EQ(val(u".5"), 0.5);
    EXPECT_EQ(val(u"-.5"), -0.5);
    EXPECT_EQ(val(u"1."), 1.0);
}

TEST(Val, TextWithoutANumberIsZero) {
    EXPECT_EQ(val(u"abc"), 0.0);
    EXPECT_EQ(val(u""), 0.0);
    EXPECT_EQ(val(u"   "), 0.0);
    EXPECT_EQ(val(u"-"), 0.0);
    EXPECT_EQ(val(u"."), 0.0);
    EXPECT_EQ(val(u"x12"), 0.0);
}

TEST(Val, ExponentsCountOnlyWithDigits) {
    EXPECT_EQ(val(u"1e30"), 1e30);
    EXPECT_EQ(val(u"2.5E+2"), 250.0);
    EXPECT_EQ(val(u"5e-1"), 0.5);
    EXPECT_EQ(val(u"12e"), 12.0);
    EXPECT_EQ(val(u"12e+"), 12.0);
    EXPECT_EQ(val(u"12ex"), 12.0);
}

// Known faults, kept disabled until Numbers.cpp is corrected: an exponent so
// negative that the value underflows reads as infinity, and round numbers
// with trailing zeros come out in exponent form ("1e+06").
TEST(Val, DISABLED_UnderflowReadsAsZero) {
    EXPECT_EQ(val(u"1e-400"), 0.0);
    EXPECT_EQ(val(u"-1e-400"), 0.0);
}

TEST(NumberText, DISABLED_WholeNumbersStayInFixedForm) {
    EXPECT_EQ(shortestReal(100000.0), "100000");
    EXPECT_EQ(shortestReal(1000000.0), "1000000");
    EXPECT_EQ(signedText(3000000.0), " 3000000");
}

TEST(Rounding, HalvesGoToEven) {
    EXPECT_EQ(roundHalfEven(0.5), 0.0);
    EXPECT_EQ(roundHalfEven(1.5), 2.0);
    EXPECT_EQ(roundHalfEven(2.5), 2.0);
    EXPECT_EQ(roundHalfEven(3.5), 4.0);
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(roundHalfEven(-1.5), -2.0);
    EXPECT_EQ(roundHalfEven(2.4999), 2.0);
    EXPECT_EQ(roundHalfEven(-0.7), -1.0);
}

TEST(Rounding, IntegerRangesAreChecked) {
    EXPECT_EQ(toInt16(32767.4), std::optional<std::int16_t>(32767));
    EXPECT_EQ(toInt16(-32768.0), std::optional<std::int16_t>(-32768));
    EXPECT_EQ(toInt16(70000.0), std::nullopt);
    EXPECT_EQ(toInt16(32767.5), std::nullopt);
    EXPECT_EQ(toInt32(1e30), std::nullopt);
    EXPECT_EQ(toInt32(2147483647.0), std::optional<std::int32_t>(2147483647));
    EXPECT_EQ(toInt32(std::nan("")), std::nullopt);
    EXPECT_EQ(toInt32(INFINITY), std::nullopt);
}

TEST(Rounding, IntegerDivisionRoundsOperandsFirst) {
    EXPECT_EQ(intDiv(7.5, 2), 4);
    EXPECT_EQ(intDiv(-7, 2), -3);
    EXPECT_EQ(intDiv(7, 2.5), 3);
    EXPECT_EQ(intDiv(9, 0.4), 0);
    EXPECT_EQ(intDiv(9, 0), 0);
}

TEST(NumberText, ShortestForm) {
    EXPECT_EQ(shortestReal(10.5), "10.5");
    EXPECT_EQ(shortestReal(2535.0), "2535");
    EXPECT_EQ(shortestReal(1234.5), "1234.5");
    EXPECT_EQ(shortestReal(0.1f), "0.1");
    EXPECT_EQ(shortestReal(-0.0), "0");
    EXPECT_EQ(shortestReal(-3.0), "-3");
}

TEST(NumberText, SignedForm) {
    EXPECT_EQ(signedText(3), " 3");
    EXPECT_EQ(signedText(-1), "-1");
    EXPECT_EQ(signedText(10.5), " 10.5");
    EXPECT_EQ(signedText(0), " 0");
}

TEST(Booleans, AnythingButZeroIsOn) {
    EXPECT_TRUE(isOn(-1));
    EXPECT_TRUE(isOn(1));
    EXPECT_FALSE(isOn(0));
}

}  // namespace
}  // namespace orbet::num
