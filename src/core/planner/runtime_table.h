#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/planner/gas_plan.h"
#include "core/planner/planner_settings.h"
#include "core/planner/schedule.h"

namespace marelos {

// A row of the run-time table: the bottom, each stop of the plan (a gas switch's minutes
// included) and the surface, with the run time when the diver leaves, the gas, the ppO2 there
// and the gas warnings that mark it; and, when the gas plan has one, the minute at which the
// bottom cylinder reaches its turn pressure, in the order of the run time.
struct RuntimeRow {
    double depth = 0;
    int stopMinutes = 0;  // 0 for the bottom and the surface
    double runTime = 0;
    BreathingGas gas;
    double ppO2 = 0;
    bool gasSwitch = false;
    std::vector<std::string> marks;
    std::string note;  // "Umkehrdruck 155 bar (D12)" on the turn's row
};
std::vector<RuntimeRow> RuntimeRows(const Schedule& schedule, const PlannerSettings& settings,
                                    double airPressureMbar, std::string_view decimalSeparator,
                                    const std::optional<TurnPoint>& turn = std::nullopt);

// A run time as the table shows it: minutes to a tenth, "59" or "32,9".
std::string RunTimeText(double minutes, std::string_view decimalSeparator);

// The table as German text lines: its title with the model, then a line per row, its cells
// tab-separated as the dive plan's (what, depth, stop minutes, run time, gas, ppO2 and the
// warnings that mark the row); the turn's row names the turn pressure as its what.
std::vector<std::string> RuntimeTableLines(const Schedule& schedule,
                                           const PlannerSettings& settings, double airPressureMbar,
                                           std::string_view decimalSeparator,
                                           const std::optional<TurnPoint>& turn = std::nullopt);

// "Umkehrdruck 155 bar (D12)": the note of the turn's row.
std::string TurnNote(const TurnPoint& turn, std::string_view decimalSeparator);

}  // namespace marelos
