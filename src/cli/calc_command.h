#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "cli/command_line.h"
#include "core/settings/settings_store.h"
#include "core/ui/unattended_ui.h"
#include "core/workspace.h"

namespace marelos {

// The exit codes of marelos-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;     // a file could not be read or written
inline constexpr int kExitUsage = 2;       // unknown command or wrong arguments
inline constexpr int kExitIncomplete = 3;  // a dive could not be calculated to its end

// kExitIncomplete with the reason on `err` when the calculation ended early, else kExitOk.
int ExitForCalculation(const CalculationResult& result, std::ostream& err);

// The running settings of a command: those the program loads at start, and the depth of the
// decompression gas switch, which the program reads later, when its options dialog opens.
Settings CommandSettings(SettingsStore& store, const std::string& programFolder);

// Loads a profile file into a new workspace as the program opens one (which calculates it), with
// the running settings of the store. Nothing, and the program's message on `err`, when the file
// cannot be loaded.
std::unique_ptr<Workspace> LoadProfileForCommand(const std::string& file, SettingsStore& store,
                                                 const std::string& programFolder, UnattendedUi& ui,
                                                 std::ostream& err);

// marelos-cli calc FILE [--json]: loads the profile file as the program opens one (which
// calculates it) and prints the messages, the line table, the records, the stops and the totals,
// as text for people or as one JSON object. Ends with kExitFailure and the program's message on
// `err` when the file cannot be loaded, and with kExitIncomplete (after the output; the text
// leaves out the stops) when the calculation ended early.
void AddCalcCommand(CommandSet& commands);

}  // namespace marelos
