#include "number_format.h"

#include <array>
#include <charconv>
#include <cmath>

namespace marelos {

std::string FormatGeneral(double value, std::string_view decimalSeparator) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
    if (value == 0.0) return "0";  // also for -0

    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::general, 15);
    std::string text = ec == std::errc() ? std::string(buffer.data(), end) : std::string("0");
    std::string result;
    result.reserve(text.size() + decimalSeparator.size());
    for (const char c : text) {
        if (c == '.') {
            result += decimalSeparator;
        } else {
            result += c == 'e' ? 'E' : c;
        }
    }
    return result;
}

std::string PadZero(long long value, int width) {
    const bool negative = value < 0;
    // Through unsigned so that the smallest long long has a magnitude too.
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                                  : static_cast<unsigned long long>(value);
    std::string digits = std::to_string(magnitude);
    const int signWidth = negative ? 1 : 0;
    const int missing = width - signWidth - static_cast<int>(digits.size());
    if (missing > 0) digits.insert(0, static_cast<std::size_t>(missing), '0');
    return negative ? "-" + digits : digits;
}

}  // namespace marelos
