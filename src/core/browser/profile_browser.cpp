#include "profile_browser.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <span>

#include "core/graphics/graph_layout.h"
#include "core/profile/profile_file.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/val.h"

namespace marelos {
namespace {

constexpr std::int32_t kMarkColour = 0x800000;
constexpr double kLeastPreviewDepth = 50;  // shallow dives keep the scale of a 50 m dive
// The delete questions say where the files go.
constexpr const char* kDeleteFiles = "Markierte Dateien jetzt löschen?";
constexpr const char* kFilesToTrash = " Sie werden in den Papierkorb verschoben.";
constexpr const char* kFilesGone = " Es gibt keinen Papierkorb: sie werden endgültig gelöscht.";
constexpr const char* kFolderToTrash = " Er wird mit seinen Dateien in den Papierkorb verschoben.";
constexpr const char* kFolderGone =
    " Es gibt keinen Papierkorb: seine Dateien werden endgültig gelöscht.";
// The preview keeps its own small font, whatever font the graph is set in; the system's font
// configuration stands in a similar font where Arial is not installed.
constexpr std::string_view kPreviewFontName = "Arial";

bool HasEnding(std::string_view name, std::string_view ending) {
    if (name.size() <= ending.size()) return false;
    const auto tail = name.substr(name.size() - ending.size());
    return std::equal(tail.begin(), tail.end(), ending.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

struct PreviewExtent {
    double depth = 0;
    double time = 0;
};

// The lines before the end marker: the comment after it ("Uhrzeit: 09 30") holds numbers too.
std::span<const std::string> ProfilePart(const std::vector<std::string>& lines) {
    const auto end = std::find(lines.begin(), lines.end(), kEndOfProfile);
    return {lines.begin(), end};
}

// The largest depth (field 1) and run time (field 3) of any line of the profile.
PreviewExtent ExtentOf(std::span<const std::string> lines) {
    PreviewExtent extent;
    for (const std::string& line : lines) {
        extent.depth = std::max(extent.depth, Val(GetField(line, 1)));
        extent.time = std::max(extent.time, Val(GetField(line, 3)));
    }
    return extent;
}

}  // namespace

std::vector<FolderFile> ListProfileFiles(const FileSystem& files, const std::string& folder) {
    std::vector<FolderFile> all = files.Files(folder);
    std::vector<FolderFile> listed;
    listed.reserve(all.size());
    for (const char* ending : {".prf", ".mrp"}) {
        const auto first = listed.size();
        std::copy_if(all.begin(), all.end(), std::back_inserter(listed),
                     [ending](const FolderFile& f) { return HasEnding(f.name, ending); });
        std::sort(listed.begin() + static_cast<std::ptrdiff_t>(first), listed.end(),
                  [](const FolderFile& a, const FolderFile& b) { return a.name < b.name; });
    }
    return listed;
}

std::string SizeText(const FolderFile& file) {
    return std::to_string(file.size) + " Bytes";
}

std::string ModifiedText(const FolderFile& file) {
    std::tm local{};
    localtime_r(&file.modified, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

std::string FileCountText(std::size_t count, std::string_view folder) {
    return std::to_string(count) + (count == 1 ? " Datei" : " Dateien") + " in " +
           std::string(folder);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    return WithTrailingSlash(folder) + std::string(name);
}

std::string WithTrailingSlash(std::string_view folder) {
    std::string path(folder);
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

std::optional<std::string> RenamedFileName(std::string_view answer) {
    if (answer.empty()) return std::nullopt;
    if (answer.size() >= 4 && answer[answer.size() - 4] == '.') answer.remove_suffix(4);
    return std::string(answer) + ".mrp";
}

void ProfileFileOperations::Report(const Failure& failure) {
    ui_.ShowMessage(FailureMessage(failure), MessageIcon::Critical);
}

bool ProfileFileOperations::Rename(const std::string& folder, const std::string& name,
                                   std::string_view answer) {
    const auto newName = RenamedFileName(answer);
    if (!newName) return false;
    const std::string from = JoinPath(folder, name);
    const std::string to = JoinPath(folder, *newName);
    if (files_.SameFile(from, to)) return false;  // the name it already has
    if (files_.Exists(to) &&
        ui_.Ask("Die Datei " + *newName + " gibt es schon. Ersetzen?", Buttons::YesNo,
                MessageIcon::Question, Answer::No) != Answer::Yes)
        return false;
    if (const auto failure = files_.Rename(from, to)) {
        Report(*failure);
        return false;
    }
    return true;
}

std::string ProfileFileOperations::DeleteQuestion() const {
    return std::string(kDeleteFiles) + (files_.HasTrash() ? kFilesToTrash : kFilesGone);
}

std::string ProfileFileOperations::DeleteFolderQuestion(const std::string& folder) const {
    return "Den Ordner " + folder + " wirklich löschen?" +
           (files_.HasTrash() ? kFolderToTrash : kFolderGone);
}

int ProfileFileOperations::Delete(const std::string& folder,
                                  const std::vector<std::string>& names) {
    if (!files_.HasTrash()) return Remove(folder, names);
    int deleted = 0;
    std::vector<std::string> refused;
    for (const std::string& name : names) {
        const std::string path = JoinPath(folder, name);
        if (!files_.Exists(path)) {
            deleted += Remove(folder, {name});  // which says that it is gone
        } else if (files_.MoveToTrash(path)) {
            refused.push_back(name);
        } else {
            ++deleted;
        }
    }
    if (refused.empty()) return deleted;
    std::string list;
    for (const std::string& name : refused)
        list += (list.empty() ? "" : ", ") + name;
    const std::string question = "Der Papierkorb nimmt diese Dateien nicht auf: " + list +
                                 ". Sollen sie endgültig gelöscht werden?";
    if (ui_.Ask(question, Buttons::YesNo, MessageIcon::Question, Answer::No) != Answer::Yes) {
        return deleted;
    }
    return deleted + Remove(folder, refused);
}

int ProfileFileOperations::Remove(const std::string& folder,
                                  const std::vector<std::string>& names) {
    int deleted = 0;
    for (const std::string& name : names) {
        if (const auto failure = files_.Remove(JoinPath(folder, name))) {
            Report(*failure);
        } else {
            ++deleted;
        }
    }
    return deleted;
}

int ProfileFileOperations::Copy(const std::string& folder, const std::vector<std::string>& names,
                                const std::string& target, bool move) {
    int done = 0;
    for (const std::string& name : names) {
        const std::string from = JoinPath(folder, name);
        const std::string to = JoinPath(target, name);
        // A file copied onto itself is already there; a move must not delete it afterwards.
        if (files_.SameFile(from, to)) continue;
        if (const auto failure = files_.Copy(from, to)) {
            ui_.ShowMessage(
                FailureMessage(*failure) + "\nDie Datei " + from + " bleibt unverändert.",
                MessageIcon::Critical);
            continue;
        }
        if (move) {
            if (const auto failure = files_.Remove(from)) {
                Report(*failure);
                continue;
            }
        }
        ++done;
    }
    return done;
}

bool ProfileFileOperations::CreateFolder(const std::string& folder, std::string_view name) {
    if (name.empty()) return false;
    if (const auto failure = files_.CreateFolder(JoinPath(folder, name))) {
        Report(*failure);
        return false;
    }
    return true;
}

bool ProfileFileOperations::DeleteFolder(const std::string& folder,
                                         const std::vector<std::string>& listed) {
    const auto present = files_.Files(folder);
    const bool onlyListed = std::all_of(present.begin(), present.end(), [&](const FolderFile& f) {
        return std::find(listed.begin(), listed.end(), f.name) != listed.end();
    });
    // Checked before anything is deleted: a folder that cannot go must keep all its files.
    if (!onlyListed || !files_.HoldsOnlyFiles(folder)) {
        ui_.ShowMessage("Der Ordner " + folder +
                            " enthält weitere Dateien oder Ordner und wird nicht gelöscht.",
                        MessageIcon::Information);
        return false;
    }
    if (files_.HasTrash() && !files_.MoveToTrash(folder)) return true;
    Delete(folder, listed);
    if (!files_.IsEmptyFolder(folder)) {
        ui_.ShowMessage("Der Ordner " + folder + " ist nicht leer und wird nicht gelöscht.",
                        MessageIcon::Information);
        return false;
    }
    if (const auto failure = files_.RemoveFolder(folder)) {
        Report(*failure);
        return false;
    }
    return true;
}

void DrawProfilePreview(Canvas& canvas, const std::vector<std::string>& lines,
                        std::int32_t profileColour, std::int32_t background) {
    canvas.Clear(background);
    const std::span<const std::string> profile = ProfilePart(lines);
    const PreviewExtent extent = ExtentOf(profile);
    if (extent.depth == 0 || extent.time == 0) return;
    const double maxDepth = std::max(extent.depth, kLeastPreviewDepth);

    const CanvasFont font{std::string(kPreviewFontName), 8, false};
    const double left = TextWidth("m", font) + 120;
    const double top = 120;
    const double right = canvas.Width() - 120;
    const double bottom = canvas.Height() - TextHeight(font) - 60;
    const auto x = [&](double time) { return left + time / extent.time * (right - left); };
    const auto y = [&](double depth) { return top + depth / maxDepth * (bottom - top); };

    canvas.Line(left, top, left, bottom, 1, profileColour);
    canvas.Line(left, top, right, top, 1, profileColour);
    canvas.Text(40, top, "m", font, profileColour);
    const std::string time = FormatGeneral(extent.time) + " min.";
    canvas.Text(right - TextWidth(time, font), bottom + 30, time, font, profileColour);

    std::pair last{x(0), y(0)};  // every dive starts at the surface
    for (const std::string& line : profile) {
        if (line.empty()) continue;
        if (line.front() == ';') {
            const double minute = Val(GetField(line, 3));
            canvas.Line(x(minute), top, x(minute), bottom, 1, kMarkColour);
        } else if (std::isdigit(static_cast<unsigned char>(line.front()))) {
            const std::pair point{x(Val(GetField(line, 3))), y(Val(GetField(line, 1)))};
            canvas.Line(last.first, last.second, point.first, point.second, 1, profileColour);
            last = point;
        }
    }
}

}  // namespace marelos
