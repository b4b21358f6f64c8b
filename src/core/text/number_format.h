#pragma once

#include <string>
#include <string_view>

namespace marelos {

// The general number format: whole numbers without a decimal part, other values with at most
// 15 significant digits and no trailing zeros (0.1 + 0.2 gives "0.3"), no digit grouping, and
// the exponent form ("1E+15", "1E-05") only for magnitudes from 10^15 or below 10^-4.
// Files and the settings store use "." as separator; the screen passes the locale's separator.
std::string FormatGeneral(double value, std::string_view decimalSeparator = ".");

// A whole number in decimal with "0" characters in front up to `width` characters; longer
// texts stay as they are. A minus sign stands before the zeros ("-05").
std::string PadZero(long long value, int width);

}  // namespace marelos
