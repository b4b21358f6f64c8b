#include "core/text/fields.h"

#include <gtest/gtest.h>

namespace marelos {
namespace {

TEST(GetField, NumbersFieldsFromOneAcrossTabsAndBlanks) {
    const std::string line = "30\t5 25\t78\t0";
    EXPECT_EQ(GetField(line, 1), "30");
    EXPECT_EQ(GetField(line, 2), "5");
    EXPECT_EQ(GetField(line, 3), "25");
    EXPECT_EQ(GetField(line, 5), "0");
    EXPECT_EQ(GetField(line, 6), "");
    EXPECT_EQ(GetField(line, 0), "");
    EXPECT_EQ(GetField(line, -1), "");
}

TEST(GetField, EverySeparatorEndsAFieldSoDoubleSeparatorsEncloseAnEmptyOne) {
    EXPECT_EQ(GetField("a\t\tb", 2), "");
    EXPECT_EQ(GetField("a\t\tb", 3), "b");
    EXPECT_EQ(GetField("a  b", 3), "b");
    EXPECT_EQ(GetField("\tx", 1), "");
    EXPECT_EQ(GetField("\tx", 2), "x");
}

TEST(GetField, TheLastCharacterAlwaysBelongsToTheLastField) {
    EXPECT_EQ(GetField("1 2 ", 2), "2 ");
    EXPECT_EQ(GetField("1 2 ", 3), "");
    EXPECT_EQ(GetField("1\t", 1), "1\t");
    EXPECT_EQ(GetField(" ", 1), " ");
    EXPECT_EQ(GetField("", 1), "");
}

TEST(GetField, ReadsAMarkLineAsTheDescriptionShowsIt) {
    EXPECT_EQ(GetField("; Abstieg 3", 2), "Abstieg");
    EXPECT_EQ(GetField("; Abstieg 3", 3), "3");
    // A two-word mark name gives its second word as the minute field.
    EXPECT_EQ(GetField("; Tiefster Punkt 12", 3), "Punkt");
}

TEST(TextHelpers, IsDigitsCommaToPointAndControlCharacters) {
    EXPECT_TRUE(IsDigits(""));
    EXPECT_TRUE(IsDigits("0123456789"));
    EXPECT_FALSE(IsDigits("12a"));
    EXPECT_FALSE(IsDigits("-1"));
    EXPECT_FALSE(IsDigits("1.5"));
    EXPECT_FALSE(IsDigits(" 1"));

    EXPECT_EQ(CommaToPoint("1,5"), "1.5");
    EXPECT_EQ(CommaToPoint("1,5,6"), "1.5.6");
    EXPECT_EQ(CommaToPoint("abc"), "abc");

    EXPECT_EQ(WithoutControlCharacters("a\tb\r\nc\x01"), "abc");
    EXPECT_EQ(WithoutControlCharacters("Über 30 °C"), "Über 30 °C");
}

}  // namespace
}  // namespace marelos
