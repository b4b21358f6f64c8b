#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/settings/settings_store.h"
#include "core/ui/ui.h"
#include "core/workspace.h"

namespace marelos {

inline constexpr int kDecoTableMaxTimes = 20;     // bottom times per depth line
inline constexpr int kDecoTableMaxLines = 10000;  // output lines

// The decompression table of an input text (one line per depth: depth, then bottom times): a
// square dive with the main window's gas is calculated for every depth and time, and the stop
// times are collected into one block per depth. The surface interval and the view are put back
// afterwards and the profile is new and empty. The progress counts the calculated cells and the
// cancel flag is polled after each of them; when the user confirms the cancel, the result is
// nothing. A dive that cannot be calculated gets, in its row, the reason instead of stop times.
// Depth lines beyond 20 bottom times use the first 20; blocks that would pass 10000 output lines
// are left out; lines with a depth or time too large to be one are skipped. All three are
// reported in the message list.
// A built table with the notes it also wrote to the message list (cut lines, skipped depths,
// dives that could not be calculated).
struct DecoTable {
    std::vector<std::string> lines;
    std::vector<std::string> notes;
    bool everyDiveCalculated = true;
};

std::optional<DecoTable> BuildDecoTable(Workspace& workspace, SettingsStore& store, Ui& ui,
                                        const std::vector<std::string>& input);

}  // namespace marelos
