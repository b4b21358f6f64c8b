#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/failure.h"

namespace marelos {

// No text file the program reads comes near this size (a full profile has about 200 kB); a larger
// one is refused before it is read, so a wrong file cannot exhaust the memory.
inline constexpr std::uintmax_t kMaxTextFileBytes = 50u * 1024 * 1024;

// The bytes of a file as they stand; a file larger than `maxBytes` is refused
// (FailureKind::TooLarge), a folder, a pipe or a device is no file to read.
Result<std::string> ReadFileBytes(const std::filesystem::path& path,
                                  std::uintmax_t maxBytes = kMaxTextFileBytes);

struct TextFileContent {
    std::vector<std::string> lines;
    bool lastLineEnded = true;  // false when the file ends in the middle of its last line
};

// The lines of a text file, decoded to UTF-8 (see DecodeTextBytes) and split at CR LF, LF or CR.
// A file larger than `maxBytes` is refused (FailureKind::TooLarge).
Result<TextFileContent> ReadTextFile(const std::filesystem::path& path,
                                     std::uintmax_t maxBytes = kMaxTextFileBytes);
// ReadTextFile's lines only.
Result<std::vector<std::string>> ReadTextFileLines(const std::filesystem::path& path,
                                                   std::uintmax_t maxBytes = kMaxTextFileBytes);

// Writes the lines in Windows-1252 (see Utf8ToWindows1252), each followed by CR LF, as a
// FileReplacement: a failed write (full disk, read-only folder, a character the code page cannot
// hold) leaves the file that was there untouched. Returns the failure, if any.
std::optional<Failure> WriteTextFileLines(const std::filesystem::path& path,
                                          const std::vector<std::string>& lines);
// Writes the bytes as they stand (an XML file in UTF-8, say), by the same temporary-file rule.
std::optional<Failure> WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace marelos
