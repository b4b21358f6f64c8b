#pragma once

#include <ostream>
#include <string>

#include "core/settings/settings_store.h"

namespace marelos {

// marelos-cli calc: loads the profile file as the program opens one (which calculates it) and
// prints the messages, the line table, the records, the stops and the totals as one JSON object.
// Returns 1 with the program's message on `err` when the file cannot be loaded.
int RunCalcCommand(const std::string& file, SettingsStore& store, const std::string& programFolder,
                   std::ostream& out, std::ostream& err);

}  // namespace marelos
