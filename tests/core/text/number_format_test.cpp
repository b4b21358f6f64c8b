#include "core/text/number_format.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

namespace marelos {
namespace {

using ::testing::ElementsAre;

// Whole numbers without a decimal part or grouping, at most fifteen significant digits without
// trailing zeros, the exponent form only for very large or small values.
TEST(FormatGeneral, ShowsAtMostFifteenSignificantDigitsAndTheExponentOnlyWhereNeeded) {
    std::vector<std::string> texts;
    for (const double value :
         {0.0, -0.0, 3.0, -42.0, 6000.0, 2147483647.0, 123456789012345.0, 0.1 + 0.2, 2.02343 * 0.78,
          0.79, 1.0 / 3.0, 2.0 / 3.0, -0.25, 0.0001, 1e15, 1.5e-5, HUGE_VAL, std::nan("")})
        texts.push_back(FormatGeneral(value));
    EXPECT_THAT(texts,
                ElementsAre("0", "0", "3", "-42", "6000", "2147483647", "123456789012345", "0.3",
                            "1.5782754", "0.79", "0.333333333333333", "0.666666666666667", "-0.25",
                            "0.0001", "1E+15", "1.5E-05", "Inf", "NaN"));
    // The screen variant uses the given decimal separator.
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
