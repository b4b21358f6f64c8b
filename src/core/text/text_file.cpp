#include "text_file.h"

#include <array>
#include <cerrno>
#include <fstream>
#include <system_error>
#include <utility>

#include "core/text/codepage.h"
#include "core/text/file_replacement.h"

namespace marelos {

Result<std::string> ReadFileBytes(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    const auto failure = [&](std::errc cause) {
        return Failure{FailureKind::ReadError, path.string(),
                       SystemErrorText(static_cast<int>(cause))};
    };
    const Failure tooLarge{FailureKind::TooLarge, path.string()};
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error) return failure(static_cast<std::errc>(error.value()));
    if (!std::filesystem::exists(status)) return failure(std::errc::no_such_file_or_directory);
    if (std::filesystem::is_directory(status)) return failure(std::errc::is_a_directory);
    // A pipe or a device could block the program for good.
    if (!std::filesystem::is_regular_file(status)) return failure(std::errc::invalid_argument);
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return failure(static_cast<std::errc>(error.value()));
    if (size > maxBytes) return tooLarge;
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return failure(errno != 0 ? static_cast<std::errc>(errno) : std::errc::io_error);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    std::array<char, 65536> block{};
    // The limit holds also for a file that grows while it is read.
    while (in.read(block.data(), block.size()) || in.gcount() > 0) {
        bytes.append(block.data(), static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > maxBytes) return tooLarge;
    }
    if (in.bad()) return failure(std::errc::io_error);
    return bytes;
}

Result<TextFileContent> ReadTextFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    Result<std::string> read = ReadFileBytes(path, maxBytes);
    if (!read) return read.failure();
    const std::string& bytes = read.value();
    const bool ended = bytes.empty() || bytes.back() == '\n' || bytes.back() == '\r';
    return TextFileContent{SplitLines(DecodeTextBytes(bytes)), ended};
}

Result<std::vector<std::string>> ReadTextFileLines(const std::filesystem::path& path,
                                                   std::uintmax_t maxBytes) {
    Result<TextFileContent> file = ReadTextFile(path, maxBytes);
    if (!file) return file.failure();
    return std::move(file).value().lines;
}

std::optional<Failure> WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    return ReplaceFileContent(path, bytes);
}

std::optional<Failure> WriteTextFileLines(const std::filesystem::path& path,
                                          const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        const Result<std::string> encoded = Utf8ToWindows1252(line);
        if (!encoded) return encoded.failure();
        bytes += encoded.value();
        bytes += "\r\n";
    }
    return WriteFileBytes(path, bytes);
}

}  // namespace marelos
