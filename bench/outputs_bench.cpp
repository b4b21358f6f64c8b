// The long-running outputs: the decompression table generator and the no-fly search.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "core/engine/deco_table.h"
#include "core/engine/no_fly.h"
#include "core/settings/memory_settings_store.h"
#include "core/ui/unattended_ui.h"

namespace {

// 30 depths from 9 to 96 m with 20 bottom times each.
void BM_DecoTable20TimesBy30Depths(benchmark::State& state) {
    std::vector<std::string> input;
    for (int depth = 9; depth <= 96; depth += 3) {
        std::string line = std::to_string(depth);
        for (int time = 5; time <= 100; time += 5)
            line += " " + std::to_string(time);
        input.push_back(line);
    }
    marelos::InMemorySettingsStore store;
    for (auto _ : state) {
        auto workspace = std::make_unique<marelos::Workspace>(marelos::WorkspaceFromSettings({}));
        marelos::UnattendedUi ui;  // the message lines of one run only
        benchmark::DoNotOptimize(marelos::BuildDecoTable(*workspace, store, ui, input));
    }
}
BENCHMARK(BM_DecoTable20TimesBy30Depths)->Unit(benchmark::kMillisecond);

// A trimix dive to 80 m for 40 minutes with a long decompression, and its no-fly time.
void BM_NoFlySearchOfALongTrimixDive(benchmark::State& state) {
    auto workspace = std::make_unique<marelos::Workspace>(marelos::WorkspaceFromSettings({}));
    marelos::DiveProfile& profile = workspace->profile;
    profile.points[profile.nextPoint++] = {4, 80, 30, 55};
    profile.points[profile.nextPoint++] = {40, 80, 30, 55};
    marelos::InMemorySettingsStore store;
    int minutes = 0;
    for (auto _ : state) {
        marelos::UnattendedUi ui;
        minutes = marelos::ComputeNoFlyMinutes(*workspace, store, ui).value_or(-1);
    }
    state.counters["noFlyMinutes"] = minutes;
}
BENCHMARK(BM_NoFlySearchOfALongTrimixDive)->Unit(benchmark::kMicrosecond);

}  // namespace
