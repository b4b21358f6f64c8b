#pragma once

#include "cli/command_line.h"

namespace marelos {

// marelos-cli uddf-import FILE OUTDIR: every dive of the log that has a profile becomes a
// profile file in OUTDIR, named by its date and time; a file that exists already is kept.
// marelos-cli uddf-export FILE OUT: the profile file's lines and comment as a log of one dive.
void AddUddfCommands(CommandSet& commands);

}  // namespace marelos
