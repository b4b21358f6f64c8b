#include "repetitive_dives.h"

#include <algorithm>

#include "core/app_info.h"
#include "core/engine/calculation.h"
#include "core/engine/tissues.h"
#include "core/graphics/profile_graph.h"
#include "core/profile/profile_file.h"
#include "core/text/codepage.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/paths.h"
#include "core/text/rounding.h"
#include "core/text/text_file.h"
#include "core/text/val.h"

namespace marelos {
namespace {

constexpr const char* kProfileFilter = "Tauchprofile (*.prf;*.mrp)|*.prf;*.mrp";

bool IsDigitLine(const std::string& line) {
    return !line.empty() && line[0] >= '0' && line[0] <= '9';
}

bool IsUsablePath(const std::string& path) {
    return Utf8Length(path) >= 3 && !HasWildcards(path);
}

std::vector<std::string> DataLinesOf(const std::string& path) {
    std::vector<std::string> data;
    if (const auto file = ReadTextFileLines(path)) {
        for (const std::string& line : file.value()) {
            if (IsDigitLine(line)) data.push_back(line);
        }
    }
    return data;
}

// Sixty days of surface intervals: far beyond any series of repetitive dives, and a table (one
// row per minute) that still fits the memory easily.
constexpr double kMaxSeriesSurfaceMinutes = 60.0 * 24 * 60;

// The surface interval of a series entry "hours|path", in whole hours.
double SurfaceHours(const std::string& entry) {
    return RoundHalfEven(Val(entry.substr(0, entry.find('|'))));
}

// Why one of the data lines of a dive cannot be read; nothing when all can.
std::optional<std::string> FirstLineProblem(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (auto problem = DataLineProblem(line)) return problem;
    }
    return std::nullopt;
}

// Reports a dive whose data lines cannot all be read; joining then ends.
bool RefusedForJoining(const std::string& path, const std::vector<std::string>& lines, Ui& ui) {
    const auto problem = FirstLineProblem(lines);
    if (!problem) return false;
    ui.ShowMessage("Eine Zeile des Tauchprofils " + path + " " + *problem +
                       ". Die Tauchgänge wurden nicht zusammengefügt.",
                   MessageIcon::Critical);
    return true;
}

std::string N(double value) {
    return FormatGeneral(value);
}

// A row of the series table, written for reading: numbers with the user's decimal separator.
std::string NitrogenRow(const std::string& phase, double minute, const TissueState& tissues,
                        std::string_view decimalSeparator) {
    std::string row = phase + "\t" + FormatGeneral(minute, decimalSeparator) + "\t";
    for (int c = 1; c <= kLastCompartment; ++c)
        row += FormatGeneral(tissues.pN2[c], decimalSeparator) + "\t";
    return row;
}

}  // namespace

bool HasAscentPhase(const std::string& path) {
    if (path.empty()) return false;
    const std::vector<std::string> data = DataLinesOf(path);
    if (data.empty()) return false;
    return RoundHalfEven(Val(GetField(data.back(), 1))) < 1;
}

void JoinDives(Workspace& workspace, SettingsStore& store, Ui& ui) {
    DiveProfile& profile = workspace.profile;
    ResetPoints(profile, workspace.computed);
    ClearLines(profile);
    InitTissues(workspace.tissues, workspace.settings.initialPpN2, workspace.settings.airPressure);
    workspace.view.mode = 1;
    ui.RedrawProfileGraph();
    const std::string folder = workspace.settings.fileStoragePath;

    const std::string first =
        ui.AskOpenFile("Tauchprofil für Ersttauchgang laden...", kProfileFilter, folder)
            .value_or("*.prf;*.mrp");
    if (!IsUsablePath(first)) return;
    if (!HasAscentPhase(first)) {
        if (ui.Ask("Dieses Tauchgangsprofil hat keine Austauchphase.Soll der TG geladen und eine "
                   "Austauchphase berechnet werden?",
                   Buttons::YesNo) == Answer::Yes) {
            if (ReadProfileFile(workspace, store, ui, first)) {
                mnuCalcSaturation(workspace, store, ui);
                ui.ShowMessage("Der Tauchgang  " + first +
                                   " wurde geladen und die Austauchphase berechnet. Sie müssen den "
                                   "TG jetzt abspeichern und das Zusammenfügen ausführen. "
                                   "Vergessen Sie nicht, die Dekompressionsphase mitzuspeichern!",
                               MessageIcon::Information);
            } else {
                ui.ShowMessage("Der Tauchgang konnte nicht geladen werden.", MessageIcon::Critical);
            }
            return;
        }
        ui.ShowMessage("Das sich jetzt ergebende Tauchprofil könnte fehlerhaft sein!",
                       MessageIcon::Information);
    }

    int k = 1;
    double total = 0;
    const std::vector<std::string> firstLines = DataLinesOf(first);
    if (RefusedForJoining(first, firstLines, ui)) return;
    for (const std::string& line : firstLines) {
        profile.lines[k] = {Val(GetField(line, 1)), Val(GetField(line, 2)), Val(GetField(line, 3)),
                            Val(GetField(line, 4)), Val(GetField(line, 5))};
        total = RoundHalfEven(total + profile.lines[k].tDelta);
        if (++k >= kProfileTableEnd) return;
    }
    for (int n = 1;; ++n) {
        const std::optional<std::string> next = ui.AskOpenFile(
            "Tauchprofil für " + N(n) + ". Wiederholungs-TG laden...", kProfileFilter, folder);
        if (!next || next->empty() || HasWildcards(*next)) break;
        const double interval = RoundHalfEven(
            Val(ui.AskText("Wie lange ist die Oberflächenpause vor diesem TG in [min.]?", "240")
                    .value_or("")));
        if (interval > 600) {
            ui.ShowSysMsg("Dieser Tauchgang ist defintionsgemäß kein Wiederholungs-TG mehr, da");
            ui.ShowSysMsg("sein Blasenaufkommen durch den vorherigen Tauchgang nur untergeordnet");
            ui.ShowSysMsg("beinflusst wird.");
        }
        if (k >= kProfileTableEnd) return;
        profile.lines[k] = {0, interval, total + interval, 78, 0};
        total = total + interval;
        ++k;
        const std::vector<std::string> nextLines = DataLinesOf(*next);
        if (RefusedForJoining(*next, nextLines, ui)) return;
        for (const std::string& line : nextLines) {
            const double tDelta = Val(GetField(line, 2));
            profile.lines[k] = {Val(GetField(line, 1)), tDelta, tDelta + total,
                                Val(GetField(line, 4)), Val(GetField(line, 5))};
            total = RoundHalfEven(total + tDelta);
            if (++k >= kProfileTableEnd) return;
        }
        profile.nextPoint = k;
        workspace.settings.maxHScale = RoundToInt32(total);
    }
    ui.ShowSysMsg("Gesamte TG-Zeit: " + N(total) + " min.");
    profile.nextPoint = k;
    LinesToPoints(profile);
    ui.RedrawProfileGraph();
    mnuCalcSaturation(workspace, store, ui);
    profile.fileName.clear();
    ui.SetWindowCaption(WindowCaption("Tauchgang mit Wiederholungstauchgang", ""));
}

bool CalcDiveSeries(Workspace& workspace, Ui& ui, const std::vector<std::string>& entries,
                    const std::string& outputPath) {
    if (outputPath.empty()) return false;
    double surfaceMinutes = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        surfaceMinutes += std::max(SurfaceHours(entries[i]), 0.0) * 60;
        if (!(surfaceMinutes <= kMaxSeriesSurfaceMinutes)) {
            ui.ShowMessage("Die Oberflächenpausen bis zum Tauchgang " +
                               N(static_cast<double>(i + 1)) + " sind zusammen länger als " +
                               N(kMaxSeriesSurfaceMinutes / 60) +
                               " Stunden. Die Tauchgangsserie wurde nicht berechnet.",
                           MessageIcon::Critical);
            return false;
        }
    }
    const Settings& settings = workspace.settings;
    InitTissues(workspace.tissues, settings.initialPpN2, settings.airPressure);
    std::string header = "Phase\tZeit [min]\t";
    for (int n = 1; n <= 16; ++n)
        header += "Kompartiment " + N(n) + "\t";
    std::vector<std::string> table = {header};
    double minute = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string number = N(static_cast<double>(i + 1));
        const std::size_t bar = entries[i].find('|');
        const double hours = SurfaceHours(entries[i]);
        const std::string path = bar == std::string::npos ? "" : entries[i].substr(bar + 1);
        for (int t = 0; t < hours * 60; ++t) {
            minute += 1;
            SaturateTissues(workspace.tissues, workspace.model, settings.airPressure, 0, 1,
                            settings.n2PerCentSurface, 0);
            table.push_back(
                NitrogenRow("OFP " + number, minute, workspace.tissues, settings.decimalSeparator));
        }
        if (!IsUsablePath(path)) continue;
        ui.ShowSysMsg("Berechne: " + path);
        const std::vector<std::string> lines = DataLinesOf(path);
        if (const auto problem = FirstLineProblem(lines)) {
            ui.ShowMessage("Eine Zeile des Tauchprofils " + path + " " + *problem +
                               ". Die Tauchgangsserie wurde nicht berechnet.",
                           MessageIcon::Critical);
            return false;
        }
        for (const std::string& line : lines) {
            const double time = Val(GetField(line, 2));
            SaturateTissues(workspace.tissues, workspace.model, settings.airPressure,
                            Val(GetField(line, 1)), time, Val(GetField(line, 4)), 0);
            minute = RoundHalfEven(minute + time);
            table.push_back(
                NitrogenRow("TG " + number, minute, workspace.tissues, settings.decimalSeparator));
        }
    }
    if (const auto failure = WriteTextFileLines(outputPath, table)) {
        ui.ShowMessage(FailureMessage(*failure), MessageIcon::Critical);
        return false;
    }
    ui.ShowMessage(
        "Berechnung abgeschlossen. Die Ergebnisse der Sättigungsrechnung wurden als Tabelle "
        "gespeichert in " +
            outputPath,
        MessageIcon::Information);
    return true;
}

}  // namespace marelos
