#include "core/text/val.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace marelos {
namespace {

// The leading number with a point as separator (a comma or a second point ends it); blanks, tabs
// and line feeds are skipped wherever they stand, a carriage return is not; exponents with E or
// D, an exponent letter without digits is no part of the number; &H and &O prefixes.
TEST(Val, ReadsTheLeadingNumberAsWrittenInAnyOfItsForms) {
    const std::pair<const char*, double> cases[] = {
        {"42", 42},       {"3.25", 3.25},   {".5", 0.5},    {"7.", 7},
        {"-12.5", -12.5}, {"+8", 8},        {"1.2.3", 1.2}, {"30 m Tiefe", 30},
        {"0815", 815},    {"   12", 12},    {"1 2 3", 123}, {"\t- 4\n5 . 5", -45.5},
        {"1\r2", 1},      {"15,5", 15},     {"1E3", 1000},  {"1e3", 1000},
        {"2.5D2", 250},   {"2.5d-1", 0.25}, {"5E+1x", 50},  {"7E", 7},
        {"7E-", 7},       {"7Ex", 7},       {"7 E 2", 700}, {"&H1F", 31},
        {"&hff", 255},    {"&O17", 15},     {"&o178", 15},  {" & H 1 0", 16}};
    for (const auto& [text, value] : cases) {
        EXPECT_DOUBLE_EQ(Val(text), value) << text;
        EXPECT_TRUE(StartsWithNumber(text)) << text;
    }
}

// Exactly zero without digits or below the smallest double, exactly infinite beyond the largest,
// also with exponents at the ends of a 64-bit number and digits that would add to them.
TEST(Val, GivesExactZeroOrInfinityWhereThereIsNoOrNoFiniteNumber) {
    for (const char* text : {"", "abc", "-", ".", "--5", "E5", ",5", "&H", "&X12", "1E-400",
                             "0.0000001E-400", "0.00001e-9223372036854775808"})
        EXPECT_EQ(Val(text), 0) << text;
    // A zero that holds no number at all is a text, which the settings loader refuses.
    for (const char* text : {"", "abc", "-", ".", "--5", "E5", ",5", "&H", "&X12"})
        EXPECT_FALSE(StartsWithNumber(text)) << text;
    EXPECT_TRUE(StartsWithNumber("1E-400"));
    for (const char* text : {"1E400", "1E99999999999999999999", "1e9223372036854775807"})
        EXPECT_EQ(Val(text), HUGE_VAL) << text;
    EXPECT_EQ(Val("-1E400"), -HUGE_VAL);
    EXPECT_EQ(Val("-12345e9223372036854775807"), -HUGE_VAL);
    EXPECT_FALSE(std::signbit(Val("-0")));  // never a negative zero
}

}  // namespace
}  // namespace marelos
