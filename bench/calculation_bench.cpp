// The whole calculation of a dive, as the main window, the profile writer and the table
// generator run it: with every phase, the check and the report.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/engine/calculation.h"
#include "core/settings/memory_settings_store.h"
#include "core/ui/unattended_ui.h"

namespace {

std::unique_ptr<marelos::Workspace> DiveOf(std::initializer_list<marelos::ProfilePoint> corners,
                                           int maxHScale) {
    auto workspace = std::make_unique<marelos::Workspace>(marelos::WorkspaceFromSettings({}));
    workspace->settings.maxHScale = maxHScale;
    for (const auto& corner : corners) {
        workspace->profile.points[workspace->profile.nextPoint++] = corner;
    }
    return workspace;
}

void Calculate(benchmark::State& state, marelos::Workspace& workspace) {
    marelos::InMemorySettingsStore store;
    for (auto _ : state) {
        marelos::UnattendedUi ui;  // one calculation's message lines, as a user would see them
        const marelos::CalculationResult result = marelos::mnuCalcSaturation(workspace, store, ui);
        benchmark::DoNotOptimize(result);
    }
    state.counters["records"] = workspace.computed.computedCount - 1;
}

// 40 m for 25 minutes on air, with stops and the standard surface interval of 120 minutes.
void BM_Air40mFor25MinutesWithStops(benchmark::State& state) {
    const auto workspace = DiveOf({{4, 40, 78, 0}, {25, 40, 78, 0}}, 60);
    Calculate(state, *workspace);
}
BENCHMARK(BM_Air40mFor25MinutesWithStops)->Unit(benchmark::kMicrosecond);

// About 5000 minutes at 10 m, its decompression and the surface interval: the longest dive the
// result tables hold.
void BM_LongestDiveTheTablesHold(benchmark::State& state) {
    const auto workspace = DiveOf({{1, 10, 78, 0}, {5000, 10, 78, 0}}, 6000);
    Calculate(state, *workspace);
}
BENCHMARK(BM_LongestDiveTheTablesHold)->Unit(benchmark::kMicrosecond);

}  // namespace
