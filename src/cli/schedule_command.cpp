#include "schedule_command.h"

#include <cmath>
#include <memory>

#include "cli/calc_command.h"
#include "cli/json_writer.h"
#include "core/planner/contingency.h"
#include "core/planner/runtime_table.h"
#include "core/profile/profile_file.h"
#include "core/settings/memory_settings_store.h"
#include "core/settings/settings.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

// Run times to a millionth of a minute: sums of tenths are never exact.
double Minutes(double value) {
    return std::round(value * 1e6) / 1e6;
}

void WriteGas(JsonWriter& json, const BreathingGas& gas) {
    json.Member("o2", gas.o2);
    json.Member("he", gas.he);
}

void WriteSchedule(JsonWriter& json, const Schedule& schedule, const Settings& settings,
                   const std::string& name = "") {
    json.BeginObject();
    if (!name.empty()) {
        json.Key("name");
        json.String(name);
    }
    json.Key("model");
    json.String(schedule.model);
    json.Member("runtime", Minutes(schedule.runTime));
    json.Key("stops");
    json.BeginArray();
    for (const ScheduleStop& stop : schedule.stops) {
        json.BeginObject();
        json.Member("depth", stop.depth);
        json.Member("minutes", static_cast<long long>(stop.minutes));
        json.Member("runtime", Minutes(stop.endRunTime));
        WriteGas(json, stop.gas);
        json.EndObject();
    }
    json.EndArray();
    json.Key("switches");
    json.BeginArray();
    for (const GasSwitch& change : schedule.switches) {
        json.BeginObject();
        json.Member("depth", change.depth);
        WriteGas(json, change.gas);
        json.EndObject();
    }
    json.EndArray();
    json.Key("warnings");
    json.BeginArray();
    for (const std::string& warning : schedule.warnings)
        json.String(warning);
    json.EndArray();
    json.Key("complete");
    json.Bool(schedule.complete);
    json.Key("settings");
    json.BeginObject();
    InMemorySettingsStore used;
    StorePlannerSettings(used, settings.planner);
    for (const auto& entry : used.Entries()) {
        json.Key(entry.section + "/" + entry.key);
        json.String(entry.value);
    }
    json.Key("Values/AirPressure");
    json.String(StoredText(keys::kAirPressure, settings.airPressure));
    json.Key("Values/DecoModel");
    json.String(StoredText(keys::kDecoModel, settings.decoModel));
    json.Key("Values/DecoMode");
    json.String(StoredText(keys::kDecoMode, settings.decoMode));
    json.EndObject();
    json.EndObject();
}

void PrintTable(std::ostream& out, const Schedule& schedule, const Settings& settings) {
    for (const std::string& line : RuntimeTableLines(
             schedule, settings.planner, settings.airPressure, settings.decimalSeparator)) {
        out << line << "\n";
    }
    for (const std::string& warning : schedule.warnings)
        out << warning << "\n";
    if (!schedule.complete) out << schedule.reason << "\n";
}

int RunSchedule(const std::string& file, bool json, bool contingency, const CommandContext& c) {
    Settings settings = CommandSettings(c.store, c.programFolder);
    settings.planner.enabled = true;
    settings.decimalSeparator = json ? "." : UserDecimalSeparator();
    UnattendedUi ui;
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(settings));
    if (!ReadProfileFile(*workspace, c.store, ui, file)) {
        c.err << (ui.lastError.empty() ? "Die Datei " + file + " kann nicht geladen werden."
                                       : ui.lastError)
              << "\n";
        return kExitFailure;
    }
    const CalculationResult& result = workspace->computed.last;
    if (Stopped(result) || !result.schedule) return ExitForCalculation(result, c.err);
    const Schedule& plan = *result.schedule;
    if (contingency) {
        const std::vector<ContingencyPlan> plans =
            ContingencyPlans(workspace->profile, plan, workspace->model, workspace->settings);
        if (json) {
            JsonWriter writer(c.out);
            writer.BeginObject();
            writer.Key("plans");
            writer.BeginArray();
            for (const ContingencyPlan& each : plans)
                WriteSchedule(writer, each.schedule, workspace->settings, each.name);
            writer.EndArray();
            writer.EndObject();
            c.out << "\n";
        } else {
            for (const ContingencyPlan& each : plans) {
                c.out << each.name << "\n";
                PrintTable(c.out, each.schedule, workspace->settings);
                c.out << "\n";
            }
        }
    } else if (json) {
        JsonWriter writer(c.out);
        WriteSchedule(writer, plan, workspace->settings);
        c.out << "\n";
    } else {
        PrintTable(c.out, plan, workspace->settings);
    }
    return kExitOk;
}

}  // namespace

void AddScheduleCommand(CommandSet& commands) {
    struct Arguments {
        std::string file;
        bool json = false;
        bool contingency = false;
    };
    const auto args = std::make_shared<Arguments>();
    CLI::App& schedule =
        commands.Add("schedule", "plant den Aufstieg mit dem Planer: Laufzeittabelle und Warnungen",
                     [args](const CommandContext& c) {
                         return RunSchedule(args->file, args->json, args->contingency, c);
                     });
    AddOperand(schedule, "DATEI", args->file, "das Tauchprofil (.mrp)");
    schedule.add_flag("--json", args->json, "als ein JSON-Objekt (Zahlen immer mit Punkt)");
    schedule.add_flag("--contingency", args->contingency,
                      "mit den Notfallplänen: tiefer und länger, ohne jedes Dekogas, der "
                      "schlimmste Fall");
    schedule.footer(
        "Der Planer rechnet mit den Einstellungen des Abschnitts Planner (Gradientenfaktoren,\n"
        "Dekogase, Aufstiegsgeschwindigkeit, letzter Stopp), ob er eingeschaltet ist oder nicht.");
}

}  // namespace marelos
