#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/text/codepage.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/text/val.h"
#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/golden.h"

namespace marelos {
namespace {

// Control characters as \xHH, so that every case stays on its line.
std::string Shown(std::string_view text) {
    std::string shown = "\"";
    for (const char c : text) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
        shown += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? hex : std::string(1, c);
    }
    return shown + "\"";
}

std::string Exact(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The number functions on the edge cases of tests/data/text_function_inputs.tsv, compared with
// tests/data/text_functions.txt:
// Val reads the leading number with a point (a comma or a second point ends it), skips blanks,
// tabs and line feeds but not a carriage return, takes exponents with E or D and &H and &O, and
// gives exactly 0 or infinity where there is no finite number; rounding takes halves to the
// even neighbour and holds whole-number variables at their limits; Int is the floor (also of
// -0 and beyond 2^52); RoundTo adds five hundredths before cutting off; FormatGeneral shows at
// most fifteen significant digits; fields count from one and every separator ends one.
TEST(TextFunctions, EdgeCasesAgainstTheirGoldenFile) {
    const double below1 = std::nextafter(1.0, 0.0);
    std::vector<double> values = {below1, -below1, 0.1 + 0.2, 2.02343 * 0.78, 1.0 / 3.0, 2.0 / 3.0};
    std::string out, last;
    for (const std::vector<std::string>& row : DataRows("text_function_inputs.tsv")) {
        const std::string text = row.at(1);
        for (const double value :
             last == "round" && row[0] == "section" ? values : std::vector<double>{})
            out += Exact(value) + "\t" + Exact(RoundHalfEven(value)) + " " +
                   std::to_string(RoundToInt16(value)) + " " + std::to_string(RoundToInt32(value)) +
                   " " + Exact(Int(value)) + " " + FormatGeneral(value) + " " +
                   FormatGeneral(value, ",") + "\n";
        last = row[0];
        if (row[0] == "section") {
            out += "## " + text + "\n";
        } else if (row[0] == "val") {
            out += Shown(text) + " " + Exact(Val(text)) + " " +
                   std::to_string(StartsWithNumber(text)) + "\n";
        } else if (row[0] == "round") {
            values.push_back(std::strtod(text.c_str(), nullptr));
        } else if (row[0] == "roundto") {
            out += Exact(std::stod(text)) + " " + row[2] + " " +
                   Exact(RoundTo(std::stod(text), std::stoi(row[2]))) + "\n";
        } else if (row[0] == "padzero") {
            out += text + " " + row[2] + " " + PadZero(std::stoll(text), std::stoi(row[2])) + "\n";
        } else if (row[0] == "field") {
            out += Shown(text);
            for (int field = -1; field <= 6; ++field)
                out += " " + Shown(GetField(text, field));
            out += "\n";
        } else if (row[0] == "decimal") {
            out += Shown(text) + " " + std::to_string(IsDecimalNumber(text)) + "\n";
        } else {
            out += Shown(text) + " " + std::to_string(IsDigits(text)) + " " +
                   Shown(CommaToPoint(text)) + " " + Shown(WithoutControlCharacters(text)) + "\n";
        }
    }
    ExpectGolden("text_functions.txt", out);
    EXPECT_TRUE(std::isnan(Int(std::nan(""))));
    EXPECT_EQ(Val("1E400"), HUGE_VAL);
}

// The conversions both ways, the decoding, the lines, the validity, the length and the prefixes of
// texts in tests/data/codepage_cases.tsv.
TEST(Codepage, CasesAgainstTheirTable) {
    for (const std::vector<std::string>& row : DataRows("codepage_cases.tsv")) {
        const std::string in = row.at(1);
        std::string out;
        if (row[0] == "to1252") {
            const Result<std::string> converted = Utf8ToWindows1252(in);
            out = converted.ok() ? converted.value() : "refused " + converted.failure().subject;
            if (!converted.ok()) {  // the message names the character
                EXPECT_EQ(converted.failure().kind, FailureKind::Unrepresentable);
                EXPECT_NE(FailureMessage(converted.failure())
                              .find("„" + converted.failure().subject + "“"),
                          std::string::npos);
            }
        } else if (row[0] == "from1252") {
            out = Windows1252ToUtf8(in);
        } else if (row[0] == "both") {
            out = Utf8ToWindows1252(Windows1252ToUtf8(in)).value();
        } else if (row[0] == "decode") {
            out = DecodeTextBytes(in);
        } else if (row[0] == "split") {
            for (const std::string& line : SplitLines(in))
                out += line + "|";
        } else if (row[0].starts_with("prefix")) {
            out = Utf8Prefix(in, std::stoi(row[0].substr(6)));
        } else {
            out = std::to_string(row[0] == "valid" ? IsValidUtf8(in) : Utf8Length(in));
        }
        EXPECT_EQ(out, row.at(2)) << row[0] << " " << row[1];
    }
}

}  // namespace
}  // namespace marelos
