#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/fakes/temp_folder.h"

namespace marelos {

// Compares `text` byte for byte with the file `name` below tests/data. After a deliberate change
// of what is compared, MARELOS_UPDATE_GOLDEN=1 writes the file anew.
inline void ExpectGolden(const std::string& name, const std::string& text) {
    const std::string path = MARELOS_TEST_DATA "/" + name;
    if (std::getenv("MARELOS_UPDATE_GOLDEN") != nullptr) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        PutFile(path, text);
    }
    EXPECT_EQ(text, FileBytes(path)) << "golden file " << path;
}

// The lines, each ended by a line feed.
inline std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// The rows of the case table `name` below tests/data: every line that is neither empty nor starts
// with '#', split at tabs. In a field, \t, \r and \n stand for tab, carriage return and line feed,
// and \xHH for the byte HH.
inline std::vector<std::vector<std::string>> DataRows(const std::string& name) {
    std::istringstream in(FileBytes(MARELOS_TEST_DATA "/" + name));
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string>& row = rows.emplace_back(1);
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\t') {
                row.emplace_back();
            } else if (line.compare(i, 2, "\\x") == 0 && i + 4 <= line.size()) {
                row.back() += static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16));
                i += 3;
            } else if (line[i] == '\\' && i + 1 < line.size()) {
                const char c = line[++i];
                row.back() += c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : c;
            } else {
                row.back() += line[i];
            }
        }
    }
    EXPECT_FALSE(rows.empty()) << "case table " << name;
    return rows;
}

}  // namespace marelos
