#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <concepts>
#include <ranges>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/fakes/golden.h"

namespace marelos {

// What a scenario showed, step by step: one line per note, compared whole with the golden file
// tests/data/transcripts/SUITE/TEST.txt when the test ends. A note replaces a row of
// hand-written expectations, and the golden file says what the user saw in one place; after a
// deliberate change MARELOS_UPDATE_GOLDEN=1 writes it anew (read the diff).
class Transcript {
  public:
    Transcript() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        name_ = std::string("transcripts/") + test->test_suite_name() + "/" + test->name() + ".txt";
        for (char& c : name_)
            if (c == '\\' || c == ':') c = '_';
    }
    ~Transcript() { ExpectGolden(name_, text_); }
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    // Writes `placeholder` wherever `text` would appear (a temporary folder, a process id).
    void Mask(std::string text, std::string placeholder) {
        masks_.emplace_back(std::move(text), std::move(placeholder));
    }

    // One line: the label and each value, separated by " | ". The values are evaluated in no
    // fixed order: a call that changes what another value reads runs before the note.
    template <class... T>
    Transcript& Note(std::string_view label, const T&... values) {
        std::string line(label);
        ((line += " | " + Text(values)), ...);
        for (const auto& [text, placeholder] : masks_) {
            for (std::size_t at = 0; !text.empty() && (at = line.find(text, at)) != line.npos;)
                line.replace(at, text.size(), placeholder), at += placeholder.size();
        }
        text_ += line + "\n";
        return *this;
    }

    // The value as the transcript writes it: texts as they stand, whole numbers by <<, others
    // exactly (shortest round trip), true and false as such, Qt's texts by their UTF-8, and a
    // sequence as its elements in brackets.
    template <class T>
    static std::string Text(const T& value) {
        if constexpr (std::convertible_to<const T&, std::string_view>) {
            return std::string(std::string_view(value));
        } else if constexpr (std::same_as<T, bool>) {
            return value ? "true" : "false";
        } else if constexpr (requires { value.toStdString(); }) {
            return value.toStdString();
        } else if constexpr (requires {
                                 value.has_value();
                                 *value;
                             }) {
            return value.has_value() ? Text(*value) : "(nichts)";
        } else if constexpr (std::floating_point<T>) {
            char text[32];  // the shortest text that reads back as the same number
            return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
        } else if constexpr (std::ranges::range<T>) {
            std::string text = "[";
            for (const auto& element : value)
                text += (text.size() > 1 ? "; " : "") + Text(element);
            return text + "]";
        } else {
            std::ostringstream out;
            out << value;
            return out.str();
        }
    }

  private:
    std::string name_;
    std::string text_;
    std::vector<std::pair<std::string, std::string>> masks_;
};

}  // namespace marelos
