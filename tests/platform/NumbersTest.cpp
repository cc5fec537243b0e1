#include <cmath>

#include <gtest/gtest.h>

#include "platform/Numbers.h"

namespace orbet::num {
namespace {

TEST(Numbers, ValReadsTheLeadingNumber) {
    EXPECT_EQ(val(u"  42"), 42.0);
    EXPECT_EQ(val(u" 128 "), 128.0);
    EXPECT_EQ(val(u"12abc"), 12.0);
    EXPECT_EQ(val(u"-1"), -1.0);
    EXPECT_EQ(val(u"+3"), 3.0);
    EXPECT_EQ(val(u".5"), 0.5);
    EXPECT_EQ(val(u"-.5"), -0.5);
    EXPECT_EQ(val(u"1e30"), 1e30);
    EXPECT_EQ(val(u"2.5E+2"), 250.0);
    EXPECT_EQ(val(u"12e"), 12.0);
    EXPECT_EQ(val(u"12e+x"), 12.0);
    for (const char16_t* none : {u"abc", u"", u"  ", u"-", u".", u"x12"})
        EXPECT_EQ(val(none), 0.0);
}

TEST(Numbers, RoundingAndRanges) {
    EXPECT_EQ(roundHalfEven(0.5), 0.0);
    EXPECT_EQ(roundHalfEven(1.5), 2.0);
    EXPECT_EQ(roundHalfEven(2.5), 2.0);
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(roundHalfEven(-0.7), -1.0);
    EXPECT_EQ(toInt16(32767.4), std::optional<std::int16_t>(32767));
    EXPECT_EQ(toInt16(32767.5), std::nullopt);
    EXPECT_EQ(toInt16(70000.0), std::nullopt);
    EXPECT_EQ(toInt32(1e30), std::nullopt);
    EXPECT_EQ(toInt32(std::nan("")), std::nullopt);
    EXPECT_EQ(intDiv(7.5, 2), 4);
    EXPECT_EQ(intDiv(-7, 2), -3);
    EXPECT_EQ(intDiv(9, 0.4), 0);
}

TEST(Numbers, Texts) {
    EXPECT_EQ(shortestReal(10.5), "10.5");
    EXPECT_EQ(shortestReal(2535.0), "2535");
    EXPECT_EQ(shortestReal(0.1f), "0.1");
    EXPECT_EQ(shortestReal(-0.0), "0");
    EXPECT_EQ(signedText(3), " 3");
    EXPECT_EQ(signedText(-1), "-1");
    EXPECT_EQ(signedText(10.5), " 10.5");
}

// Known faults, disabled until Numbers.cpp is corrected: an underflowing
// exponent reads as infinity, and whole numbers ending in zeros come out in
// exponent form ("1e+06").
TEST(Numbers, UnderflowAndWholeNumbers) {
    EXPECT_EQ(val(u"1e-400"), 0.0);
    EXPECT_EQ(shortestReal(100000.0), "100000");
    EXPECT_EQ(signedText(3000000.0), " 3000000");
}

} // namespace
} // namespace orbet::num
