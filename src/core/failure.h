#pragma once

#include <string>
#include <utility>
#include <variant>

namespace marelos {

// The closed set of ways in which work at the program's boundaries can fail. Each kind has one
// German message (FailureMessage), so every window reports the same failure the same way.
enum class FailureKind {
    ReadError,   // a file could not be opened or read
    TooLarge,    // a file is far larger than any file the program reads
    WriteError,  // a file could not be written completely (full disk, read-only folder, ...)
    Timeout,     // a device did not answer in time
    Protocol,    // a device answered something the protocol does not allow
    DataFormat,  // data was read but does not have the expected form
    Cancelled,   // the user cancelled the work
    // A file that is protected against writing would be overwritten.
    ReadOnly,
    // A text holds a character that the file's code page cannot hold; the subject is the character.
    Unrepresentable,
};

struct Failure {
    FailureKind kind;
    std::string subject;     // what failed: a file path, a device, a field name
    std::string cause = {};  // why, when the system said so (SystemErrorText)
    // A write that would have made a new file: there is no earlier file that stays as it was.
    bool newFile = false;
};

// The program's own German text for a failure.
std::string FailureMessage(const Failure& failure);

// A system error number as the user reads it: the German text of the common causes (the
// system's own text for the rare ones) and the number, "Zugriff verweigert (Fehler 13)".
std::string SystemErrorText(int errorNumber);

// A value or the failure that prevented it.
template <class T>
class Result {
  public:
    Result(T value) : state_(std::move(value)) {}
    Result(Failure failure) : state_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<T>(state_); }
    T&& value() && { return std::get<T>(std::move(state_)); }
    const Failure& failure() const { return std::get<Failure>(state_); }

  private:
    std::variant<T, Failure> state_;
};

}  // namespace marelos
