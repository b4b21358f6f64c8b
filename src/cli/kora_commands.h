#pragma once

#include "cli/command_line.h"

namespace marelos {

// marelos-cli kora-dive EEPROMFILE N: the line table of dive N of a KORA 4 EEPROM image (4097
// decimal numbers, -1 for a failed read, or 4097 raw bytes), one line per minute, TAB-separated:
// depth, t.delta, t.total, N2 %, He %. A dive with a failed byte is refused (exit code 1).
// marelos-cli kora-download --device PATH OUTFILE [--timeout MS]: reads the whole EEPROM of a
// KORA 4 on the port, as the KORA 4 window does, writes it to OUTFILE as 4097 numbers and prints
// the dive list. The line settings are the user's; MS is the wait for each reply. A load that
// ends early writes nothing; one with failed bytes writes them as -1 and marks their dives
// incomplete; both end with exit code 1 and the reason on standard error.
void AddKoraCommands(CommandSet& commands);

}  // namespace marelos
