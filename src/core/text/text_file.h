#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/failure.h"

namespace marelos {

// The lines of a text file, decoded to UTF-8 (see DecodeTextBytes) and split at CR LF, LF or CR.
Result<std::vector<std::string>> ReadTextFileLines(const std::filesystem::path& path);

// Writes the lines in Windows-1252 (see Utf8ToWindows1252), each followed by CR LF, as a
// FileReplacement: a failed write (full disk, read-only folder, a character the code page cannot
// hold) leaves the file that was there untouched. Returns the failure, if any.
std::optional<Failure> WriteTextFileLines(const std::filesystem::path& path,
                                          const std::vector<std::string>& lines);

}  // namespace marelos
