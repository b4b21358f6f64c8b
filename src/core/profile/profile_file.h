#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/settings_store.h"
#include "core/ui/ui.h"
#include "core/workspace.h"

namespace marelos {

inline constexpr std::string_view kProfileHeader = "Depth\tt.delta\tt.total\tN2%\tHe%";
inline constexpr std::string_view kEndOfProfile = "# END OF PROFILE #";
inline constexpr int kMaxKeptCommentLines = 101;

// Why a data line of a profile file cannot be read as a profile line: a number that is not
// finite or too large for the program's whole-number fields, or a gas share below 0 % or above
// 100 % (alone or together). Nothing for a good line (a missing field reads as 0, as always).
std::optional<std::string> DataLineProblem(std::string_view text);

// Loads a profile file into the current dive and calculates it. Refused silently (false) for a
// path of fewer than 3 characters or with wildcards; a file that cannot be read, or that holds
// more than 5998 data lines, a line DataLineProblem refuses, or that ends in the middle of a data
// line, is reported and leaves an empty, untitled profile in the input view, drawn at once.
bool ReadProfileFile(Workspace& workspace, SettingsStore& store, Ui& ui, const std::string& path);

// Calculates the dive and writes it: header, profile lines, on request the decompression
// phase, the end marker and the comment lines the file had. Written to a temporary file first,
// so a failed save leaves the old file as it was.
bool WriteProfileFile(Workspace& workspace, SettingsStore& store, Ui& ui, const std::string& path);

// The time and the depth (whole metres) of the last line that a profile file gets.
struct LastLine {
    double time = 0;
    double depth = 0;
};
LastLine LastWrittenLine(const DiveProfile& profile);

// The decompression phase of the last calculation as profile lines after the last line: the
// travel to the first stop, an ascent minute and the stop for every stop, the last minute to
// the surface. Without stops: the travel to 0 m and the surface minute.
std::vector<std::string> DecompressionLines(const Workspace& workspace, const LastLine& last);

// Asks whether the decompression phase goes along (for a continuous ascent, whether to switch
// to stops and calculate again) and gives its lines; none when it does not go along or the
// calculation ended early (which is told).
std::vector<std::string> AskedDecompressionLines(Workspace& workspace, SettingsStore& store, Ui& ui,
                                                 const LastLine& last);

// mnuSaveAs2: the profile under a new name. The comment lines of the current file go along;
// a line the new file already holds (its own comment, or the same file saved again) is not
// written twice. The recent files and the changed flag stay as they are.
bool SaveProfileAs(Workspace& workspace, SettingsStore& store, Ui& ui, const std::string& path);

// The comment lines of a profile file: the lines after its first end marker.
std::vector<std::string> CommentLines(const std::vector<std::string>& fileLines);

// The six recent files, most recent first; "" for an empty slot (also "NOVALUE").
std::vector<std::string> RecentFiles(const SettingsStore& store);
// Puts the path first in the recent files (moving it up when it is there already, compared
// without regard to case) and stores the list.
void RememberRecentFile(SettingsStore& store, const std::string& path);
// The captions of the six recent-file menu entries: "&1  " and the shortened path as stored.
std::vector<std::string> RecentFileCaptions(const SettingsStore& store);
// RecentFileCaptions shown in the menu.
void BuildRecentFilesMenu(const SettingsStore& store, Ui& ui);

// Removes what saves killed half-way left beside the files they were saving, in the folders the
// program writes profiles to: the profile folder and those of the recent files.
void RemoveLeftoversOfKilledSaves(const std::string& profileFolder, const SettingsStore& store);

}  // namespace marelos
