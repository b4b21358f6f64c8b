#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "core/failure.h"

namespace marelos {

// A new content for a file that replaces the old one only when it is complete and on disk: a
// crash, a full disk or a failed write leaves the old file as it was.
//
// The new content goes to a temporary file created exclusively beside the file that is finally
// replaced. A symbolic link is followed, so the link stays and its target gets the new content.
// The replacement keeps the old file's permission bits (and its owner, where the writer may set
// it); a file without any write permission is refused. A temporary file left by a crashed save of
// the same file is removed first.
class FileReplacement {
  public:
    static Result<FileReplacement> Begin(const std::filesystem::path& path);

    FileReplacement(FileReplacement&& other) noexcept;
    FileReplacement& operator=(FileReplacement&&) = delete;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    ~FileReplacement();  // an uncommitted temporary file is removed

    // Where the new content is written, for writers that open the file by name themselves.
    const std::filesystem::path& TemporaryPath() const { return temporary_; }

    std::optional<Failure> Write(std::string_view bytes);

    // Puts the new content on disk and renames it over the file.
    std::optional<Failure> Commit();

  private:
    FileReplacement(std::filesystem::path target, std::filesystem::path temporary, int fd,
                    std::string subject, bool newFile);
    Failure WriteFailure() const { return {FailureKind::WriteError, subject_, {}, newFile_}; }

    std::filesystem::path target_;     // the file finally replaced (a link's target)
    std::filesystem::path temporary_;  // beside target_
    int fd_ = -1;                      // open on temporary_, and locked, until committed
    std::string subject_;              // the path as the user named it, for messages
    bool newFile_;                     // no file of that name was there before
    bool committed_ = false;
};

// Removes the temporary files that saves into `folder` left when they were killed, and that no
// running save holds; the number removed.
int RemoveStaleTemporaryFiles(const std::filesystem::path& folder);

// Replaces the file's content with `bytes` as FileReplacement does.
std::optional<Failure> ReplaceFileContent(const std::filesystem::path& path,
                                          std::string_view bytes);

}  // namespace marelos
