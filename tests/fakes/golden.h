#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
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

}  // namespace marelos
