#include "core/text/codepage.h"

#include <gtest/gtest.h>

#include "tests/fakes/golden.h"

namespace marelos {
namespace {

TEST(Codepage, GermanLettersAndDegreeSignRoundTripThroughWindows1252) {
    const std::string utf8 = "Überlingen: 12 °C, Größe, Bärenhöhle, Fußweg €";
    const std::string bytes = Utf8ToWindows1252(utf8).value();
    EXPECT_EQ(bytes, "\334berlingen: 12 \260C, Gr\366\337e, B\344renh\366hle, Fu\337weg \200");
    EXPECT_EQ(Windows1252ToUtf8(bytes), utf8);
    // Bytes the code page leaves undefined survive a round trip.
    const std::string undefined = "\201\215\217\220\235";
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(undefined)).value(), undefined);
    EXPECT_NE(FailureMessage(Utf8ToWindows1252("a≈").failure()).find("„≈“"), std::string::npos);
}

// The conversions, the decoding, the lines, the validity and the length of texts in
// tests/data/codepage_cases.tsv.
TEST(Codepage, CasesAgainstTheirTable) {
    for (const std::vector<std::string>& row : DataRows("codepage_cases.tsv")) {
        const std::string in = row.at(1);
        std::string out;
        if (row[0] == "to1252") {
            const Result<std::string> converted = Utf8ToWindows1252(in);
            out = converted.ok() ? converted.value() : "refused " + converted.failure().subject;
            if (!converted.ok()) {
                EXPECT_EQ(converted.failure().kind, FailureKind::Unrepresentable);
            }
        } else if (row[0] == "decode") {
            out = DecodeTextBytes(in);
        } else if (row[0] == "split") {
            for (const std::string& line : SplitLines(in))
                out += line + "|";
        } else {
            out = std::to_string(row[0] == "valid" ? IsValidUtf8(in) : Utf8Length(in));
        }
        EXPECT_EQ(out, row.at(2)) << row[0] << " " << row[1];
    }
}

TEST(Codepage, CutsCharactersNotBytes) {
    EXPECT_EQ(Utf8Prefix("Größe", 3), "Grö");
    EXPECT_EQ(Utf8Prefix("ab", 5), "ab");
    EXPECT_EQ(Utf8Prefix("ab", 0), "");
}

}  // namespace
}  // namespace marelos
