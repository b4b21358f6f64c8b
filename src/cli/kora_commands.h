#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "core/settings/settings_store.h"

namespace marelos {

// marelos-cli kora-dive EEPROMFILE N: the line table of dive N of a KORA 4 EEPROM image (4097
// decimal numbers, -1 for a failed read, or 4097 raw bytes), one line per minute, TAB-separated:
// depth, t.delta, t.total, N2 %, He %. A dive with a failed byte is refused (exit code 1).
// marelos-cli kora-download --device PATH OUTFILE [--timeout MS]: reads the whole EEPROM of a
// KORA 4 on the port, as the KORA 4 window does, writes it to OUTFILE as 4097 numbers and prints
// the dive list. The line settings are the user's; MS is the wait for each reply. A load that
// ends early writes nothing; one with failed bytes writes them as -1 and marks their dives
// incomplete; both end with exit code 1 and the reason on standard error.
// Returns the exit code, or -1 when `command` is neither or its operands do not fit.
int RunKoraCommand(const std::string& command, const std::vector<std::string>& operands,
                   const std::map<std::string, std::string>& named, SettingsStore& store,
                   const std::string& programFolder, std::ostream& out, std::ostream& err);

}  // namespace marelos
