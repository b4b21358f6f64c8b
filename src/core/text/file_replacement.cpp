#include "file_replacement.h"

// Durable replacement needs the system calls under the standard library: exclusive creation,
// fsync, permission bits and an advisory lock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <utility>

namespace marelos {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinkDepth = 40;  // as the system allows when it opens a path

// The file a write to `path` finally changes: symbolic links are followed, even when the last
// one points to a file that does not exist yet.
std::optional<fs::path> FinalTarget(fs::path path) {
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
        const fs::path link = fs::read_symlink(path, error);
        if (error) return std::nullopt;
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return std::nullopt;  // a loop of links
}

constexpr std::string_view kTemporaryEnding = ".marelos-tmp";

fs::path TemporaryNameFor(const fs::path& target) {
    fs::path temporary = target;
    temporary += kTemporaryEnding;
    return temporary;
}

// The folder of `path`, as a name that open() accepts.
fs::path FolderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

bool HasNoWritePermission(const struct stat& status) {
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

int CreateExclusively(const fs::path& temporary, mode_t mode) {
    int fd = -1;
    do {
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// A temporary file that no running save holds locked is left over from a crashed save.
bool RemoveIfStale(const fs::path& temporary) {
    struct stat status {};
    if (::lstat(temporary.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    const bool stale = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const bool removed = stale && ::unlink(temporary.c_str()) == 0;
    ::close(fd);
    return removed;
}

void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    // The new file is in place already; a file system that cannot sync a folder is no reason to
    // report the save as failed.
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

FileReplacement::FileReplacement(fs::path target, fs::path temporary, int fd, std::string subject,
                                 bool newFile)
    : target_(std::move(target)),
      temporary_(std::move(temporary)),
      fd_(fd),
      subject_(std::move(subject)),
      newFile_(newFile) {}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept
    : target_(std::move(other.target_)),
      temporary_(std::move(other.temporary_)),
      fd_(std::exchange(other.fd_, -1)),
      subject_(std::move(other.subject_)),
      newFile_(other.newFile_),
      committed_(std::exchange(other.committed_, true)) {}

FileReplacement::~FileReplacement() {
    if (committed_) return;
    ::unlink(temporary_.c_str());
    if (fd_ >= 0) ::close(fd_);
}

Result<FileReplacement> FileReplacement::Begin(const fs::path& path) {
    const std::optional<fs::path> target = FinalTarget(path);
    if (!target) return Failure{FailureKind::WriteError, path.string()};

    struct stat old {};
    const bool exists = ::stat(target->c_str(), &old) == 0;
    const Failure failure{FailureKind::WriteError, path.string(), {}, !exists};
    if (exists && !S_ISREG(old.st_mode)) return failure;
    if (exists && (HasNoWritePermission(old) || ::access(target->c_str(), W_OK) != 0)) {
        return Failure{FailureKind::ReadOnly, path.string()};
    }

    const fs::path temporary = TemporaryNameFor(*target);
    // A new file gets the permissions the user's umask gives; a replaced one keeps its own.
    const mode_t mode = exists ? (old.st_mode & 07777) : 0666;
    int fd = CreateExclusively(temporary, mode);
    if (fd < 0 && errno == EEXIST && RemoveIfStale(temporary))
        fd = CreateExclusively(temporary, mode);
    if (fd < 0) return failure;
    FileReplacement replacement(*target, temporary, fd, path.string(), !exists);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return failure;
    if (exists) {
        // The owner first: changing it may clear set-id bits that the mode then restores.
        // Only the superuser may give a file away; everyone else keeps their own file.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) return failure;
        if (::fchmod(fd, old.st_mode & 07777) != 0) return failure;
    }
    return replacement;
}

std::optional<Failure> FileReplacement::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return WriteFailure();
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return std::nullopt;
}

std::optional<Failure> FileReplacement::Commit() {
    if (committed_ || fd_ < 0) return WriteFailure();
    const bool synced = ::fsync(fd_) == 0;
    const bool closed = ::close(std::exchange(fd_, -1)) == 0;
    if (!synced || !closed) return WriteFailure();
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return WriteFailure();
    committed_ = true;
    SyncFolder(FolderOf(target_));
    return std::nullopt;
}

int RemoveStaleTemporaryFiles(const fs::path& folder) {
    int removed = 0;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->path().filename().string().ends_with(kTemporaryEnding))
            removed += RemoveIfStale(it->path()) ? 1 : 0;
    }
    return removed;
}

std::optional<Failure> ReplaceFileContent(const fs::path& path, std::string_view bytes) {
    Result<FileReplacement> begun = FileReplacement::Begin(path);
    if (!begun) return begun.failure();
    FileReplacement replacement = std::move(begun).value();
    if (auto failure = replacement.Write(bytes)) return failure;
    return replacement.Commit();
}

}  // namespace marelos
