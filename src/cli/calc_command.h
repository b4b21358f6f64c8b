#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "core/settings/settings_store.h"
#include "core/ui/unattended_ui.h"
#include "core/workspace.h"

namespace marelos {

// The running settings of a command: those the program loads at start, and the depth of the
// decompression gas switch, which the program reads later, when its options dialog opens.
Settings CommandSettings(SettingsStore& store, const std::string& programFolder);

// Loads a profile file into a new workspace as the program opens one (which calculates it), with
// the running settings of the store. Nothing, and the program's message on `err`, when the file
// cannot be loaded.
std::unique_ptr<Workspace> LoadProfileForCommand(const std::string& file, SettingsStore& store,
                                                 const std::string& programFolder, UnattendedUi& ui,
                                                 std::ostream& err);

// marelos-cli calc: loads the profile file as the program opens one (which calculates it) and
// prints the messages, the line table, the records, the stops and the totals as one JSON object.
// Returns 1 with the program's message on `err` when the file cannot be loaded.
int RunCalcCommand(const std::string& file, SettingsStore& store, const std::string& programFolder,
                   std::ostream& out, std::ostream& err);

}  // namespace marelos
