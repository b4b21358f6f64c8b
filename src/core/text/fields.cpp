#include "fields.h"

#include <algorithm>

namespace marelos {

std::string GetField(std::string_view line, int number) {
    if (number < 1 || line.empty()) return {};
    int field = 1;
    std::size_t start = 0;
    // The last character is never taken as a separator.
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        if (line[i] != '\t' && line[i] != ' ') continue;
        if (field == number) return std::string(line.substr(start, i - start));
        ++field;
        start = i + 1;
    }
    return field == number ? std::string(line.substr(start)) : std::string();
}

bool IsDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsDecimalNumber(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return false;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.front() == '+' || text.front() == '-') text.remove_prefix(1);
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    return whole.size() + fraction.size() > 0 && IsDigits(whole) && IsDigits(fraction);
}

std::string CommaToPoint(std::string_view text) {
    std::string result(text);
    std::replace(result.begin(), result.end(), ',', '.');
    return result;
}

std::string WithoutControlCharacters(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 32) result += c;
    }
    return result;
}

}  // namespace marelos
