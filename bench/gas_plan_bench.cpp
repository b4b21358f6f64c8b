// The gas plan on top of the planned ascent: a 75 m / 10 min trimix dive with three
// decompression gases and four cylinders.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/engine/calculation.h"
#include "core/planner/contingency.h"
#include "core/planner/gas_plan.h"
#include "core/planner/planner.h"
#include "core/settings/memory_settings_store.h"
#include "core/ui/unattended_ui.h"

namespace {

using namespace marelos;

// The dive as the user draws it (4 min down, on 75 m until minute 14, trimix 18/45), planned
// with GF 30/85 and 35/25, EAN50 and oxygen.
std::unique_ptr<Workspace> Trimix75m() {
    Settings settings;
    settings.airPressure = 1013.25;
    settings.planner.enabled = true;
    for (const auto& [o2, he] : {std::pair{35.0, 25.0}, {50.0, 0.0}, {100.0, 0.0}})
        settings.planner.decoGases.push_back({BreathingGas::FromOxygenHelium(o2, he), {}});
    for (const char* text :
         {"D24;24;232;18/45", "S80;11.1;207;35/25", "S80;11.1;207;50/0", "S40;5.7;207;100/0"}) {
        settings.gasPlan.cylinders.push_back(*ParseCylinder(text));
    }
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(settings));
    workspace->model = ModelFromSettings(settings);
    for (const ProfilePoint corner : {ProfilePoint{4, 75, 36, 45}, ProfilePoint{14, 75, 36, 45}})
        workspace->profile.points[workspace->profile.nextPoint++] = corner;
    return workspace;
}

void BM_GasPlanOfTheTrimix75mPlan(benchmark::State& state) {
    const auto workspace = Trimix75m();
    InMemorySettingsStore store;
    UnattendedUi ui;
    const CalculationResult result = mnuCalcSaturation(*workspace, store, ui);
    if (!result.schedule || !result.gasPlan) {
        state.SkipWithError("the dive was not planned");
        return;
    }
    const Settings& settings = workspace->settings;
    for (auto _ : state) {
        const GasPlan plan = PlanGas(*result.schedule, settings.gasPlan, settings.planner,
                                     settings.airPressure, ".");
        benchmark::DoNotOptimize(plan);
    }
    state.counters["segments"] = static_cast<double>(result.schedule->segments.size() +
                                                     result.schedule->start.divePhase.size());
}
BENCHMARK(BM_GasPlanOfTheTrimix75mPlan)->Unit(benchmark::kMicrosecond);

// The plan of the same dive from the end of its dive phase, with its five contingency plans
// (deeper and longer, without each of the three decompression gases, the worst case), each with
// its gas plan: what the window "Tauchplan" and the slate compute on every calculation; with
// Bühlmann (GF 30/85) and with VPM-B +2.
void BM_PlanAndContingencyPlansWithGasOfTheTrimix75mDive(benchmark::State& state,
                                                         PlannerModel model) {
    const auto workspace = Trimix75m();
    workspace->settings.planner.model = model;
    InMemorySettingsStore store;
    UnattendedUi ui;
    const CalculationResult result = mnuCalcSaturation(*workspace, store, ui);
    if (!result.schedule || !result.schedule->complete) {
        state.SkipWithError("the dive was not planned");
        return;
    }
    const Settings& settings = workspace->settings;
    const auto planAll = [&] {
        const Schedule plan = PlanAscent(result.schedule->start, workspace->model, settings.planner,
                                         settings.airPressure);
        return ContingencyPlans(workspace->profile, plan, workspace->model, settings);
    };
    for (auto _ : state) {
        const std::vector<ContingencyPlan> plans = planAll();
        benchmark::DoNotOptimize(plans);
    }
    const std::vector<ContingencyPlan> plans = planAll();
    state.counters["plans"] = static_cast<double>(plans.size());
    state.counters["planRuntime"] = plans.front().schedule.runTime;
    state.counters["worstRuntime"] = plans.back().schedule.runTime;
}
BENCHMARK_CAPTURE(BM_PlanAndContingencyPlansWithGasOfTheTrimix75mDive, Buhlmann,
                  PlannerModel::Buhlmann)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlanAndContingencyPlansWithGasOfTheTrimix75mDive, Vpmb, PlannerModel::Vpmb)
    ->Unit(benchmark::kMicrosecond);

// The whole calculation of the same dive, with and without cylinders: what the gas plan adds.
void BM_Trimix75mCalculation(benchmark::State& state) {
    const auto workspace = Trimix75m();
    if (state.range(0) == 0) workspace->settings.gasPlan.cylinders.clear();
    InMemorySettingsStore store;
    for (auto _ : state) {
        UnattendedUi ui;
        benchmark::DoNotOptimize(mnuCalcSaturation(*workspace, store, ui));
    }
}
BENCHMARK(BM_Trimix75mCalculation)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
