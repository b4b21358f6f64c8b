#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/failure.h"

namespace marelos {

// Text inside the program is UTF-8. Files are read as UTF-8 when their bytes are valid UTF-8 and
// as Windows-1252 otherwise, and written in Windows-1252, so they stay exchangeable with profile
// files written on Windows.

// True for well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Windows-1252 bytes as UTF-8. The five bytes the code page leaves undefined map to the
// control characters of the same number, so nothing is lost.
std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-8 text as Windows-1252 bytes. A Latin letter the code page lacks is written as the closest
// letter it has ("Łukasz" as "Lukasz"), a few signs likewise (a thin space as a space); any other
// character fails as Unrepresentable, naming it. A stray byte that is not UTF-8 is kept as it is.
Result<std::string> Utf8ToWindows1252(std::string_view utf8);

// The bytes of a text file as UTF-8 text: valid UTF-8 is taken as it is, without a leading
// byte-order mark; anything else is read as Windows-1252, leading bytes included.
std::string DecodeTextBytes(std::string_view bytes);

// The lines of a text; CR LF, LF and a lone CR each end a line. A line end after the last line
// does not start another (empty) line.
std::vector<std::string> SplitLines(std::string_view text);

// The number of characters (code points) of UTF-8 text.
std::size_t Utf8Length(std::string_view utf8);

// The first `count` characters (code points) of UTF-8 text.
std::string_view Utf8Prefix(std::string_view utf8, std::size_t count);

}  // namespace marelos
