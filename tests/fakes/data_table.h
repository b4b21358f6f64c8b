#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "tests/fakes/temp_folder.h"

namespace marelos {

// The rows of the case table tests/data/NAME: each line that is neither empty nor begins with
// '#', split at tabs.
inline std::vector<std::vector<std::string>> DataLines(const std::string& name) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(FileBytes(MARELOS_TEST_DATA "/" + name));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string>& row = rows.emplace_back();
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            row.push_back(line.substr(start, tab - start));
        row.push_back(line.substr(start));
    }
    EXPECT_FALSE(rows.empty()) << "no cases in tests/data/" << name;
    return rows;
}

// The text with each "\xHH" of a data file replaced by the byte it stands for.
inline std::string Unescaped(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool hex = text.compare(i, 2, "\\x") == 0 && i + 4 <= text.size();
        bytes += hex ? static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16)) : text[i];
        i += hex ? 3 : 0;
    }
    return bytes;
}

}  // namespace marelos
