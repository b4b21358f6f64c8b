#include "dive_plan.h"

#include <algorithm>

#include "core/engine/calculation.h"
#include "core/engine/oxygen.h"
#include "core/planner/runtime_table.h"
#include "core/settings/setting_keys.h"
#include "core/settings/settings.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/text/val.h"

namespace marelos {

const char* const kStagedDecompressionQuestion =
    "Als Dekompressionsverfahren wurde kontinuierliches Austauchen gewählt.  Um die "
    "Dekompressionsphase mitspeichern zu können,  muss diese als Stufenprofil berechnet werden. "
    "Soll dies jetzt durchgeführt werden?";

namespace {

std::string PlanLine(std::string_view separator, const std::string& action,
                     const std::string& depth, double minutes, double runTime,
                     const std::string& n2Label, double n2, double he) {
    return action + "\t" + depth + "\tZeit: " + FormatGeneral(minutes, separator) +
           " min.\tGesamtzeit: " + FormatGeneral(runTime, separator) + " min.\t" + n2Label +
           FormatGeneral(n2, separator) + "%\tHe: " + FormatGeneral(he, separator) + "%";
}

// The stops of a planned ascent, with the model that planned them, the run time and the gas
// warnings.
std::string PlannedDecompressionText(const Schedule& schedule, std::string_view separator) {
    std::string text = "Dekompressionstufen (" + schedule.model + "):\r\n\r\n";
    for (const ScheduleStop& stop : schedule.stops) {
        text += FormatGeneral(stop.minutes) + " min. @ " + FormatGeneral(stop.depth, separator) +
                "m (" + GasName(stop.gas, separator) + ")\r\n";
    }
    text += "Gesamte Dekompressionzeit: " + FormatGeneral(schedule.StopMinutes()) +
            " min.\r\nLaufzeit: " + RunTimeText(schedule.runTime, separator) + " min.";
    for (const std::string& warning : schedule.warnings)
        text += "\r\n" + warning;
    return text;
}

}  // namespace

std::vector<std::string> DivePlanLines(Workspace& workspace, SettingsStore& store, Ui& ui) {
    std::vector<std::string> plan;
    double runTime = 0;
    double lastDepth = 0;
    {
        const DiveProfile& profile = workspace.profile;
        for (int i = 1; i <= profile.nextPoint; ++i) {
            if (i == kProfileTableEnd) return plan;
            const ProfileLine& line = profile.lines[i];
            if (!(line.depth > 0 || line.tDelta > 0)) continue;
            const double before = profile.lines[i - 1].depth;
            const std::string action = line.depth > before   ? "Abtauchen auf  "
                                       : line.depth < before ? "Auftauchen auf "
                                                             : "Tiefe halten   ";
            plan.push_back(
                PlanLine(workspace.settings.decimalSeparator, action,
                         FormatGeneral(line.depth, workspace.settings.decimalSeparator) + " m",
                         line.tDelta, line.tTotal, "N2: ", line.n2Percent, line.hePercent));
            runTime = line.tTotal;
            lastDepth = RoundHalfEven(line.depth);
        }
    }
    // The planner plans its own ascent; the question about the continuous ascent is not its.
    if (!workspace.settings.planner.enabled && ReadSetting(store, keys::kStep) != "True" &&
        ui.Ask(kStagedDecompressionQuestion, Buttons::YesNo) == Answer::Yes) {
        WriteSetting(store, keys::kStep, "True");
        mnuCalcSaturation(workspace, store, ui);
    }

    if (Stopped(workspace.computed.last)) {
        plan.push_back(IncompleteCalculationMessage(workspace.computed.last));
        return plan;
    }
    if (const std::optional<Schedule>& schedule = workspace.computed.last.schedule) {
        const Settings& settings = workspace.settings;
        const std::vector<std::string> table = RuntimeTableLines(
            *schedule, settings.planner, settings.airPressure, settings.decimalSeparator);
        plan.insert(plan.end(), table.begin(), table.end());
        plan.insert(plan.end(), schedule->warnings.begin(), schedule->warnings.end());
        return plan;
    }
    const DiveProfile& profile = workspace.profile;
    int deepest = 0;
    for (int s = kStopTableEnd; s >= 1 && deepest == 0; --s) {
        if (profile.stops[s].time != 0) deepest = s;
    }
    const std::vector<std::string> warnings = AscentGasWarnings(workspace);
    if (deepest == 0) {
        plan.insert(plan.end(), warnings.begin(), warnings.end());
        return plan;
    }
    const std::string_view separator = workspace.settings.decimalSeparator;
    const double travel = Int((lastDepth - 3 * deepest) / 10) + 1;
    runTime = Int((lastDepth - 3 * deepest) / 10) + runTime + 1;
    // Each line names the gas the calculation breathed there: the minute of arrival at a stop
    // still breathes the gas of the stop before.
    GasShares arriving = workspace.computed.last.ascent.arrival;
    plan.push_back(PlanLine(separator, "Auftauchen auf ",
                            FormatGeneral(3 * deepest, separator) + " m", travel, runTime,
                            "N2: ", arriving.n2Percent, arriving.hePercent));
    for (int k = kStopTableEnd; k >= 1; --k) {
        const DecoStop& stop = profile.stops[k];
        if (stop.time == 0) continue;
        runTime = runTime + 1;
        plan.push_back(PlanLine(separator, "Auftauchen auf ",
                                FormatGeneral(3 * k, separator) + " m ", 1, runTime,
                                "N2: ", arriving.n2Percent, arriving.hePercent));
        runTime = runTime + stop.time;
        plan.push_back(PlanLine(separator, "Dekostufe: ", FormatGeneral(3 * k, separator) + " m",
                                stop.time, runTime, " N2: ", stop.gas.n2Percent,
                                stop.gas.hePercent));
        arriving = stop.gas;
    }
    plan.insert(plan.end(), warnings.begin(), warnings.end());
    return plan;
}

std::string DecompressionText(const Workspace& workspace) {
    if (Stopped(workspace.computed.last)) {
        return IncompleteCalculationMessage(workspace.computed.last);
    }
    if (const std::optional<Schedule>& schedule = workspace.computed.last.schedule) {
        return PlannedDecompressionText(*schedule, workspace.settings.decimalSeparator);
    }
    const DiveProfile& profile = workspace.profile;
    std::string stops;
    double total = 0;
    for (int k = kStopTableEnd; k >= 1; --k) {
        const std::int32_t time = profile.stops[k].time;
        if (time == 0) continue;
        stops += FormatGeneral(time) + " min. @ " + FormatGeneral(3 * k) + "m\r\n";
        total = total + time;
    }
    std::string text = "Dekompressionstufen:\r\n\r\n" + stops +
                       "Gesamte Dekompressionzeit: " + FormatGeneral(total) + " min.";
    for (const std::string& warning : AscentGasWarnings(workspace))
        text += "\r\n" + warning;
    return text;
}

bool ShowDecompressionText(const Workspace& workspace, Ui& ui) {
    if (Stopped(workspace.computed.last)) {
        ui.ShowMessage(DecompressionText(workspace), MessageIcon::Critical);
        return false;
    }
    return ui.Ask(DecompressionText(workspace) + "\r\nIn Zwischenablage speichern?", Buttons::YesNo,
                  MessageIcon::Information) == Answer::Yes;
}

std::vector<std::string> DiveValueTexts(const ComputedProfile& computed, const DiveComment& comment,
                                        std::string_view decimalSeparator) {
    std::vector<std::string> texts;
    if (!comment.number.empty()) texts.push_back("TG-Nr. im Logbuch: " + comment.number);
    std::string site = comment.place;
    if (!site.empty() && !comment.water.empty()) site += ", ";
    site += comment.water;
    if (!site.empty()) texts.push_back("Tauchplatz: " + site);
    if (!comment.date.empty() || !comment.time.empty()) {
        texts.push_back("Datum/Zeit: " + comment.date + "/" + comment.time);
    }
    texts.push_back("Oxygen Tolerance Units: " +
                    FormatGeneral(TotalOtu(computed), decimalSeparator));
    texts.push_back("CNS (Tauchgangsdosis): " + FormatGeneral(DiveCns(computed), decimalSeparator) +
                    "%");
    texts.push_back(
        "CNS (Gesamtdosis - Tag): " + FormatGeneral(DailyCns(computed), decimalSeparator) + "%");
    texts.push_back("Max. Tiefe: " + FormatGeneral(computed.last.maxDepth, decimalSeparator) +
                    " m");
    texts.push_back("Tauchzeit: " + FormatGeneral(computed.last.diveMinutes, decimalSeparator) +
                    " min.");
    return texts;
}

}  // namespace marelos
