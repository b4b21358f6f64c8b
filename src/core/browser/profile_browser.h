#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/browser/file_system.h"
#include "core/graphics/canvas.h"
#include "core/ui/ui.h"

namespace marelos {

// The profile files of a folder as the browser lists them: the ".prf" files, then the ".mrp"
// files, each group by name. Every file is listed, however many there are.
std::vector<FolderFile> ListProfileFiles(const FileSystem& files, const std::string& folder);

// The list's columns: "1234 Bytes" and "2026-12-06 03:12" (local time).
std::string SizeText(const FolderFile& file);
std::string ModifiedText(const FolderFile& file);
// "1 Datei in /home/x", "3 Dateien in /home/x".
std::string FileCountText(std::size_t count, std::string_view folder);

// The folder and a file name joined with one "/".
std::string JoinPath(std::string_view folder, std::string_view name);
// The folder with a "/" at its end, as the storage folder is kept.
std::string WithTrailingSlash(std::string_view folder);

// The new name of a renamed file: the answer without a four-character ending ("x.prf" -> "x"),
// then ".mrp"; nothing for an empty answer.
std::optional<std::string> RenamedFileName(std::string_view answer);

// The browser's file operations. Each reports its failures to the user in German and never
// loses a file: a move deletes the source only after a complete copy.
class ProfileFileOperations {
  public:
    ProfileFileOperations(FileSystem& files, Ui& ui) : files_(files), ui_(ui) {}

    Ui& ui() { return ui_; }

    // Renames `name` in `folder` by the user's answer; asks before another file is replaced.
    // True when the file was renamed.
    bool Rename(const std::string& folder, const std::string& name, std::string_view answer);
    // The questions before files or a folder are deleted; each says whether the files go to
    // the desktop's trash or are gone for good.
    std::string DeleteQuestion() const;
    std::string DeleteFolderQuestion(const std::string& folder) const;
    // Moves the files to the desktop's trash. Where there is no trash, or none takes a file, the
    // files are deleted for good, those the trash refused only after a question of their own.
    // The number deleted.
    int Delete(const std::string& folder, const std::vector<std::string>& names);
    // Copies the files to `target` under the same names (replacing files of those names); a
    // move then deletes each source that was copied. The number copied or moved.
    int Copy(const std::string& folder, const std::vector<std::string>& names,
             const std::string& target, bool move);
    // Creates `name` under `folder`; true when it was created.
    bool CreateFolder(const std::string& folder, std::string_view name);
    // Deletes the listed files and the folder, but only when nothing else is in it: a folder
    // that holds other files or folders stays as it is, with all its files. With a trash the
    // folder goes there whole. True when removed.
    bool DeleteFolder(const std::string& folder, const std::vector<std::string>& listed);

  private:
    void Report(const Failure& failure);
    // Deletes the files for good; the number deleted.
    int Remove(const std::string& folder, const std::vector<std::string>& names);

    FileSystem& files_;
    Ui& ui_;
};

// The box of the small preview: the profile file's data lines as a line of run time against
// depth (at least 50 m deep), its marks as upright lines in dark blue, the depth axis labelled
// "m" and the largest run time with " min." in Arial. Only the lines before the end marker
// count; nothing is drawn for a file without depth or time.
void DrawProfilePreview(Canvas& canvas, const std::vector<std::string>& lines,
                        std::int32_t profileColour, std::int32_t background);

}  // namespace marelos
