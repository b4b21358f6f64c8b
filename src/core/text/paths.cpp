#include "paths.h"

#include <filesystem>
#include <system_error>

#include "core/text/codepage.h"

namespace marelos {

bool HasWildcards(std::string_view path) {
    return path.find_first_of("*?") != std::string_view::npos;
}

bool FileExists(std::string_view path) {
    if (path.empty()) return false;
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

std::string ShortenPath(std::string_view path) {
    const std::size_t lastSeparator = path.rfind('/');
    if (Utf8Length(path) <= 30 || lastSeparator == std::string_view::npos) return std::string(path);
    return std::string(Utf8Prefix(path, 10)) + ".../" + std::string(path.substr(lastSeparator + 1));
}

}  // namespace marelos
