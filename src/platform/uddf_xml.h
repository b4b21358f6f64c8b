#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/exchange/uddf_dive.h"
#include "core/failure.h"

namespace marelos {

// The dives of a dive log in the exchange format (versions 3.2 and 3.3, with or without the
// namespace). Elements the program does not use are skipped, links to sites, buddies and mixes
// resolved; nothing outside the bytes is ever loaded. A file that is no such log, or whose XML
// is broken, is a DataFormat failure naming `subject`.
Result<UddfLog> ParseUddf(std::string_view bytes, const std::string& subject);
// ParseUddf of a file, refused beyond the size limit of the text files.
Result<UddfLog> ReadUddfFile(const std::string& path);

// The log as a UTF-8 document of version 3.2, with the program as its generator.
std::string UddfDocument(const UddfLog& log);
// UddfDocument written to `path` through a temporary file.
std::optional<Failure> WriteUddfFile(const std::string& path, const UddfLog& log);

}  // namespace marelos
