#pragma once

#include <ostream>
#include <string_view>

namespace marelos {

// Writes JSON values without building a document: strings escaped, doubles in their shortest
// form that reads back to the same double.
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
    // A member of the current object: the key and its value.
    void Member(std::string_view key, double value);
    void Member(std::string_view key, long long value);

  private:
    void Separate();

    std::ostream& out_;
    bool first_ = true;      // nothing written yet in the current object or array
    bool afterKey_ = false;  // the next value belongs to a key just written
};

}  // namespace marelos
