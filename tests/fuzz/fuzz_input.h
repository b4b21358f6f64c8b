#pragma once

// Shared by the fuzz targets: the fuzzer's bytes as a file, for the readers that take a path.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace marelos::fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A folder of this process for the files a run writes; emptied by the next run's files.
inline const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        auto path =
            std::filesystem::temp_directory_path() / ("marelos-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

// Writes `bytes` as the file `name` in the folder and returns its path.
inline std::string FileWith(std::string_view name, std::string_view bytes) {
    const std::filesystem::path path = Folder() / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
    return path.string();
}

}  // namespace marelos::fuzz
