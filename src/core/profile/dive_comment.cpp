#include "dive_comment.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "core/settings/setting_keys.h"
#include "core/text/fields.h"
#include "core/text/text_file.h"

namespace marelos {
namespace {

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string LowerExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return extension;
}

}  // namespace

Result<CommentFields> ReadDiveComment(const std::string& path) {
    const Result<std::vector<std::string>> file = ReadTextFileLines(path);
    if (!file) return file.failure();
    CommentFields fields;
    for (const std::string& line : file.value()) {
        for (int n = 0; n < kCommentFieldCount; ++n) {
            if (!line.starts_with(kCommentKeys[static_cast<std::size_t>(n)])) continue;
            const std::size_t colon = line.find(':');
            fields[static_cast<std::size_t>(n)] =
                colon == std::string::npos ? std::string() : Trimmed(line.substr(colon + 1));
        }
    }
    return fields;
}

std::optional<Failure> SaveDiveComment(const std::string& path, const CommentFields& fields,
                                       SettingsStore& store) {
    const Result<std::vector<std::string>> file = ReadTextFileLines(path);
    if (!file) return file.failure();
    std::vector<std::string> lines;
    bool marker = false;
    for (const std::string& line : file.value()) {
        if (!line.empty()) lines.push_back(line);
        if (line.starts_with("#")) {
            marker = true;
            break;
        }
    }
    if (!marker) lines.emplace_back("# END OF PROFILE #");
    for (int n = 0; n < kCommentFieldCount; ++n) {
        std::string text = fields[static_cast<std::size_t>(n)];
        if (n == kRemarkField) {
            for (char& c : text) {
                if (static_cast<unsigned char>(c) < 32) c = ' ';
            }
        }
        lines.push_back(std::string(kCommentKeys[static_cast<std::size_t>(n)]) + ": " + text);
    }
    if (auto failure = WriteTextFileLines(path, lines)) return failure;
    WriteSetting(store, keys::kLastNumber, fields[0]);
    WriteSetting(store, keys::kLastCountry, fields[1]);
    WriteSetting(store, keys::kLastSite, fields[2]);
    return std::nullopt;
}

std::string AddGas(const std::string& field, std::string_view gas) {
    return field.empty() ? std::string(gas) : field + " " + std::string(gas);
}

std::optional<std::string> NeighbourProfileFile(const std::string& path, int direction) {
    namespace fs = std::filesystem;
    const fs::path current(path);
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(current.parent_path(), error)) {
        const std::string extension = LowerExtension(entry.path());
        if (entry.is_regular_file(error) && (extension == ".mrp" || extension == ".prf")) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    const auto here = std::find_if(files.begin(), files.end(), [&](const fs::path& file) {
        return file.filename() == current.filename();
    });
    if (here == files.end()) return std::nullopt;
    const auto index = here - files.begin() + direction;
    if (index < 0 || index >= static_cast<std::ptrdiff_t>(files.size())) return std::nullopt;
    return files[static_cast<std::size_t>(index)].string();
}

}  // namespace marelos
