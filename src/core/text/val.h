#pragma once

#include <cmath>
#include <string_view>

namespace marelos {

// The numeric value of a text, as every number read from a file, a field or the settings store
// is read: blanks, tabs and line feeds are skipped wherever they stand; then an optional sign,
// digits with at most one "." and an optional exponent (E or D, optional sign, digits); "&H" and
// "&O" introduce hexadecimal and octal digits. Reading stops at the first other character, and a
// text without digits gives 0. "," is never a decimal separator here.
// A decimal number too large for a double gives +/-infinity; callers that store the value check
// for it (the settings loader treats it like a text without a number).
double Val(std::string_view text);

// True when Val finds digits in the text: false for "", "abc" or "-", which Val reads as 0
// although they hold no number.
bool StartsWithNumber(std::string_view text);

// Numbers read from files are refused from this size on: every smaller value fits the 32-bit
// whole numbers it is rounded into, with room for the sums of a whole file; larger ones (and
// infinity) are no depth, time or share.
inline constexpr double kLargestFileNumber = 1e9;
inline bool IsUsableFileNumber(double value) {
    return std::fabs(value) < kLargestFileNumber;
}

}  // namespace marelos
