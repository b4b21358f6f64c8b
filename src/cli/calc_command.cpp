#include "calc_command.h"

#include <memory>
#include <vector>

#include "cli/cli_ui.h"
#include "cli/json_writer.h"
#include "core/engine/oxygen.h"
#include "core/profile/profile_file.h"
#include "core/settings/settings.h"
#include "core/ui/ui.h"
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

void WriteResult(JsonWriter& json, const Workspace& workspace, const CliUi& ui) {
    const DiveProfile& profile = workspace.profile;
    const ComputedProfile& computed = workspace.computed;
    json.BeginObject();
    json.Key("messages");
    json.BeginArray();
    for (const std::string& line : ui.lines)
        json.String(line);
    json.EndArray();
    json.Key("computedCount");
    json.Integer(computed.computedCount);

    json.Key("lines");
    json.BeginArray();
    for (int i = 1; i < profile.nextPoint && i <= kProfileTableEnd; ++i) {
        const ProfileLine& line = profile.lines[i];
        json.BeginObject();
        json.Key("depth");
        json.Number(line.depth);
        json.Key("tDelta");
        json.Number(line.tDelta);
        json.Key("tTotal");
        json.Number(line.tTotal);
        json.Key("n2Percent");
        json.Number(line.n2Percent);
        json.Key("hePercent");
        json.Number(line.hePercent);
        json.EndObject();
    }
    json.EndArray();

    json.Key("records");
    json.BeginArray();
    for (int j = 1; j < computed.computedCount && j <= ComputedProfile::kTableEnd; ++j) {
        const ComputedMinute& record = computed.records[j];
        json.BeginObject();
        json.Key("depth");
        json.Number(record.depth);
        json.Key("toleratedPressure");
        json.Number(record.toleratedPressure);
        json.Key("n2Percent");
        json.Number(record.n2Percent);
        json.Key("hePercent");
        json.Number(record.hePercent);
        json.Key("otu");
        json.Number(record.otu);
        json.Key("cnsDive");
        json.Number(record.cnsDive);
        json.Key("cnsDay");
        json.Number(record.cnsDay);
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
        json.Key("index");
        json.Integer(k);
        json.Key("depth");
        json.Integer(stop.depth);
        json.Key("time");
        json.Integer(stop.time);
        json.EndObject();
    }
    json.EndArray();

    json.Key("totals");
    json.BeginObject();
    json.Key("otu");
    json.Integer(static_cast<long long>(TotalOtu(computed)));
    json.Key("cnsDive");
    json.Integer(static_cast<long long>(DiveCns(computed)));
    json.Key("cnsDay");
    json.Integer(static_cast<long long>(DailyCns(computed)));
    json.Key("maxDepth");
    json.Integer(computed.last.maxDepth);
    json.Key("diveMinutes");
    json.Integer(computed.last.diveMinutes);
    json.Key("violations");
    json.Integer(computed.last.violations);
    json.EndObject();
    json.EndObject();
}

}  // namespace

std::unique_ptr<Workspace> LoadProfileForCommand(const std::string& file, SettingsStore& store,
                                                 const std::string& programFolder, CliUi& ui,
                                                 std::ostream& err) {
    Settings settings = LoadSettings(store, programFolder);
    // The program reads the switch depth when the options dialog opens; here there is none.
    settings.nitroxDecoStart = StoredInteger(ReadSetting(store, keys::kNitroxDecoStart));
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(settings));
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
    CliUi ui;
    const auto workspace = LoadProfileForCommand(file, store, programFolder, ui, err);
    if (!workspace) return 1;
    JsonWriter json(out);
    WriteResult(json, *workspace, ui);
    out << "\n";
    return 0;
}

}  // namespace marelos
