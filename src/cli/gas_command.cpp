#include "gas_command.h"

#include <memory>

#include "cli/calc_command.h"
#include "cli/json_writer.h"
#include "cli/schedule_command.h"
#include "core/engine/calculation.h"
#include "core/planner/gas_plan.h"
#include "core/planner/runtime_table.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

double Tenth(double value) {
    return RoundHalfEven(value * 10) / 10;
}

// The planner's warnings about the gases, then the gas plan's own.
std::vector<std::string> Warnings(const Schedule& schedule, const GasPlan& plan) {
    std::vector<std::string> warnings = schedule.warnings;
    warnings.insert(warnings.end(), plan.warnings.begin(), plan.warnings.end());
    return warnings;
}

void WriteJson(std::ostream& out, const Schedule& schedule, const GasPlan& plan) {
    JsonWriter json(out);
    json.BeginObject();
    WriteCylinderUses(json, plan);
    json.Member("minimumGasLitres", Tenth(plan.minimumGasLitres));
    json.Key("warnings");
    json.BeginArray();
    for (const std::string& warning : Warnings(schedule, plan))
        json.String(warning);
    json.EndArray();
    json.Key("realGas");
    json.Bool(plan.realGas);
    json.EndObject();
    out << "\n";
}

void WriteText(std::ostream& out, const Workspace& workspace, const GasPlan& plan,
               std::string_view separator) {
    const Schedule& schedule = *workspace.computed.last.schedule;
    const auto number = [&](double value) { return FormatGeneral(Tenth(value), separator); };
    out << "Gasplanung (" << (plan.realGas ? "reales Gas, ideales Gas in Klammern" : "ideales Gas")
        << ")\n"
        << "Flasche\tLiter\tFülldruck bar\tGas\tVerbrauch l\tVerbrauch bar\tRest bar\t"
           "Reserve bar\tUmkehrdruck bar\n";
    for (const CylinderUse& use : plan.cylinders) {
        const auto bar = [&](double real, double ideal) {
            return number(real) + (plan.realGas ? " (" + number(ideal) + ")" : "");
        };
        out << use.cylinder.name << "\t" << number(use.cylinder.litres) << "\t"
            << number(use.cylinder.fillBar) << "\t" << GasName(use.cylinder.gas, separator) << "\t"
            << number(use.usedLitres) << "\t" << bar(use.pressures.used, use.ideal.used) << "\t"
            << bar(use.pressures.end, use.ideal.end) << "\t"
            << bar(use.pressures.reserve, use.ideal.reserve) << "\t"
            << (use.pressures.turn ? bar(*use.pressures.turn, *use.ideal.turn) : "") << "\n";
    }
    const GasPlanSettings& rates = workspace.settings.gasPlan;
    out << "\nMindestgas (2 Taucher zu je " << number(rates.sacBottom * rates.stressFactor)
        << " l/min): " << number(plan.minimumGasLitres) << " l\n";
    if (plan.turn) {
        out << "Umkehrdruck " << number(plan.turn->bar) << " bar (" << plan.turn->cylinder
            << ") bei Laufzeit " << RunTimeText(plan.turn->runTime, separator) << " min auf "
            << number(plan.turn->depth) << " m\n";
    }
    for (const std::string& warning : Warnings(schedule, plan))
        out << warning << "\n";
    out << "\n";
    for (const std::string& line :
         RuntimeTableLines(schedule, workspace.settings.planner, workspace.settings.airPressure,
                           separator, plan.turn)) {
        out << line << "\n";
    }
}

int RunGas(const std::string& file, bool json, const CommandContext& c) {
    const std::string separator = json ? "." : UserDecimalSeparator();
    const auto workspace = LoadPlannedDive(file, separator, c);
    if (!workspace) return kExitFailure;
    const CalculationResult& result = workspace->computed.last;
    if (Stopped(result) || !result.schedule) return ExitForCalculation(result, c.err);
    const GasPlan plan =
        PlanGas(*result.schedule, workspace->settings.gasPlan, workspace->settings.planner,
                workspace->settings.airPressure, separator);
    if (json) {
        WriteJson(c.out, *result.schedule, plan);
    } else {
        WriteText(c.out, *workspace, plan, separator);
    }
    return kExitOk;
}

}  // namespace

void WriteCylinderUses(JsonWriter& json, const GasPlan& plan) {
    json.Key("cylinders");
    json.BeginArray();
    for (const CylinderUse& use : plan.cylinders) {
        const Cylinder& c = use.cylinder;
        json.BeginObject();
        json.Key("name");
        json.String(c.name);
        json.Member("litres", c.litres);
        json.Member("fill", c.fillBar);
        json.Member("o2", c.gas.o2);
        json.Member("he", c.gas.he);
        json.Member("usedLitres", Tenth(use.usedLitres));
        json.Member("usedBar", Tenth(use.pressures.used));
        json.Member("endBar", Tenth(use.pressures.end));
        json.Member("reserveBar", Tenth(use.pressures.reserve));
        if (use.pressures.turn) json.Member("turnBar", Tenth(*use.pressures.turn));
        json.EndObject();
    }
    json.EndArray();
}

void AddGasCommand(CommandSet& commands) {
    struct Arguments {
        std::string file;
        bool json = false;
    };
    const auto args = std::make_shared<Arguments>();
    CLI::App& gas =
        commands.Add("gas", "die Gasplanung eines Tauchprofils mit den Flaschen der Einstellungen",
                     [args](const CommandContext& c) { return RunGas(args->file, args->json, c); });
    AddOperand(gas, "DATEI", args->file, "das Tauchprofil (.mrp)");
    gas.add_flag("--json", args->json, "als ein JSON-Objekt (Zahlen immer mit Punkt)");
    gas.footer(
        "Plant mit dem Planer, ob er eingeschaltet ist oder nicht. Die Flaschen stehen im\n"
        "Abschnitt Cylinders (Cylinder1 bis Cylinder6, \"Name;Liter;bar;O2/He\"), die Atemraten\n"
        "und Regeln im Abschnitt Planner (SacBottom, SacDeco, StressFactor, ProblemMinutes,\n"
        "TurnRule, RealGas).");
}

}  // namespace marelos
