#pragma once

#include <string>
#include <string_view>

namespace marelos {

// True when the path contains "*" or "?".
bool HasWildcards(std::string_view path);

// True when the path names an existing file (not a folder); hidden and read-only files count.
bool FileExists(std::string_view path);

// A path of more than 30 characters that contains "/" becomes its first 10 characters, ".../"
// and the part after the last "/"; any other path comes back unchanged. Characters, not bytes,
// are counted, so a German letter never gets cut in half.
std::string ShortenPath(std::string_view path);

}  // namespace marelos
