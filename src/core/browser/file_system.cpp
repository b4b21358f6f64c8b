#include "file_system.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "core/text/text_file.h"

namespace marelos {
namespace fs = std::filesystem;
namespace {

Failure SystemFailure(FailureKind kind, const std::string& subject, const std::error_code& error) {
    return {kind, subject, SystemErrorText(error.value())};
}

std::time_t ToTimeT(fs::file_time_type time) {
    return std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(
            std::chrono::file_clock::to_sys(time)));
}

}  // namespace

std::vector<FolderFile> LocalFileSystem::Files(const std::string& folder) const {
    std::vector<FolderFile> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code entryError;
        if (!it->is_regular_file(entryError)) continue;
        const auto size = it->file_size(entryError);
        const auto time = it->last_write_time(entryError);
        if (entryError) continue;  // vanished meanwhile
        files.push_back({it->path().filename().string(), size, ToTimeT(time)});
    }
    return files;
}

bool LocalFileSystem::IsEmptyFolder(const std::string& folder) const {
    std::error_code error;
    return fs::is_empty(folder, error) && !error;
}

bool LocalFileSystem::HoldsOnlyFiles(const std::string& folder) const {
    std::error_code error;
    for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        std::error_code entryError;
        if (!it->is_regular_file(entryError) || it->is_symlink(entryError)) return false;
    }
    return !error;
}

bool LocalFileSystem::Exists(const std::string& path) const {
    std::error_code error;
    return fs::exists(path, error);
}

bool LocalFileSystem::SameFile(const std::string& a, const std::string& b) const {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

std::optional<Failure> LocalFileSystem::Copy(const std::string& from, const std::string& to) {
    // Through the program's writer, so a failed copy never leaves half a file behind.
    const Result<std::string> bytes = ReadFileBytes(from);
    if (!bytes) return bytes.failure();
    return WriteFileBytes(to, bytes.value());
}

std::optional<Failure> LocalFileSystem::Rename(const std::string& from, const std::string& to) {
    std::error_code error;
    fs::rename(from, to, error);
    if (error) return SystemFailure(FailureKind::WriteError, to, error);
    return std::nullopt;
}

std::optional<Failure> LocalFileSystem::Remove(const std::string& path) {
    std::error_code error;
    if (!fs::remove(path, error) && !error)
        error = std::make_error_code(std::errc::no_such_file_or_directory);
    if (error) return SystemFailure(FailureKind::WriteError, path, error);
    return std::nullopt;
}

std::optional<Failure> LocalFileSystem::MoveToTrash(const std::string& path) {
    return Failure{FailureKind::WriteError, path};
}

std::optional<Failure> LocalFileSystem::CreateFolder(const std::string& path) {
    std::error_code error;
    if (!fs::create_directory(path, error) && !error)
        error = std::make_error_code(std::errc::file_exists);
    if (error) return SystemFailure(FailureKind::WriteError, path, error);
    return std::nullopt;
}

std::optional<Failure> LocalFileSystem::RemoveFolder(const std::string& path) {
    // std::filesystem::remove removes an empty folder only; it never empties one.
    return Remove(path);
}

}  // namespace marelos
