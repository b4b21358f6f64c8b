#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/settings/settings_store.h"

namespace marelos {

// marelos-cli uddf-import FILE OUTDIR: every dive of the log that has a profile becomes a
// profile file in OUTDIR, named by its date and time; a file that exists already is kept.
// marelos-cli uddf-export FILE OUT: the profile file's lines and comment as a log of one dive.
// Returns the exit code, or -1 when `command` is neither or its operands do not fit.
int RunUddfCommand(const std::string& command, const std::vector<std::string>& operands,
                   SettingsStore& store, const std::string& programFolder, std::ostream& out,
                   std::ostream& err);

}  // namespace marelos
