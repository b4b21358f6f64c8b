#include "core/text/codepage.h"

#include <gtest/gtest.h>

namespace marelos {
namespace {

TEST(Codepage, GermanLettersAndDegreeSignRoundTripThroughWindows1252) {
    const std::string utf8 = "Überlingen: 12 °C, Größe, Bärenhöhle, Fußweg €";
    const std::string bytes = Utf8ToWindows1252(utf8).value();
    EXPECT_EQ(bytes, "\334berlingen: 12 \260C, Gr\366\337e, B\344renh\366hle, Fu\337weg \200");
    EXPECT_EQ(Windows1252ToUtf8(bytes), utf8);
}

TEST(Codepage, LettersWithoutAWindows1252CodeBecomeTheClosestLetterOthersAreRefused) {
    EXPECT_EQ(Utf8ToWindows1252("Łukasz Wałęsa, Dvořák, Őrség, Ĳssel, Ștefan").value(),
              "Lukasz Walesa, Dvor\341k, Ors\351g, IJssel, Stefan");  // the code page has á and é
    EXPECT_EQ(Utf8ToWindows1252("5\u2009\u03BCm \u2212 3\u2032").value(), "5 \265m - 3'");
    // Letters the code page has keep their own code rather than a plain letter.
    EXPECT_EQ(Utf8ToWindows1252("Šœ").value(), "\212\234");
    for (const std::string text : {"≈", "Ω", "東京", "🐠"}) {
        const Result<std::string> refused = Utf8ToWindows1252("a" + text);
        ASSERT_FALSE(refused.ok()) << text;
        EXPECT_EQ(refused.failure().kind, FailureKind::Unrepresentable);
        EXPECT_EQ(refused.failure().subject, Utf8Prefix(text, 1));
    }
    EXPECT_NE(FailureMessage(Utf8ToWindows1252("≈").failure()).find("„≈“"), std::string::npos);
    EXPECT_EQ(Utf8ToWindows1252("a\377b").value(),
              "a\377b");  // a stray byte in the text goes back as it came
}

TEST(Codepage, DecodeTakesValidUtf8AsItIsAndEverythingElseAsWindows1252) {
    const std::string windows = "Gr\366\337e";  // "Größe" in Windows-1252
    const std::string mark = "\357\273\277";    // the byte order mark of UTF-8
    EXPECT_EQ(DecodeTextBytes("Größe"), "Größe");
    EXPECT_EQ(DecodeTextBytes(windows), "Größe");
    EXPECT_EQ(DecodeTextBytes(mark + "30\t5"), "30\t5");
    // Windows-1252 text that happens to begin with the bytes of the mark keeps them.
    EXPECT_EQ(DecodeTextBytes(mark + windows), "ï»¿Größe");
    // Bytes the code page leaves undefined survive a round trip.
    const std::string undefined = "\201\215\217\220\235";
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(undefined)).value(), undefined);
    // Malformed UTF-8: overlong form, the first and last surrogate, truncated sequence, beyond
    // U+10FFFF.
    for (const char* malformed :
         {"\300\257", "\355\240\200", "\355\277\277", "\342\202", "\364\220\200\200"})
        EXPECT_FALSE(IsValidUtf8(malformed)) << malformed;
    EXPECT_TRUE(IsValidUtf8("\360\237\220\240"));
}

TEST(Codepage, SplitLinesAcceptsCrLfLfAndCr) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitLines("a\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitLines("a\rb\r"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines("a\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines("\r\n"), Lines{""});
}

TEST(Codepage, CountsAndCutsCharactersNotBytes) {
    EXPECT_EQ(Utf8Length("Größe"), 5u);
    EXPECT_EQ(Utf8Prefix("Größe", 3), "Grö");
    EXPECT_EQ(Utf8Prefix("ab", 5), "ab");
    EXPECT_EQ(Utf8Prefix("ab", 0), "");
}

}  // namespace
}  // namespace marelos
