#include "calc_command.h"

#include <memory>
#include <vector>

#include "cli/json_writer.h"
#include "core/engine/calculation.h"
#include "core/engine/oxygen.h"
#include "core/profile/profile_file.h"
#include "core/settings/settings.h"
#include "core/ui/ui.h"
#include "core/ui/unattended_ui.h"
#include "core/workspace.h"

namespace marelos {
namespace {

void WriteCompartments(JsonWriter& json, std::string_view key, const CompartmentValues& values) {
    json.Key(key);
    json.BeginArray();
    for (const double value : values)
        json.Number(value);
    json.EndArray();
}

void WriteResult(JsonWriter& json, const Workspace& workspace, const UnattendedUi& ui) {
    const DiveProfile& profile = workspace.profile;
    const ComputedProfile& computed = workspace.computed;
    json.BeginObject();
    json.Key("messages");
    json.BeginArray();
    for (const std::string& line : ui.lines)
        json.String(line);
    json.EndArray();
    json.Member("computedCount", static_cast<long long>(computed.computedCount));

    json.Key("lines");
    json.BeginArray();
    for (int i = 1; i < profile.nextPoint && i <= kProfileTableEnd; ++i) {
        const ProfileLine& line = profile.lines[i];
        json.BeginObject();
        json.Member("depth", line.depth);
        json.Member("tDelta", line.tDelta);
        json.Member("tTotal", line.tTotal);
        json.Key("n2Percent");
        json.Number(line.n2Percent);
        json.Member("hePercent", line.hePercent);
        json.EndObject();
    }
    json.EndArray();

    json.Key("records");
    json.BeginArray();
    for (int j = 1; j < computed.computedCount && j <= ComputedProfile::kTableEnd; ++j) {
        const ComputedMinute& record = computed.records[j];
        json.BeginObject();
        json.Member("depth", record.depth);
        json.Member("toleratedPressure", record.toleratedPressure);
        json.Key("n2Percent");
        json.Number(record.n2Percent);
        json.Member("hePercent", record.hePercent);
        json.Member("otu", record.otu);
        json.Member("cnsDive", record.cnsDive);
        json.Member("cnsDay", record.cnsDay);
        WriteCompartments(json, "pN2", record.pN2);
        WriteCompartments(json, "pHe", record.pHe);
        WriteCompartments(json, "pTotal", record.pTotal);
        json.EndObject();
    }
    json.EndArray();

    json.Key("stops");
    json.BeginArray();
    for (int k = kStopTableEnd; k >= 1; --k) {
        const DecoStop& stop = profile.stops[k];
        if (stop.time == 0) continue;
        json.BeginObject();
        json.Member("index", static_cast<long long>(k));
        json.Member("depth", static_cast<long long>(stop.depth));
        json.Member("time", static_cast<long long>(stop.time));
        json.EndObject();
    }
    json.EndArray();

    json.Key("totals");
    json.BeginObject();
    json.Member("otu", static_cast<long long>(static_cast<long long>(TotalOtu(computed))));
    json.Member("cnsDive", static_cast<long long>(static_cast<long long>(DiveCns(computed))));
    json.Member("cnsDay", static_cast<long long>(static_cast<long long>(DailyCns(computed))));
    json.Member("maxDepth", static_cast<long long>(computed.last.maxDepth));
    json.Member("diveMinutes", static_cast<long long>(computed.last.diveMinutes));
    json.Member("violations", static_cast<long long>(computed.last.violations));
    json.EndObject();
    json.EndObject();
}

}  // namespace

int ExitForCalculation(const CalculationResult& result, std::ostream& err) {
    if (!Stopped(result)) return kExitOk;
    err << IncompleteCalculationMessage(result) << "\n";
    return kExitIncomplete;
}

Settings CommandSettings(SettingsStore& store, const std::string& programFolder) {
    Settings settings = LoadSettings(store, programFolder);
    settings.nitroxDecoStart = StoredInteger(ReadSetting(store, keys::kNitroxDecoStart));
    return settings;
}

std::unique_ptr<Workspace> LoadProfileForCommand(const std::string& file, SettingsStore& store,
                                                 const std::string& programFolder, UnattendedUi& ui,
                                                 std::ostream& err) {
    auto workspace =
        std::make_unique<Workspace>(WorkspaceFromSettings(CommandSettings(store, programFolder)));
    if (!ReadProfileFile(*workspace, store, ui, file)) {
        err << (ui.lastError.empty() ? "Die Datei " + file + " kann nicht geladen werden."
                                     : ui.lastError)
            << "\n";
        return nullptr;
    }
    return workspace;
}

int RunCalcCommand(const std::string& file, SettingsStore& store, const std::string& programFolder,
                   std::ostream& out, std::ostream& err) {
    UnattendedUi ui;
    const auto workspace = LoadProfileForCommand(file, store, programFolder, ui, err);
    if (!workspace) return kExitFailure;
    JsonWriter json(out);
    WriteResult(json, *workspace, ui);
    out << "\n";
    return ExitForCalculation(workspace->computed.last, err);
}

}  // namespace marelos
