#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace marelos {

// Builds a JSON document value by value and writes it, as valid UTF-8 on one line, when its
// outermost object or array closes. Member order is the order of writing; a whole-number double
// is written without a fraction ("30", not "30.0"), any other in a form that reads back to the
// same double; bytes of a text that are not UTF-8 become U+FFFD.
class JsonWriter {
  public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    void Key(std::string_view key);
    void String(std::string_view value);
    void Number(double value);
    void Integer(long long value);
    void Null();
    void Bool(bool value);
    // A member of the current object: the key and its value.
    void Member(std::string_view key, double value);
    void Member(std::string_view key, long long value);

  private:
    struct Open {
        nlohmann::ordered_json value;
        std::string key;  // its key in the object around it
    };
    void Add(nlohmann::ordered_json value);
    void Close();

    std::ostream& out_;
    std::vector<Open> open_;  // the objects and arrays not yet closed, outermost first
    std::string key_;         // the key of the next value in an object
};

}  // namespace marelos
