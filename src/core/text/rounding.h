#pragma once

#include <cmath>
#include <cstdint>

namespace marelos {

// The nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2): how a real value
// is stored into a whole-number variable everywhere in the program.
double RoundHalfEven(double value);

// RoundHalfEven into a 16-bit or 32-bit variable. A value outside the variable's range is held
// at the nearest limit, and a value that is not a number gives 0, so a garbage input can never
// wrap around into a plausible-looking number.
std::int16_t RoundToInt16(double value);
std::int32_t RoundToInt32(double value);

// The largest whole number not above the value, also for negative values (Int(-1.5) = -2).
// The same result as std::floor for every input, but plain arithmetic where the value has a
// fraction: the engine cuts several values a minute, and floor is a library call on the basic
// x86-64 instruction set.
inline double Int(double value) {
    constexpr double kAllWhole = 4503599627370496.0;  // 2^52: from here on every double is whole
    if (!(std::fabs(value) < kAllWhole)) return std::floor(value);  // also NaN and infinities
    const double cut = static_cast<double>(static_cast<std::int64_t>(value));  // towards zero
    if (cut == value) return value;  // whole already; keeps the sign of -0.0
    return cut > value ? cut - 1 : cut;
}

// Int(10^digits * value + 0.05) / 10^digits: the program's rounding of shares and depths to a
// number of decimal digits (the fixed 0.05 is part of the rule, whatever the digits).
double RoundTo(double value, int digits);

}  // namespace marelos
