#include "text_file.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "core/text/codepage.h"
#include "core/text/file_replacement.h"

namespace marelos {

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
    std::string bytes;
    for (const std::string& line : lines) {
        const Result<std::string> encoded = Utf8ToWindows1252(line);
        if (!encoded) return encoded.failure();
        bytes += encoded.value();
        bytes += "\r\n";
    }
    return ReplaceFileContent(path, bytes);
}

}  // namespace marelos
