#include "json_writer.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace marelos {

void JsonWriter::Separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_) out_ << ',';
    first_ = false;
}

void JsonWriter::BeginObject() {
    Separate();
    out_ << '{';
    first_ = true;
}

void JsonWriter::EndObject() {
    out_ << '}';
    first_ = false;
}

void JsonWriter::BeginArray() {
    Separate();
    out_ << '[';
    first_ = true;
}

void JsonWriter::EndArray() {
    out_ << ']';
    first_ = false;
}

void JsonWriter::Key(std::string_view key) {
    String(key);
    out_ << ':';
    afterKey_ = true;
}

void JsonWriter::String(std::string_view value) {
    Separate();
    out_ << '"';
    for (const char c : value) {
        switch (c) {
            case '"':
                out_ << "\\\"";
                break;
            case '\\':
                out_ << "\\\\";
                break;
            case '\n':
                out_ << "\\n";
                break;
            case '\r':
                out_ << "\\r";
                break;
            case '\t':
                out_ << "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    std::array<char, 8> escaped{};
                    std::snprintf(escaped.data(), escaped.size(), "\\u%04x", c);
                    out_ << escaped.data();
                } else {
                    out_ << c;
                }
        }
    }
    out_ << '"';
}

void JsonWriter::Number(double value) {
    Separate();
    if (!std::isfinite(value)) {
        out_ << "null";  // JSON has no infinity; the calculation never leaves one behind
        return;
    }
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out_ << std::string_view(buffer.data(), ec == std::errc() ? end - buffer.data() : 0);
}

void JsonWriter::Member(std::string_view key, double value) {
    Key(key);
    Number(value);
}

void JsonWriter::Member(std::string_view key, long long value) {
    Key(key);
    Integer(value);
}

void JsonWriter::Null() {
    Separate();
    out_ << "null";
}

void JsonWriter::Integer(long long value) {
    Separate();
    out_ << value;
}

}  // namespace marelos
