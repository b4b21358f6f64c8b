#pragma once

#include "cli/command_line.h"
#include "cli/json_writer.h"
#include "core/planner/gas_plan.h"

namespace marelos {

// marelos-cli gas FILE [--json]: the gas plan of the profile, planned with the planner and the
// cylinders of the settings: each cylinder's use, reserve and (for the bottom cylinder) turn
// pressure, the minimum gas and the warnings, as German text with the run-time table, or as one
// JSON object. Needs the planner (exit 2 without it); exit 3 when the dive could not be
// calculated to its end, with no plan.
void AddGasCommand(CommandSet& commands);

// "cylinders": [...]: each cylinder of a gas plan as the gas command's JSON writes it.
void WriteCylinderUses(JsonWriter& json, const GasPlan& plan);

}  // namespace marelos
