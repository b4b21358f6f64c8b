#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/text/val.h"
#include "tests/core/engine/outputs_test_support.h"

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

std::vector<std::string> Split(const std::string& texts) {
    std::vector<std::string> parts(1);
    for (const char c : texts) {
        if (c == '|') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

std::string Exact(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The number functions on their edge cases, compared with tests/data/text_functions.txt:
// Val reads the leading number with a point (a comma or a second point ends it), skips blanks,
// tabs and line feeds but not a carriage return, takes exponents with E or D and &H and &O, and
// gives exactly 0 or infinity where there is no finite number; rounding takes halves to the
// even neighbour and holds whole-number variables at their limits; Int is the floor (also of
// -0 and beyond 2^52); RoundTo adds five hundredths before cutting off; FormatGeneral shows at
// most fifteen significant digits; fields count from one and every separator ends one.
TEST(TextFunctions, EdgeCasesAgainstTheirGoldenFile) {
    const double below1 = std::nextafter(1.0, 0.0);
    std::string out = "## Val, StartsWithNumber\n";
    const std::vector<std::string> numbers = Split(
        "42|3.25|.5|7.|-12.5|+8|1.2.3|30 m Tiefe|0815|   12|1 2 3|\t- 4\n5 . "
        "5|1\r2|15,5|1E3|1e3|2.5D2|2.5d-1|5E+1x|7E|7E-|7Ex|7 E 2|&H1F|&hff|&O17|&o178| & H 1 "
        "0||abc|-|.|--5|E5|,5|&H|&X12|1E-400|0.0000001E-400|0.00001e-9223372036854775808|1E400|"
        "1E99999999999999999999|1e9223372036854775807|-1E400|-12345e9223372036854775807|-0");
    for (const std::string& text : numbers)
        out += Shown(text) + " " + Exact(Val(text)) + " " + std::to_string(StartsWithNumber(text)) +
               "\n";
    out += "## RoundHalfEven, RoundToInt16, RoundToInt32, Int, FormatGeneral with . and ,\n";
    std::vector<double> values = {below1, -below1, 0.1 + 0.2, 2.02343 * 0.78, 1.0 / 3.0, 2.0 / 3.0};
    for (const std::string& text :
         Split("0.5|1.5|2.5|3.5|-0.5|-1.5|-2.5|2.4999999|2.5000001|-2.6|1e300|-1e300|32767.4|32767."
               "5|1e9|-1e9|-32768.5|2147483647.4|1e20|-1e20|40000.5|-7.5|0.0|-0.0|4503599627370495."
               "5|-4503599627370495.5|4503599627370496.0|-9007199254740993.0|84.93|-84.93|1.9|-1.1|"
               "-2.0|3.0|-42.0|6000.0|2147483647.0|123456789012345.0|0.79|-0.25|0.0001|1e15|1.5e-5|"
               "1000.0|inf|-inf|nan"))
        values.push_back(std::strtod(text.c_str(), nullptr));
    for (const double value : values) {
        out += Exact(value) + "\t" + Exact(RoundHalfEven(value)) + " " +
               std::to_string(RoundToInt16(value)) + " " + std::to_string(RoundToInt32(value)) +
               " " + Exact(Int(value)) + " " + FormatGeneral(value) + " " +
               FormatGeneral(value, ",") + "\n";
    }
    out += "## RoundTo\n";
    for (const auto& [value, digits] : {std::pair{12.34, 1},
                                        {12.96, 1},
                                        {0.949, 1},
                                        {0.996, 2},
                                        {7.96, 0},
                                        {7.94, 0},
                                        {-1.23, 1},
                                        {31.9999, 1}})
        out += Exact(value) + " " + std::to_string(digits) + " " + Exact(RoundTo(value, digits)) +
               "\n";
    out += "## PadZero\n";
    for (const auto& [value, width] : {std::pair{7LL, 2},
                                       {123LL, 2},
                                       {0LL, 4},
                                       {5LL, 0},
                                       {-5LL, 3},
                                       {-9223372036854775807LL - 1, 2}})
        out += std::to_string(value) + " " + std::to_string(width) + " " + PadZero(value, width) +
               "\n";
    out += "## GetField -1 to 6\n";
    const std::vector<std::string> lines =
        Split("30\t5 25\t78\t0|a\t\tb|a  b|\tx|1 2 |1\t| ||; Abstieg 3|; Tiefster Punkt 12");
    for (const std::string& line : lines) {
        out += Shown(line);
        for (int field = -1; field <= 6; ++field)
            out += " " + Shown(GetField(line, field));
        out += "\n";
    }
    out += "## IsDigits, CommaToPoint, WithoutControlCharacters\n";
    const std::vector<std::string> texts =
        Split("|0123456789|12a|-1|1.5| 1|1,5,6|abc|a\tb\r\nc\x01|Über 30 °C");
    for (const std::string& text : texts) {
        out += Shown(text) + " " + std::to_string(IsDigits(text)) + " " +
               Shown(CommaToPoint(text)) + " " + Shown(WithoutControlCharacters(text)) + "\n";
    }
    ExpectGolden("text_functions.txt", out);
    EXPECT_TRUE(std::isnan(Int(std::nan(""))));
    EXPECT_EQ(Val("1E400"), HUGE_VAL);
}

}  // namespace
}  // namespace marelos
