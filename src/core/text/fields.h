#pragma once

#include <string>
#include <string_view>

namespace marelos {

// Field `number` (counted from 1) of a line whose fields are separated by single TAB or blank
// characters. Every separator ends a field, so two in a row enclose an empty field and a line
// that begins with one has an empty first field. The last character of a line always belongs to
// the last field, even when it is a blank or a TAB. A field that does not exist is empty.
std::string GetField(std::string_view line, int number);

// True when every character is "0" to "9"; true for the empty text.
bool IsDigits(std::string_view text);

// True when the text, blanks around it aside, is a plain decimal number: an optional sign and
// digits with at most one "." ("40", "-2.5", ".5"); false for "", "4a", "1,5" or "1E3".
bool IsDecimalNumber(std::string_view text);

// Every "," replaced by ".", so that a number typed with a decimal comma reads correctly.
std::string CommaToPoint(std::string_view text);

// The text without characters below code 32 (TABs, line ends, other control characters), as a
// line of a message list shows it.
std::string WithoutControlCharacters(std::string_view text);

}  // namespace marelos
