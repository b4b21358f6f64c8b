#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace marelos {

// An empty folder of its own for the running test, removed with everything in it when the test
// ends. The name carries the test's name and the process id, so tests running side by side in
// several processes never share one.
class TempFolder {
  public:
    explicit TempFolder(const std::string& prefix)
        : path_(std::filesystem::temp_directory_path() /
                ("marelos_" + prefix + "_" + std::to_string(::getpid()) + "_" + TestName())) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    static std::string TestName() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info ? info->name() : "outside_test";
        for (char& c : name)
            if (c == '/') c = '_';  // parameterised tests are named "Case/0"
        return name;
    }
    std::filesystem::path path_;
};

// Writes the bytes as they stand (no line-end translation) and returns the path.
inline std::string PutFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace marelos
