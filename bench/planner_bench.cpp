// The planner's ascent alone, from the tissues the dive phase leaves: what the contingency
// plans run several times per calculation.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/engine/calculation.h"
#include "core/planner/planner.h"
#include "core/profile/gas_mix.h"
#include "core/settings/memory_settings_store.h"
#include "core/ui/unattended_ui.h"

namespace {

// The start of the ascent of a square dive calculated as the program does (ZH-L16C without
// progressivity, 1013.25 mbar), and the planner's settings.
struct Ascent {
    marelos::AscentStart start;
    marelos::ModelParameters model;
    marelos::PlannerSettings planner;
};

Ascent AscentOf(int descentMinutes, int depth, int bottomMinutes, marelos::PointGas gas,
                std::vector<marelos::DecoGasSetting> decoGases) {
    marelos::Settings settings;
    settings.airPressure = 1013.25;
    settings.decoMode = 5;
    settings.planner.enabled = true;
    settings.planner.decoGases = std::move(decoGases);
    auto workspace = std::make_unique<marelos::Workspace>(marelos::WorkspaceFromSettings(settings));
    workspace->model = marelos::ModelFromSettings(settings);
    for (const int minute : {descentMinutes, bottomMinutes}) {
        workspace->profile.points[workspace->profile.nextPoint++] = {minute, depth, gas.n2Percent,
                                                                     gas.hePercent};
    }
    marelos::InMemorySettingsStore store;
    marelos::UnattendedUi ui;
    const marelos::CalculationResult result = marelos::mnuCalcSaturation(*workspace, store, ui);
    return {result.schedule->start, workspace->model, settings.planner};
}

void Plan(benchmark::State& state, const Ascent& ascent) {
    for (auto _ : state) {
        const marelos::Schedule schedule =
            marelos::PlanAscent(ascent.start, ascent.model, ascent.planner, 1013.25);
        benchmark::DoNotOptimize(schedule);
    }
    const marelos::Schedule schedule =
        marelos::PlanAscent(ascent.start, ascent.model, ascent.planner, 1013.25);
    state.counters["stops"] = static_cast<double>(schedule.stops.size());
    state.counters["runtime"] = schedule.runTime;
}

// 75 m for 10 minutes on trimix 18/45 with four decompression gases.
Ascent Trimix75mFor10MinutesWithFourGases() {
    using marelos::BreathingGas;
    return AscentOf(4, 75, 10, {36, 45},
                    {{BreathingGas::FromOxygenHelium(21, 35), std::nullopt},
                     {BreathingGas::FromOxygenHelium(35, 25), std::nullopt},
                     {BreathingGas::FromOxygenHelium(50, 0), std::nullopt},
                     {BreathingGas::FromOxygenHelium(100, 0), std::nullopt}});
}

void BM_PlanTrimix75mFor10MinutesWithFourGases(benchmark::State& state) {
    static const Ascent ascent = Trimix75mFor10MinutesWithFourGases();
    Plan(state, ascent);
}
BENCHMARK(BM_PlanTrimix75mFor10MinutesWithFourGases)->Unit(benchmark::kMicrosecond);

// The same dive with VPM-B +2: the critical volume algorithm plans the ascent several times.
void BM_PlanTrimix75mFor10MinutesWithFourGasesVpmb(benchmark::State& state) {
    static const Ascent ascent = [] {
        Ascent vpmb = Trimix75mFor10MinutesWithFourGases();
        vpmb.planner.model = marelos::PlannerModel::Vpmb;
        return vpmb;
    }();
    Plan(state, ascent);
}
BENCHMARK(BM_PlanTrimix75mFor10MinutesWithFourGasesVpmb)->Unit(benchmark::kMicrosecond);

// 40 m for 25 minutes on air.
void BM_PlanAir40mFor25Minutes(benchmark::State& state) {
    static const Ascent ascent = AscentOf(2, 40, 25, {78, 0}, {});
    Plan(state, ascent);
}
BENCHMARK(BM_PlanAir40mFor25Minutes)->Unit(benchmark::kMicrosecond);

}  // namespace
