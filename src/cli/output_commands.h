#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/settings/settings_store.h"

namespace marelos {

// The commands of marelos-cli that print an output of the program: no-fly time, dive plan,
// decompression text and lines, decompression table, and the calculators. `operands` are the
// command's arguments. Returns the exit code, or -1 when `command` is none of them or its
// operands do not fit.
int RunOutputCommand(const std::string& command, const std::vector<std::string>& operands,
                     bool json, SettingsStore& store, const std::string& programFolder,
                     std::ostream& out, std::ostream& err);

}  // namespace marelos
