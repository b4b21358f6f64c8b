#pragma once

#include "cli/command_line.h"

namespace marelos {

// marelos-cli slate FILE OUT.pdf: the slate of the profile (its plan and contingency plans,
// planned with the planner whether or not it is switched on) as a one-page A4 PDF. Exit 3 when
// the dive could not be calculated to its end, 1 when the PDF cannot be written.
void AddSlateCommand(CommandSet& commands);

}  // namespace marelos
