#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/planner/planner_settings.h"
#include "core/planner/schedule.h"

namespace marelos {

// A row of the run-time table: the bottom, each stop of the plan (a gas switch's minutes
// included) and the surface, with the run time when the diver leaves, the gas, the ppO2 there
// and the gas warnings that mark it.
struct RuntimeRow {
    double depth = 0;
    int stopMinutes = 0;  // 0 for the bottom and the surface
    double runTime = 0;
    BreathingGas gas;
    double ppO2 = 0;
    bool gasSwitch = false;
    std::vector<std::string> marks;
};
std::vector<RuntimeRow> RuntimeRows(const Schedule& schedule, const PlannerSettings& settings,
                                    double airPressureMbar, std::string_view decimalSeparator);

// A run time as the table shows it: minutes to a tenth, "59" or "32,9".
std::string RunTimeText(double minutes, std::string_view decimalSeparator);

// The table as German text lines: its title with the model, then a line per row, its cells
// tab-separated as the dive plan's (what, depth, stop minutes, run time, gas, ppO2 and the
// warnings that mark the row).
std::vector<std::string> RuntimeTableLines(const Schedule& schedule,
                                           const PlannerSettings& settings, double airPressureMbar,
                                           std::string_view decimalSeparator);

}  // namespace marelos
