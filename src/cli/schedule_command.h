#pragma once

#include <memory>
#include <string_view>

#include "cli/command_line.h"
#include "core/workspace.h"

namespace marelos {

// marelos-cli schedule FILE [--contingency] [--json]: plans the ascent of the profile with the
// planner (whether or not it is switched on in the settings) and prints its run-time table and
// warnings, or one JSON object: the model, the run time surface to surface, the stops deepest
// first, the gas switches, the warnings, whether the plan is complete, and the planner's settings
// used. A plan that could not be completed prints no stops and ends with exit code 3 and the reason
// on standard error. With --contingency the contingency plans follow the plan (in the JSON as
// {"plans": [...]}, each plan with its "name").
void AddScheduleCommand(CommandSet& commands);

// Loads a profile file as the program opens one (which calculates it), with the planner on
// whatever the settings say and numbers written with `decimalSeparator`. Nothing, and the
// program's message on standard error, when the file cannot be loaded.
std::unique_ptr<Workspace> LoadPlannedDive(const std::string& file,
                                           std::string_view decimalSeparator,
                                           const CommandContext& c);

}  // namespace marelos
