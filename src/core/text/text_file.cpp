#include "text_file.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "core/text/codepage.h"

namespace marelos {
namespace {

// A name beside the target that no other writer uses at the same moment.
std::filesystem::path TemporaryNameBeside(const std::filesystem::path& path) {
    std::random_device entropy;
    std::filesystem::path temporary = path;
    temporary += ".tmp" + std::to_string(entropy() % 1000000);
    return temporary;
}

}  // namespace

Result<std::vector<std::string>> ReadTextFileLines(const std::filesystem::path& path) {
    const auto failure = [&](std::errc cause) {
        return Failure{FailureKind::ReadError, path.string(),
                       SystemErrorText(static_cast<int>(cause))};
    };
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error) return failure(static_cast<std::errc>(error.value()));
    if (!std::filesystem::exists(status)) return failure(std::errc::no_such_file_or_directory);
    if (std::filesystem::is_directory(status)) return failure(std::errc::is_a_directory);
    // A pipe or a device could block the program for good.
    if (!std::filesystem::is_regular_file(status)) return failure(std::errc::invalid_argument);
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return failure(errno != 0 ? static_cast<std::errc>(errno) : std::errc::io_error);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return failure(std::errc::io_error);
    return SplitLines(DecodeTextBytes(bytes));
}

std::optional<Failure> WriteTextFileLines(const std::filesystem::path& path,
                                          const std::vector<std::string>& lines) {
    const Failure failure{FailureKind::WriteError, path.string()};
    const std::filesystem::path temporary = TemporaryNameBeside(path);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return failure;
        for (const std::string& line : lines) {
            out << Utf8ToWindows1252(line) << "\r\n";
        }
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return failure;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return failure;
    }
    return std::nullopt;
}

}  // namespace marelos
