#pragma once

#include <string>
#include <vector>

#include "core/settings/settings_store.h"
#include "core/ui/ui.h"
#include "core/workspace.h"

namespace marelos {

// True when the last data line of the profile file lies above 1 m, that is when the dive
// includes its ascent.
bool HasAscentPhase(const std::string& path);

// mnuJoinDives: a first dive and any number of repetitive dives with the surface intervals
// before them, asked through the dialogs, become one profile, which is calculated.
void JoinDives(Workspace& workspace, SettingsStore& store, Ui& ui);

// CalcDiveSeries: the nitrogen pressures of compartments 1 to 16 through a series of dives,
// minute by minute for the surface intervals and line by line for the dives, written as a
// table. `entries` are "hours|profile path". Returns false when nothing was written.
bool CalcDiveSeries(Workspace& workspace, Ui& ui, const std::vector<std::string>& entries,
                    const std::string& outputPath);

}  // namespace marelos
