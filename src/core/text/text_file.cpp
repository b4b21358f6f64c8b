#include "text_file.h"

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
    const Failure failure{FailureKind::ReadError, path.string()};
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return failure;
    std::ifstream in(path, std::ios::binary);
    if (!in) return failure;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return failure;
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
