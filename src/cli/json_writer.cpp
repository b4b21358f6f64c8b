#include "json_writer.h"

#include <cmath>
#include <utility>

namespace marelos {
namespace {

// Whole numbers up to this size are exact in a double.
constexpr double kLargestExactWhole = 9007199254740992.0;  // 2^53

}  // namespace

void JsonWriter::Add(nlohmann::ordered_json value) {
    if (open_.empty()) {
        out_ << value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
        return;
    }
    nlohmann::ordered_json& container = open_.back().value;
    if (container.is_array()) {
        container.push_back(std::move(value));
    } else {
        container[std::exchange(key_, {})] = std::move(value);
    }
}

void JsonWriter::Close() {
    Open closed = std::move(open_.back());
    open_.pop_back();
    key_ = std::move(closed.key);
    Add(std::move(closed.value));
}

void JsonWriter::BeginObject() {
    open_.push_back({nlohmann::ordered_json::object(), std::exchange(key_, {})});
}

void JsonWriter::EndObject() {
    Close();
}

void JsonWriter::BeginArray() {
    open_.push_back({nlohmann::ordered_json::array(), std::exchange(key_, {})});
}

void JsonWriter::EndArray() {
    Close();
}

void JsonWriter::Key(std::string_view key) {
    key_ = key;
}

void JsonWriter::String(std::string_view value) {
    Add(std::string(value));
}

void JsonWriter::Number(double value) {
    if (!std::isfinite(value)) {
        Add(nullptr);  // JSON has no infinity; the calculation never leaves one behind
    } else if (std::trunc(value) == value && std::fabs(value) <= kLargestExactWhole) {
        Add(static_cast<long long>(value));
    } else {
        Add(value);
    }
}

void JsonWriter::Integer(long long value) {
    Add(value);
}

void JsonWriter::Bool(bool value) {
    Add(value);
}

void JsonWriter::Null() {
    Add(nullptr);
}

void JsonWriter::Member(std::string_view key, double value) {
    Key(key);
    Number(value);
}

void JsonWriter::Member(std::string_view key, long long value) {
    Key(key);
    Integer(value);
}

}  // namespace marelos
