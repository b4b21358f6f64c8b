#pragma once

#include "cli/command_line.h"

namespace marelos {

// marelos-cli schedule FILE [--contingency] [--json]: plans the ascent of the profile with the
// planner (whether or not it is switched on in the settings) and prints its run-time table and
// warnings, or one JSON object: the model, the run time surface to surface, the stops deepest
// first, the gas switches, the warnings, whether the plan is complete, and the planner's settings
// used. A plan that could not be completed prints no stops and ends with exit code 3 and the reason
// on standard error. With --contingency the contingency plans follow the plan (in the JSON as
// {"plans": [...]}, each plan with its "name").
void AddScheduleCommand(CommandSet& commands);

}  // namespace marelos
