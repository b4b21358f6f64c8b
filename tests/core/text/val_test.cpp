#include "core/text/val.h"

#include <gtest/gtest.h>

#include <cmath>

namespace marelos {
namespace {

TEST(Val, ReadsTheLeadingDecimalNumberWithPointAsSeparator) {
    EXPECT_DOUBLE_EQ(Val("42"), 42);
    EXPECT_DOUBLE_EQ(Val("3.25"), 3.25);
    EXPECT_DOUBLE_EQ(Val(".5"), 0.5);
    EXPECT_DOUBLE_EQ(Val("7."), 7);
    EXPECT_DOUBLE_EQ(Val("-12.5"), -12.5);
    EXPECT_DOUBLE_EQ(Val("+8"), 8);
    EXPECT_DOUBLE_EQ(Val("1.2.3"), 1.2);  // a second point ends the number
    EXPECT_DOUBLE_EQ(Val("30 m Tiefe"), 30);
    EXPECT_DOUBLE_EQ(Val("0815"), 815);
}

TEST(Val, SkipsBlanksTabsAndLineFeedsWhereverTheyStand) {
    EXPECT_DOUBLE_EQ(Val("   12"), 12);
    EXPECT_DOUBLE_EQ(Val("1 2 3"), 123);
    EXPECT_DOUBLE_EQ(Val("\t- 4\n5 . 5"), -45.5);
    EXPECT_DOUBLE_EQ(Val("1\r2"), 1);  // a carriage return is not skipped
}

TEST(Val, CommaIsNotADecimalSeparator) {
    EXPECT_DOUBLE_EQ(Val("15,5"), 15);
    EXPECT_DOUBLE_EQ(Val(",5"), 0);
}

TEST(Val, GivesZeroWithoutDigits) {
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val("-"), 0);
    EXPECT_EQ(Val("."), 0);
    EXPECT_EQ(Val("--5"), 0);
    EXPECT_EQ(Val("E5"), 0);
    EXPECT_FALSE(std::signbit(Val("-0")));  // never a negative zero
}

TEST(Val, ReadsExponentsWithEOrD) {
    EXPECT_DOUBLE_EQ(Val("1E3"), 1000);
    EXPECT_DOUBLE_EQ(Val("1e3"), 1000);
    EXPECT_DOUBLE_EQ(Val("2.5D2"), 250);
    EXPECT_DOUBLE_EQ(Val("2.5d-1"), 0.25);
    EXPECT_DOUBLE_EQ(Val("5E+1x"), 50);
    // An exponent letter without digits is not part of the number.
    EXPECT_DOUBLE_EQ(Val("7E"), 7);
    EXPECT_DOUBLE_EQ(Val("7E-"), 7);
    EXPECT_DOUBLE_EQ(Val("7Ex"), 7);
    EXPECT_DOUBLE_EQ(Val("7 E 2"), 700);
}

TEST(Val, ReadsHexadecimalAndOctalPrefixes) {
    EXPECT_DOUBLE_EQ(Val("&H1F"), 31);
    EXPECT_DOUBLE_EQ(Val("&hff"), 255);
    EXPECT_DOUBLE_EQ(Val("&O17"), 15);
    EXPECT_DOUBLE_EQ(Val("&o178"), 15);  // 8 is no octal digit
    EXPECT_DOUBLE_EQ(Val("&H"), 0);
    EXPECT_DOUBLE_EQ(Val("&X12"), 0);
    EXPECT_DOUBLE_EQ(Val(" & H 1 0"), 16);
}

TEST(Val, NumbersBeyondADoubleOverflowToInfinityAndUnderflowToZero) {
    EXPECT_EQ(Val("1E400"), HUGE_VAL);
    EXPECT_EQ(Val("-1E400"), -HUGE_VAL);
    EXPECT_EQ(Val("1E-400"), 0);
    EXPECT_EQ(Val("0.0000001E-400"), 0);
    EXPECT_EQ(Val("1E99999999999999999999"), HUGE_VAL);
    // Exponents at the ends of a 64-bit number, with digits that would add to them.
    EXPECT_EQ(Val("1e9223372036854775807"), HUGE_VAL);
    EXPECT_EQ(Val("-12345e9223372036854775807"), -HUGE_VAL);
    EXPECT_EQ(Val("0.00001e-9223372036854775808"), 0);
}

}  // namespace
}  // namespace marelos
