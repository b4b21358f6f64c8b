#include "val.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace marelos {
namespace {

bool IsSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Walks a text, stepping over the characters that Val ignores wherever they stand.
class Scanner {
  public:
    explicit Scanner(std::string_view text) : text_(text) { SkipIgnored(); }

    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    void Advance() {
        ++pos_;
        SkipIgnored();
    }
    std::size_t Position() const { return pos_; }
    void Rewind(std::size_t pos) { pos_ = pos; }

  private:
    void SkipIgnored() {
        while (pos_ < text_.size() && IsSkipped(text_[pos_]))
            ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

int DigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 99;
}

// "&H..." or "&O...": the digits of the given base after the prefix, 0 when there are none.
double ReadRadixNumber(Scanner& scan) {
    scan.Advance();  // "&"
    const char prefix = scan.Peek();
    int base = 0;
    if (prefix == 'H' || prefix == 'h') base = 16;
    if (prefix == 'O' || prefix == 'o') base = 8;
    if (base == 0) return 0.0;
    scan.Advance();
    double value = 0.0;
    while (DigitValue(scan.Peek()) < base) {
        value = value * base + DigitValue(scan.Peek());
        scan.Advance();
    }
    return value;
}

// The order of magnitude of a decimal text without sign ("123.4e5" -> 7), used only to tell
// overflow from underflow when the text does not fit a double.
long long DecimalMagnitude(const std::string& digits) {
    const std::size_t exponentAt = digits.find('e');
    const std::string mantissa = digits.substr(0, exponentAt);
    long long exponent = 0;
    if (exponentAt != std::string::npos) {
        const std::string e = digits.substr(exponentAt + 1);
        long long parsed = 0;
        const auto [end, ec] =
            std::from_chars(e.data() + (e[0] == '+' ? 1 : 0), e.data() + e.size(), parsed);
        (void)end;
        // Any exponent beyond a few hundred decides alone; clamped, the sum below cannot
        // overflow.
        constexpr long long kDecisive = 100000;
        exponent = ec == std::errc() ? std::clamp(parsed, -kDecisive, kDecisive)
                                     : (e[0] == '-' ? -kDecisive : kDecisive);
    }
    const std::size_t point = mantissa.find('.');
    const std::string whole = mantissa.substr(0, point);
    const std::size_t firstNonZero = whole.find_first_not_of('0');
    if (firstNonZero != std::string::npos)
        return static_cast<long long>(whole.size() - firstNonZero) + exponent;
    return -1 + exponent;  // the value is below 1: at most 10^-1 before the exponent
}

}  // namespace

double Val(std::string_view text) {
    Scanner scan(text);
    if (scan.Peek() == '&') return ReadRadixNumber(scan);

    std::string number;  // the accepted characters, in the form std::from_chars reads
    bool negative = false;
    if (scan.Peek() == '+' || scan.Peek() == '-') {
        negative = scan.Peek() == '-';
        scan.Advance();
    }
    bool seenDigit = false;
    bool seenPoint = false;
    for (;;) {
        const char c = scan.Peek();
        if (IsDigit(c)) {
            seenDigit = true;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        number += c;
        scan.Advance();
    }
    if (!seenDigit) return 0.0;

    const char e = scan.Peek();
    if (e == 'E' || e == 'e' || e == 'D' || e == 'd') {
        const std::size_t beforeExponent = scan.Position();
        std::string exponent = "e";
        scan.Advance();
        if (scan.Peek() == '+' || scan.Peek() == '-') {
            exponent += scan.Peek();
            scan.Advance();
        }
        if (IsDigit(scan.Peek())) {
            while (IsDigit(scan.Peek())) {
                exponent += scan.Peek();
                scan.Advance();
            }
            number += exponent;
        } else {
            scan.Rewind(beforeExponent);
        }
    }

    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        value = DecimalMagnitude(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    if (value == 0.0) return 0.0;  // never a negative zero
    return negative ? -value : value;
}

bool StartsWithNumber(std::string_view text) {
    Scanner scan(text);
    if (scan.Peek() == '&') {
        scan.Advance();
        const char prefix = scan.Peek();
        const int base = prefix == 'H' || prefix == 'h'   ? 16
                         : prefix == 'O' || prefix == 'o' ? 8
                                                          : 0;
        scan.Advance();
        return base != 0 && DigitValue(scan.Peek()) < base;
    }
    if (scan.Peek() == '+' || scan.Peek() == '-') scan.Advance();
    if (scan.Peek() == '.') scan.Advance();
    return IsDigit(scan.Peek());
}

}  // namespace marelos
