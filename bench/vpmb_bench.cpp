// The ascent planned with the bubble model VPM-B: the critical volume algorithm plans it several
// times, each time with the gradients the last decompression time allows.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/engine/calculation.h"
#include "core/planner/planner.h"
#include "core/settings/memory_settings_store.h"
#include "core/ui/unattended_ui.h"

namespace {

using marelos::BreathingGas;

// 75 m for 10 minutes on Trimix 18/45 with four decompression gases (21/35, 35/25, EAN50 and
// oxygen, each at its maximum operating depth), VPM-B +2: the start of its ascent as the
// calculation hands it to the planner.
struct TrimixDive {
    TrimixDive() {
        marelos::Settings settings;
        settings.planner.enabled = true;
        settings.planner.model = marelos::PlannerModel::Vpmb;
        for (const auto& [o2, he] : {std::pair{21, 35}, {35, 25}, {50, 0}, {100, 0}})
            settings.planner.decoGases.push_back({BreathingGas::FromOxygenHelium(o2, he), {}});
        workspace = std::make_unique<marelos::Workspace>(marelos::WorkspaceFromSettings(settings));
        workspace->model = marelos::ModelFromSettings(settings);
        for (const marelos::ProfilePoint corner :
             {marelos::ProfilePoint{4, 75, 36, 45}, {10, 75, 36, 45}})
            workspace->profile.points[workspace->profile.nextPoint++] = corner;
        marelos::InMemorySettingsStore store;
        marelos::UnattendedUi ui;
        result = marelos::mnuCalcSaturation(*workspace, store, ui);
    }
    std::unique_ptr<marelos::Workspace> workspace;
    marelos::CalculationResult result;
};

void BM_Vpmb75mTrimixWithFourGases(benchmark::State& state) {
    const TrimixDive dive;
    const marelos::Settings& settings = dive.workspace->settings;
    if (!dive.result.schedule || !dive.result.schedule->complete) {
        state.SkipWithError("the dive was not planned");
        return;
    }
    for (auto _ : state) {
        const marelos::Schedule schedule =
            marelos::PlanAscent(dive.result.schedule->start, dive.workspace->model,
                                settings.planner, settings.airPressure);
        benchmark::DoNotOptimize(schedule);
    }
    state.counters["runtime"] = dive.result.schedule->runTime;
    state.counters["stops"] = static_cast<double>(dive.result.schedule->stops.size());
}
BENCHMARK(BM_Vpmb75mTrimixWithFourGases)->Unit(benchmark::kMicrosecond);

// The same dive's whole calculation (dive phase, plan, records, check, surface interval).
void BM_Vpmb75mTrimixWholeCalculation(benchmark::State& state) {
    TrimixDive dive;
    marelos::InMemorySettingsStore store;
    for (auto _ : state) {
        marelos::UnattendedUi ui;
        benchmark::DoNotOptimize(marelos::mnuCalcSaturation(*dive.workspace, store, ui));
    }
}
BENCHMARK(BM_Vpmb75mTrimixWholeCalculation)->Unit(benchmark::kMicrosecond);

}  // namespace
