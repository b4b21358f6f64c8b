#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "core/failure.h"

namespace marelos {

// One file of a folder as the browser lists it.
struct FolderFile {
    std::string name;  // without the folder
    std::uintmax_t size = 0;
    std::time_t modified = 0;  // last change, seconds since the epoch
};

// The few things the browser does to folders and files. The program uses LocalFileSystem; tests
// can put a file system in between that fails where they want it to.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // The plain files of a folder (no sub-folders), in no particular order.
    virtual std::vector<FolderFile> Files(const std::string& folder) const = 0;
    // Anything at all in the folder, files and sub-folders alike.
    virtual bool IsEmptyFolder(const std::string& folder) const = 0;
    // Nothing in the folder but plain files: no sub-folder, link or other entry.
    virtual bool HoldsOnlyFiles(const std::string& folder) const = 0;
    virtual bool Exists(const std::string& path) const = 0;
    // True when both paths name the same file on disk.
    virtual bool SameFile(const std::string& a, const std::string& b) const = 0;

    // Writes a copy of `from` as `to`; an existing `to` is replaced only by a complete copy.
    virtual std::optional<Failure> Copy(const std::string& from, const std::string& to) = 0;
    virtual std::optional<Failure> Rename(const std::string& from, const std::string& to) = 0;
    virtual std::optional<Failure> Remove(const std::string& path) = 0;
    // Whether the desktop keeps a trash that deleted files can go to.
    virtual bool HasTrash() const = 0;
    // Moves a file or folder into the desktop's trash; a failure where no trash takes it (a
    // volume without a trash of its own, a desktop without any).
    virtual std::optional<Failure> MoveToTrash(const std::string& path) = 0;
    virtual std::optional<Failure> CreateFolder(const std::string& path) = 0;
    // Removes an empty folder; a folder that still holds anything stays.
    virtual std::optional<Failure> RemoveFolder(const std::string& path) = 0;
};

// The real disk, through std::filesystem and the program's one file reader and writer; it
// knows no trash, so what it deletes is gone.
class LocalFileSystem : public FileSystem {
  public:
    std::vector<FolderFile> Files(const std::string& folder) const override;
    bool IsEmptyFolder(const std::string& folder) const override;
    bool HoldsOnlyFiles(const std::string& folder) const override;
    bool Exists(const std::string& path) const override;
    bool SameFile(const std::string& a, const std::string& b) const override;
    std::optional<Failure> Copy(const std::string& from, const std::string& to) override;
    std::optional<Failure> Rename(const std::string& from, const std::string& to) override;
    std::optional<Failure> Remove(const std::string& path) override;
    bool HasTrash() const override { return false; }
    std::optional<Failure> MoveToTrash(const std::string& path) override;
    std::optional<Failure> CreateFolder(const std::string& path) override;
    std::optional<Failure> RemoveFolder(const std::string& path) override;
};

}  // namespace marelos
