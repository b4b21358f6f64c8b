#include "core/text/number_format.h"

#include <gtest/gtest.h>

#include <cmath>

namespace marelos {
namespace {

TEST(FormatGeneral, WholeNumbersHaveNoDecimalPart) {
    EXPECT_EQ(FormatGeneral(0), "0");
    EXPECT_EQ(FormatGeneral(-0.0), "0");
    EXPECT_EQ(FormatGeneral(3), "3");
    EXPECT_EQ(FormatGeneral(-42), "-42");
    EXPECT_EQ(FormatGeneral(6000), "6000");  // no grouping
    EXPECT_EQ(FormatGeneral(2147483647), "2147483647");
    EXPECT_EQ(FormatGeneral(123456789012345), "123456789012345");
}

TEST(FormatGeneral, ShowsAtMostFifteenSignificantDigitsWithoutTrailingZeros) {
    EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatGeneral(2.02343 * 0.78), "1.5782754");
    EXPECT_EQ(FormatGeneral(1.5), "1.5");
    EXPECT_EQ(FormatGeneral(0.79), "0.79");
    EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatGeneral(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(FormatGeneral(-0.25), "-0.25");
    EXPECT_EQ(FormatGeneral(0.0001), "0.0001");
}

TEST(FormatGeneral, UsesTheExponentFormOnlyForVeryLargeOrSmallValues) {
    EXPECT_EQ(FormatGeneral(1e15), "1E+15");
    EXPECT_EQ(FormatGeneral(1.5e-5), "1.5E-05");
    EXPECT_EQ(FormatGeneral(HUGE_VAL), "Inf");
    EXPECT_EQ(FormatGeneral(std::nan("")), "NaN");
}

TEST(FormatGeneral, TheScreenVariantUsesTheGivenDecimalSeparator) {
    EXPECT_EQ(FormatGeneral(1.5782754, ","), "1,5782754");
    EXPECT_EQ(FormatGeneral(1000, ","), "1000");
    EXPECT_EQ(FormatGeneral(1.5e-5, ","), "1,5E-05");
}

TEST(PadZero, FillsWithZerosUpToTheWidth) {
    EXPECT_EQ(PadZero(7, 2), "07");
    EXPECT_EQ(PadZero(123, 2), "123");
    EXPECT_EQ(PadZero(0, 4), "0000");
    EXPECT_EQ(PadZero(5, 0), "5");
    EXPECT_EQ(PadZero(-5, 3), "-05");
    EXPECT_EQ(PadZero(-9223372036854775807LL - 1, 2), "-9223372036854775808");
}

}  // namespace
}  // namespace marelos
