#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/failure.h"
#include "core/profile/dive_profile.h"

namespace marelos {

// The header the text editor puts before the current profile and before ".prf" files.
inline constexpr const char* kEditorHeader = "Tiefe\tt\tTgesamt\tN2%\tHe%";

// The current profile as editor lines: the header, then every line that a profile file gets.
std::vector<std::string> ProfileAsTextLines(const DiveProfile& profile);

// A profile file as editor lines: the header for ".prf" files, then every line of the file
// with its blanks turned into TABs (older files separate their fields by blanks).
Result<std::vector<std::string>> TextLinesOfFile(const std::string& path);

// Saves editor lines as a profile file: everything after the first (header) line.
std::optional<Failure> SaveTextLines(const std::string& path,
                                     const std::vector<std::string>& lines);

}  // namespace marelos
