#include "profile_file.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "core/app_info.h"
#include "core/engine/calculation.h"
#include "core/engine/dive_plan.h"
#include "core/engine/tissues.h"
#include "core/settings/setting_keys.h"
#include "core/settings/settings.h"
#include "core/text/codepage.h"
#include "core/text/fields.h"
#include "core/text/file_replacement.h"
#include "core/text/number_format.h"
#include "core/text/paths.h"
#include "core/text/rounding.h"
#include "core/text/text_file.h"
#include "core/text/val.h"

namespace marelos {
namespace {

bool IsRefusedPath(const std::string& path) {
    return Utf8Length(path) < 3 || HasWildcards(path);
}

bool IsDataLine(std::string_view line) {
    return line.empty() || (line[0] >= '0' && line[0] <= '9');
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return lower;
}

std::string DataLine(double depth, double tDelta, double tTotal, double n2, double he) {
    return FormatGeneral(depth) + "\t" + FormatGeneral(tDelta) + "\t" + FormatGeneral(tTotal) +
           "\t" + FormatGeneral(n2) + "\t" + FormatGeneral(he);
}

bool HoldsNumber(std::string_view field) {
    return std::ranges::any_of(field, [](char c) { return c >= '0' && c <= '9'; });
}

// A file that ends in the middle of a data line was cut off (a full disk, a broken copy): the
// line's missing gas shares would read as pure oxygen.
bool IsCutDataLine(std::string_view text) {
    if (!IsDataLine(text) || text.empty()) return false;
    for (int field = 1; field <= 5; ++field) {
        if (!HoldsNumber(GetField(text, field))) return true;
    }
    return false;
}

// Why line `index` of a profile file cannot be loaded; nothing when it can.
std::optional<std::string> LineProblem(const TextFileContent& file, std::size_t index) {
    const std::string& text = file.lines[index];
    if (!IsDataLine(text)) return std::nullopt;
    const bool last = index + 1 == file.lines.size();
    if (last && !file.lastLineEnded && IsCutDataLine(text)) {
        return "ist unvollständig, die Datei endet mitten in der Zeile";
    }
    return DataLineProblem(text);
}

void ShowCurrentFile(const Workspace& workspace, Ui& ui) {
    ui.SetWindowCaption(WindowCaption("", workspace.profile.fileName));
}

// A load that failed has already emptied the profile: the picture shows the empty profile at
// once, and the profile loses the old name, so that saving it cannot overwrite that file.
bool LoadFailed(Workspace& workspace, Ui& ui, const std::string& message) {
    workspace.profile.fileName.clear();
    workspace.view.mode = 1;
    ui.RedrawProfileGraph();
    ShowCurrentFile(workspace, ui);
    ui.ShowMessage(message, MessageIcon::Critical);
    return false;
}

// Refuses a profile that the tables cannot hold whole: nothing of it stays loaded.
bool TooLargeToLoad(Workspace& workspace, Ui& ui, const std::string& path, const std::string& why) {
    ClearLines(workspace.profile);
    workspace.profile.markCount = 0;
    return LoadFailed(workspace, ui,
                      "Das Tauchprofil " + path + " " + why + " und kann nicht geladen werden.");
}

// The planned ascent as it was calculated, a line per whole minute of it, the minutes of one
// depth and gas joined: the saved dive calculates again along the same depths.
std::vector<std::string> PlannedDecompressionLines(const Workspace& workspace,
                                                   const LastLine& last) {
    std::vector<std::string> out;
    const ComputedProfile& computed = workspace.computed;
    double time = last.time;
    for (std::int32_t j = computed.last.decoBegin; j < computed.last.decoEnd;) {
        const ComputedMinute& first = computed.records[j];
        std::int32_t end = j + 1;
        while (end < computed.last.decoEnd && computed.records[end].depth == first.depth &&
               computed.records[end].n2Percent == first.n2Percent &&
               computed.records[end].hePercent == first.hePercent) {
            ++end;
        }
        time += end - j;
        out.push_back(DataLine(first.depth, end - j, time, first.n2Percent, first.hePercent));
        j = end;
    }
    return out;
}

}  // namespace

std::optional<std::string> DataLineProblem(std::string_view text) {
    std::array<double, 5> values{};
    for (int field = 1; field <= 5; ++field) {
        values[static_cast<std::size_t>(field - 1)] = Val(GetField(text, field));
    }
    if (!std::ranges::all_of(values, IsUsableFileNumber)) return "enthält eine zu große Zahl";
    // Shares below 0 % or above 100 % (alone or together) are no gas.
    if (!IsPossibleGas(values[3], values[4])) return "enthält unmögliche Gasanteile";
    return std::nullopt;
}

std::vector<std::string> DecompressionLines(const Workspace& workspace, const LastLine& last) {
    std::vector<std::string> out;
    if (Stopped(workspace.computed.last)) return out;
    if (workspace.computed.last.schedule) return PlannedDecompressionLines(workspace, last);
    const double lastDepth = last.depth;
    const DiveProfile& profile = workspace.profile;
    int first = 0;
    for (int k = kStopTableEnd; k >= 1 && first == 0; --k) {
        if (profile.stops[k].time != 0) first = k;
    }
    // Every line names the gas the calculation breathed on it, so that the saved dive calculates
    // again as it was planned; the minute of arrival at a stop, and the last minute at 0 m,
    // breathe the gas of the stop before.
    GasShares arriving = workspace.computed.last.ascent.arrival;
    const auto line = [&](double depth, double tDelta, double tTotal) {
        return DataLine(depth, tDelta, tTotal, arriving.n2Percent, arriving.hePercent);
    };
    const double firstDepth = profile.stops[first].depth;
    const double ascent = Int((lastDepth - firstDepth) / 10) + 1;
    double time = last.time + ascent;
    out.push_back(line(firstDepth, ascent, time));
    for (int k = kStopTableEnd; k >= 1; --k) {
        const DecoStop& stop = profile.stops[k];
        if (stop.time == 0) continue;
        time = time + 1;
        out.push_back(line(stop.depth, 1, time));
        time = time + stop.time;
        arriving = stop.gas;
        out.push_back(line(stop.depth, stop.time, time));
    }
    time = time + 1;
    out.push_back(line(0, 1, time));
    return out;
}

LastLine LastWrittenLine(const DiveProfile& profile) {
    LastLine last;
    const int end = std::min(profile.nextPoint, kProfileTableEnd - 1);
    for (int i = 1; i <= end; ++i) {
        const ProfileLine& line = profile.lines[i];
        if (!(line.depth > 0 || line.tDelta > 0)) continue;
        last.time = line.tTotal;
        last.depth = RoundHalfEven(line.depth);
    }
    return last;
}

std::vector<std::string> CommentLines(const std::vector<std::string>& fileLines) {
    const auto marker = std::find(fileLines.begin(), fileLines.end(), kEndOfProfile);
    if (marker == fileLines.end()) return {};
    return {marker + 1, fileLines.end()};
}

bool ReadProfileFile(Workspace& workspace, SettingsStore& store, Ui& ui, const std::string& path) {
    if (IsRefusedPath(path)) return false;
    ui.ShowSysMsg("Lade: " + path);
    DiveProfile& profile = workspace.profile;
    profile.markCount = 0;
    ResetPoints(profile, workspace.computed);
    ClearLines(profile);
    InitTissues(workspace.tissues, workspace.settings.initialPpN2, workspace.settings.airPressure);

    const Result<TextFileContent> file = ReadTextFile(path);
    if (!file) return LoadFailed(workspace, ui, FailureMessage(file.failure()));
    for (std::size_t i = 0; i < file.value().lines.size(); ++i) {
        if (const auto problem = LineProblem(file.value(), i)) {
            return LoadFailed(workspace, ui,
                              "Die Zeile " + std::to_string(i + 1) + " des Tauchprofils " + path +
                                  " " + *problem + ". Die Datei wird nicht geladen.");
        }
    }
    int k = 1;
    std::int32_t runTime = 0;
    std::int32_t deepest = 0;
    for (const std::string& text : file.value().lines) {
        if (IsDataLine(text)) {
            ProfileLine& line = profile.lines[k];
            line.depth = Val(GetField(text, 1));
            line.tDelta = Val(GetField(text, 2));
            line.tTotal = Val(GetField(text, 3));
            line.n2Percent = Val(GetField(text, 4));
            line.hePercent = Val(GetField(text, 5));
            runTime = RoundToInt32(runTime + line.tDelta);
            if (line.depth > deepest) deepest = RoundToInt32(line.depth);
            ++k;
        } else if (text[0] == ';') {
            ProfileMark& mark = profile.marks[profile.markCount];
            mark.text = GetField(text, 2);
            mark.minute = RoundToInt16(Val(GetField(text, 3)));
            if (profile.markCount < kMarkTableEnd) ++profile.markCount;
        }
        if (k >= kProfileTableEnd) {
            return TooLargeToLoad(workspace, ui, path,
                                  "hat mehr als " + std::to_string(kMaxProfileLines) + " Zeilen");
        }
    }
    if (profile.markCount > 0) --profile.markCount;
    // Points beyond the longest time axis would be left out of the lines the calculation walks,
    // and what is left would be calculated and reported as the whole dive.
    if (runTime > kLongestTimeAxis) {
        return TooLargeToLoad(
            workspace, ui, path,
            "ist länger als die längste Zeitachse (" + std::to_string(kLongestTimeAxis) + " min.)");
    }

    Settings& settings = workspace.settings;
    if (runTime > settings.maxHScale) settings.maxHScale = runTime;
    if (deepest > settings.maxVScale) {
        settings.maxVScale =
            static_cast<std::int32_t>(std::min<long long>(deepest + 10LL, kDeepestDepthAxis));
    }
    if (deepest > kDeepestDepthAxis) {
        ui.ShowSysMsg("Das Tauchprofil ist tiefer als die längste Tiefenachse (" +
                      std::to_string(kDeepestDepthAxis) + " m) und wird nur bis dahin gezeigt.");
    }
    for (int j = 1; j <= k - 1; ++j)
        LineToPoint(profile, j);
    profile.nextPoint = k;

    ui.RedrawProfileGraph();
    profile.fileName = path;
    ShowCurrentFile(workspace, ui);
    RememberRecentFile(store, path);
    BuildRecentFilesMenu(store, ui);
    mnuCalcSaturation(workspace, store, ui);
    return true;
}

std::vector<std::string> AskedDecompressionLines(Workspace& workspace, SettingsStore& store, Ui& ui,
                                                 const LastLine& last) {
    bool withDecompression = ui.Ask("Soll die Dekompressionsphase mitgespeichert werden?",
                                    Buttons::YesNo) == Answer::Yes;
    if (withDecompression && !StepwiseForOutputs(store)) {
        if (ui.Ask(kStagedDecompressionQuestion, Buttons::YesNo) == Answer::Yes) {
            WriteSetting(store, keys::kStep, "True");
            mnuCalcSaturation(workspace, store, ui);
        } else {
            ui.ShowSysMsg("Dekompressionsphase nicht gespeichert.");
            withDecompression = false;
        }
    }
    if (withDecompression && Stopped(workspace.computed.last)) {
        const std::string text = "Die Dekompressionsphase wird nicht mitgespeichert. " +
                                 IncompleteCalculationMessage(workspace.computed.last);
        ui.ShowMessage(text, MessageIcon::Critical);
        ui.ShowSysMsg("Dekompressionsphase nicht gespeichert.");
        withDecompression = false;
    }
    if (!withDecompression) return {};
    return DecompressionLines(workspace, last);
}

bool WriteProfileFile(Workspace& workspace, SettingsStore& store, Ui& ui, const std::string& path) {
    if (IsRefusedPath(path)) return false;
    mnuCalcSaturation(workspace, store, ui);

    std::vector<std::string> kept;
    if (FileExists(path)) {
        const Result<std::vector<std::string>> old = ReadTextFileLines(path);
        if (!old) {
            ui.ShowMessage(FailureMessage(old.failure()), MessageIcon::Critical);
            return false;
        }
        kept = CommentLines(old.value());
        if (kept.size() > static_cast<std::size_t>(kMaxKeptCommentLines)) {
            ui.ShowMessage("Die Datei " + path + " hat mehr als " +
                               std::to_string(kMaxKeptCommentLines) +
                               " Kommentarzeilen und wird nicht überschrieben.",
                           MessageIcon::Critical);
            return false;
        }
    }

    std::vector<std::string> out = {std::string(kProfileHeader)};
    const DiveProfile& profile = workspace.profile;
    const int end = std::min(profile.nextPoint, kProfileTableEnd - 1);
    for (int i = 1; i <= end; ++i) {
        const ProfileLine& line = profile.lines[i];
        if (!(line.depth > 0 || line.tDelta > 0)) continue;
        out.push_back(
            DataLine(line.depth, line.tDelta, line.tTotal, line.n2Percent, line.hePercent));
    }
    const LastLine last = LastWrittenLine(profile);

    const std::vector<std::string> decompression =
        AskedDecompressionLines(workspace, store, ui, last);
    out.insert(out.end(), decompression.begin(), decompression.end());
    out.emplace_back(kEndOfProfile);
    for (const std::string& comment : kept) {
        if (!comment.empty()) out.push_back(comment);
    }

    if (const auto failure = WriteTextFileLines(path, out)) {
        ui.ShowMessage(FailureMessage(*failure), MessageIcon::Critical);
        return false;
    }
    workspace.profile.fileName = path;
    ShowCurrentFile(workspace, ui);
    return true;
}

bool SaveProfileAs(Workspace& workspace, SettingsStore& store, Ui& ui, const std::string& path) {
    std::vector<std::string> comments;
    const std::string current = workspace.profile.fileName;
    if (!current.empty() && FileExists(current)) {
        if (const auto old = ReadTextFileLines(current)) {
            comments = CommentLines(old.value());
            if (comments.size() > static_cast<std::size_t>(kMaxKeptCommentLines)) {
                comments.resize(kMaxKeptCommentLines);
            }
        }
    }
    if (!WriteProfileFile(workspace, store, ui, path)) return false;
    if (comments.empty() || !FileExists(path)) return true;
    const Result<std::vector<std::string>> written = ReadTextFileLines(path);
    if (!written) {
        ui.ShowMessage(FailureMessage(written.failure()), MessageIcon::Critical);
        return false;
    }
    std::vector<std::string> lines = written.value();
    const std::vector<std::string> present = CommentLines(lines);
    for (const std::string& comment : comments) {
        if (comment.empty() ||
            std::find(present.begin(), present.end(), comment) != present.end()) {
            continue;
        }
        lines.push_back(comment);
    }
    if (const auto failure = WriteTextFileLines(path, lines)) {
        ui.ShowMessage(FailureMessage(*failure), MessageIcon::Critical);
        return false;
    }
    return true;
}

std::vector<std::string> RecentFiles(const SettingsStore& store) {
    std::vector<std::string> entries;
    for (int k = 1; k <= kRecentFileCount; ++k) {
        std::string entry = ReadSetting(store, RecentFileKey(k));
        if (AsciiLower(entry) == "novalue") entry.clear();
        entries.push_back(entry);
    }
    return entries;
}

void RememberRecentFile(SettingsStore& store, const std::string& path) {
    std::vector<std::string> entries = RecentFiles(store);
    const std::string wanted = AsciiLower(path);
    const auto hit = std::find_if(entries.begin(), entries.end(), [&](const std::string& entry) {
        return !entry.empty() && AsciiLower(entry) == wanted;
    });
    if (hit != entries.end()) {
        std::rotate(entries.begin(), hit, hit + 1);  // the entries above move one place down
        entries.front() = path;
        for (int k = 1; k <= kRecentFileCount; ++k) {
            WriteSetting(store, RecentFileKey(k), entries[static_cast<std::size_t>(k - 1)]);
        }
        return;
    }
    entries.pop_back();
    entries.insert(entries.begin(), path);
    std::stable_partition(entries.begin(), entries.end(),
                          [](const std::string& entry) { return !entry.empty(); });
    for (int k = 1; k <= kRecentFileCount; ++k) {
        WriteSetting(store, RecentFileKey(k), entries[static_cast<std::size_t>(k - 1)]);
    }
}

std::vector<std::string> RecentFileCaptions(const SettingsStore& store) {
    std::vector<std::string> captions;
    const std::vector<std::string> entries = RecentFiles(store);
    for (int k = 1; k <= kRecentFileCount; ++k) {
        // The name as the file is called: on a file system that tells the cases apart, a
        // lower-case name would be another file.
        captions.push_back("&" + std::to_string(k) + "  " +
                           ShortenPath(entries[static_cast<std::size_t>(k - 1)]));
    }
    return captions;
}

void BuildRecentFilesMenu(const SettingsStore& store, Ui& ui) {
    ui.ShowRecentFiles(RecentFileCaptions(store));
}

void RemoveLeftoversOfKilledSaves(const std::string& profileFolder, const SettingsStore& store) {
    RemoveStaleTemporaryFiles(profileFolder);
    for (const std::string& file : RecentFiles(store)) {
        if (!file.empty()) RemoveStaleTemporaryFiles(std::filesystem::path(file).parent_path());
    }
}

}  // namespace marelos
