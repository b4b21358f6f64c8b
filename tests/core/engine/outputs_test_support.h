#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/profile/gas_mix.h"
#include "core/settings/memory_settings_store.h"
#include "core/workspace.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/temp_folder.h"

namespace marelos {

// A workspace with the settings and a dive drawn from corners (minute, depth) on one gas, air
// unless told.
inline std::unique_ptr<Workspace> DrawnDive(const std::vector<std::pair<int, int>>& corners,
                                            Settings settings = {}, PointGas gas = {78, 0}) {
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(settings));
    for (const auto& [minute, depth] : corners) {
        workspace->profile.points[workspace->profile.nextPoint++] = {minute, depth, gas.n2Percent,
                                                                     gas.hePercent};
    }
    return workspace;
}

// The corners "minute/depth minute/depth ..." of a case table's dive.
inline std::vector<std::pair<int, int>> CornersOf(const std::string& text) {
    std::vector<std::pair<int, int>> corners;
    std::istringstream in(text);
    for (int minute, depth; in >> minute && in.ignore() >> depth;)
        corners.emplace_back(minute, depth);
    return corners;
}

// Writes "Section/Key=Value" entries, separated by semicolons, into the store; a semicolon
// followed by no "Section/Key=" belongs to the value (as in a cylinder).
inline void WriteEntries(SettingsStore& store, const std::string& entries) {
    std::vector<std::string> merged;
    std::istringstream parts(entries);
    for (std::string part; std::getline(parts, part, ';');) {
        const std::size_t equals = part.find('=');
        if (equals != std::string::npos && part.find('/') < equals) {
            merged.push_back(part);
        } else if (!merged.empty()) {
            merged.back() += ";" + part;
        }
    }
    for (const std::string& entry : merged) {
        const std::size_t slash = entry.find('/'), equals = entry.find('=');
        store.WriteSetting(entry.substr(0, slash), entry.substr(slash + 1, equals - slash - 1),
                           entry.substr(equals + 1));
    }
}

}  // namespace marelos
