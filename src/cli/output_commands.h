#pragma once

#include "cli/command_line.h"

namespace marelos {

// The commands of marelos-cli that print an output of the program: no-fly time, dive plan,
// decompression text and lines, decompression table, and the calculators.
void AddOutputCommands(CommandSet& commands);

}  // namespace marelos
