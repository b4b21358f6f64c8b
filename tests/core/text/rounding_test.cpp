#include "core/text/rounding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace marelos {
namespace {

using ::testing::ElementsAre;

// Each function applied to every value.
template <typename Result>
std::vector<Result> Each(Result (*round)(double), std::initializer_list<double> values) {
    std::vector<Result> results;
    for (const double value : values)
        results.push_back(round(value));
    return results;
}

TEST(Rounding, HalvesGoToTheEvenNeighbourAndWholeNumberVariablesHoldAtTheirLimits) {
    EXPECT_THAT(Each(RoundHalfEven,
                     {0.5, 1.5, 2.5, 3.5, -0.5, -1.5, -2.5, 2.4999999, 2.5000001, -2.6, 1e300}),
                ElementsAre(0, 2, 2, 4, 0, -2, -2, 2, 3, -3, 1e300));
    EXPECT_THAT(Each(RoundToInt16, {32767.4, 32767.5, 1e9, -1e9, -32768.5, std::nan("")}),
                ElementsAre(32767, 32767, 32767, -32768, -32768, 0));
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    EXPECT_THAT(
        Each(RoundToInt32, {2147483647.4, 1e20, -1e20, HUGE_VAL, std::nan(""), 40000.5, -7.5}),
        ElementsAre(kMax, kMax, std::numeric_limits<std::int32_t>::min(), kMax, 0, 40000, -8));
}

TEST(Rounding, IntIsTheFloorAlsoBelowZero) {
    // Bit for bit std::floor, also at the edges of its arithmetic: signed zeros, the last
    // fractions before 2^52, whole numbers beyond, infinities and NaN.
    const double inf = std::numeric_limits<double>::infinity();
    const double below1 = std::nextafter(1.0, 0.0);
    for (const double value : {-0.0, 0.0, -0.5, 0.5, below1, -below1, 4503599627370495.5,
                               -4503599627370495.5, 4503599627370496.0, -9007199254740993.0, 1e300,
                               -1e300, inf, -inf, 84.93, -84.93, 1.9, -1.1, -2.0}) {
        EXPECT_EQ(std::signbit(Int(value)), std::signbit(std::floor(value))) << value;
        EXPECT_EQ(Int(value), std::floor(value)) << value;
    }
    EXPECT_TRUE(std::isnan(Int(std::nan(""))));
}

TEST(Rounding, RoundToAddsFiveHundredthsBeforeCuttingOff) {
    EXPECT_DOUBLE_EQ(RoundTo(12.34, 1), 12.3);
    EXPECT_DOUBLE_EQ(RoundTo(12.96, 1), 12.9);  // 129.6 + 0.05 -> 129: cut off, not rounded
    EXPECT_DOUBLE_EQ(RoundTo(0.949, 1), 0.9);   // 9.49 + 0.05 = 9.54 -> 9
    EXPECT_DOUBLE_EQ(RoundTo(0.996, 2), 0.99);  // 99.6 + 0.05 -> 99
    EXPECT_DOUBLE_EQ(RoundTo(7.96, 0), 8);      // 7.96 + 0.05 crosses the whole number
    EXPECT_DOUBLE_EQ(RoundTo(7.94, 0), 7);
    EXPECT_DOUBLE_EQ(RoundTo(-1.23, 1), -1.3);  // floor below zero
    EXPECT_DOUBLE_EQ(RoundTo(31.9999, 1), 32.0);
}

}  // namespace
}  // namespace marelos
