#pragma once

#include <memory>

#include "core/settings/memory_settings_store.h"
#include "core/workspace.h"
#include "tests/fakes/scripted_ui.h"

namespace marelos {

// A workspace with default settings and a dive drawn from corners (minute, depth) on air.
inline std::unique_ptr<Workspace> DrawnDive(std::initializer_list<std::pair<int, int>> corners,
                                            Settings settings = {}) {
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(settings));
    for (const auto& [minute, depth] : corners) {
        workspace->profile.points[workspace->profile.nextPoint++] = {minute, depth, 78, 0};
    }
    return workspace;
}

}  // namespace marelos
