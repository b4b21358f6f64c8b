#include "profile_text.h"

#include <algorithm>

#include "core/text/number_format.h"
#include "core/text/text_file.h"

namespace marelos {

std::vector<std::string> ProfileAsTextLines(const DiveProfile& profile) {
    std::vector<std::string> lines = {kEditorHeader};
    const int last = std::min(profile.nextPoint, kProfileTableEnd - 1);
    for (int i = 1; i <= last; ++i) {
        const ProfileLine& line = profile.lines[i];
        if (!(line.depth > 0 || line.tDelta > 0)) continue;
        lines.push_back(FormatGeneral(line.depth) + "\t" + FormatGeneral(line.tDelta) + "\t" +
                        FormatGeneral(line.tTotal) + "\t" + FormatGeneral(line.n2Percent) + "\t" +
                        FormatGeneral(line.hePercent));
    }
    return lines;
}

Result<std::vector<std::string>> TextLinesOfFile(const std::string& path) {
    const Result<std::vector<std::string>> file = ReadTextFileLines(path);
    if (!file) return file.failure();
    std::string lower = path;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    std::vector<std::string> lines;
    if (lower.ends_with("prf")) lines.emplace_back(kEditorHeader);
    for (std::string line : file.value()) {
        std::replace(line.begin(), line.end(), ' ', '\t');
        lines.push_back(line);
    }
    return lines;
}

std::optional<Failure> SaveTextLines(const std::string& path,
                                     const std::vector<std::string>& lines) {
    if (lines.empty()) return WriteTextFileLines(path, {});
    return WriteTextFileLines(path, std::vector<std::string>(lines.begin() + 1, lines.end()));
}

}  // namespace marelos
