#pragma once

#include "cli/command_line.h"

namespace marelos {

// marelos-cli vyper-decode DUMPFILE OUTDIR [PREVIOUS]: the bytes of one downloaded dive, written
// as decimal numbers, become a profile file in OUTDIR (an existing one is replaced); the dive's
// summary lines and then the file name are printed.
// marelos-cli vyper-download --device PATH OUTDIR [--dives N] [--interface 1|2]: downloads the
// dives from a Vyper on the port, as the Vyper window does, printing its message lines; stored
// dives are replaced. The line settings and the command delay are the user's settings. A download
// that lost the port, dropped a damaged dive or brought no dive ends with exit code 1 and the
// reason on standard error; a dive with values no Vyper records is not written (exit code 1).
void AddVyperCommands(CommandSet& commands);

}  // namespace marelos
