#include "runtime_table.h"

#include "core/planner/gas_warnings.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"

namespace marelos {

std::string RunTimeText(double minutes, std::string_view separator) {
    return FormatGeneral(RoundHalfEven(minutes * 10) / 10, separator);
}

std::vector<RuntimeRow> RuntimeRows(const Schedule& schedule, const PlannerSettings& settings,
                                    double air, std::string_view separator) {
    const auto row = [&](double depth, int minutes, double runTime, const BreathingGas& gas,
                         bool gasSwitch, DivePhase phase) {
        RuntimeRow r{depth,
                     minutes,
                     runTime,
                     gas,
                     AmbientPressureIn(depth, air, settings.Water()) * gas.o2 / 100,
                     gasSwitch,
                     {}};
        for (const GasProblem& problem : GasProblemsAt(gas, depth, phase, settings, air, separator))
            r.marks.push_back(problem.text);
        return r;
    };
    std::vector<RuntimeRow> rows = {row(schedule.start.depth, 0, schedule.start.runTime,
                                        schedule.start.bottomGas, false, DivePhase::Bottom)};
    for (const ScheduleStop& stop : schedule.stops) {
        rows.push_back(row(stop.depth, stop.minutes, stop.endRunTime, stop.gas, stop.gasSwitch,
                           DivePhase::Ascent));
    }
    const BreathingGas last =
        schedule.segments.empty() ? schedule.start.bottomGas : schedule.segments.back().gas;
    RuntimeRow surface = row(0, 0, schedule.runTime, last, false, DivePhase::Ascent);
    surface.marks.clear();  // the gas is taken off at the surface
    rows.push_back(surface);
    return rows;
}

std::vector<std::string> RuntimeTableLines(const Schedule& schedule,
                                           const PlannerSettings& settings, double air,
                                           std::string_view separator) {
    std::vector<std::string> lines = {"Laufzeittabelle (" + schedule.model + ")"};
    const std::vector<RuntimeRow> rows = RuntimeRows(schedule, settings, air, separator);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RuntimeRow& row = rows[i];
        const bool last = i + 1 == rows.size();
        std::string line = i == 0          ? "Aufstieg ab"
                           : last          ? "Oberfläche"
                           : row.gasSwitch ? "Gaswechsel"
                                           : "Stopp";
        line += '\t';  // on its own: "\t" + a temporary trips a false warning of the optimiser
        line += FormatGeneral(row.depth, separator) + " m\t";
        if (row.stopMinutes > 0) line += "Stopp: " + FormatGeneral(row.stopMinutes) + " min.";
        line += "\tLaufzeit: " + RunTimeText(row.runTime, separator) + " min.\t";
        if (!last) {
            line += GasName(row.gas, separator) +
                    "\tppO2: " + FormatGeneral(RoundHalfEven(row.ppO2 * 100) / 100, separator) +
                    " bar";
        }
        for (const std::string& mark : row.marks)
            line += " ! " + mark;
        lines.push_back(line);
    }
    return lines;
}

}  // namespace marelos
