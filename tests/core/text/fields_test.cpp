#include "core/text/fields.h"

#include <gtest/gtest.h>

namespace marelos {
namespace {

using Texts = std::vector<std::string>;

// Fields 1 to `count` of the line.
Texts Fields(const std::string& line, int count) {
    Texts fields;
    for (int index = 1; index <= count; ++index)
        fields.push_back(GetField(line, index));
    return fields;
}

// Fields count from one across tabs and blanks; every separator ends a field, so two of them
// enclose an empty one; the last character always belongs to the last field.
TEST(GetField, NumbersFieldsFromOneAndEverySeparatorEndsOne) {
    EXPECT_EQ(Fields("30\t5 25\t78\t0", 6), (Texts{"30", "5", "25", "78", "0", ""}));
    EXPECT_EQ(GetField("30\t5", 0), "");
    EXPECT_EQ(GetField("30\t5", -1), "");
    EXPECT_EQ(Fields("a\t\tb", 3), (Texts{"a", "", "b"}));
    EXPECT_EQ(Fields("a  b", 3), (Texts{"a", "", "b"}));
    EXPECT_EQ(Fields("\tx", 2), (Texts{"", "x"}));
    EXPECT_EQ(Fields("1 2 ", 3), (Texts{"1", "2 ", ""}));
    EXPECT_EQ(GetField("1\t", 1), "1\t");
    EXPECT_EQ(GetField(" ", 1), " ");
    EXPECT_EQ(GetField("", 1), "");
    EXPECT_EQ(Fields("; Abstieg 3", 3), (Texts{";", "Abstieg", "3"}));
    // A two-word mark name gives its second word as the minute field.
    EXPECT_EQ(GetField("; Tiefster Punkt 12", 3), "Punkt");
}

TEST(TextHelpers, IsDigitsCommaToPointAndControlCharacters) {
    EXPECT_TRUE(IsDigits(""));
    EXPECT_TRUE(IsDigits("0123456789"));
    for (const char* text : {"12a", "-1", "1.5", " 1"})
        EXPECT_FALSE(IsDigits(text)) << text;
    EXPECT_EQ(CommaToPoint("1,5,6"), "1.5.6");
    EXPECT_EQ(CommaToPoint("abc"), "abc");
    EXPECT_EQ(WithoutControlCharacters("a\tb\r\nc\x01"), "abc");
    EXPECT_EQ(WithoutControlCharacters("Über 30 °C"), "Über 30 °C");
}

}  // namespace
}  // namespace marelos
