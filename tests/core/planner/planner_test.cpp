#include "core/planner/planner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/engine/calculation.h"
#include "core/planner/runtime_table.h"
#include "tests/core/engine/outputs_test_support.h"

namespace marelos {
namespace {

// A dive drawn as corners and calculated with the planner on: ZH-L16C without progressivity,
// GF 40/85, salt water, 1013.25 mbar, ascent 10 m/min, switches of a minute, last stop 3 m.
struct PlannedDive {
    explicit PlannedDive(std::initializer_list<std::pair<int, int>> corners,
                         std::vector<DecoGasSetting> gases = {}, double safetyStop = 0) {
        Settings settings;
        settings.airPressure = 1013.25;
        settings.decoMode = 5;
        settings.planner.enabled = true;
        settings.planner.gfLow = 40;
        settings.planner.gfHigh = 85;
        settings.planner.decoGases = std::move(gases);
        settings.planner.safetyStopMinutes = safetyStop;
        workspace = DrawnDive(corners, settings);
        workspace->model = ModelFromSettings(settings);
        result = mnuCalcSaturation(*workspace, store, ui);
    }
    const Schedule& schedule() const { return *result.schedule; }
    std::vector<std::pair<double, int>> Stops() const {
        std::vector<std::pair<double, int>> stops;
        for (const ScheduleStop& stop : schedule().stops)
            stops.emplace_back(stop.depth, stop.minutes);
        return stops;
    }

    InMemorySettingsStore store;
    ScriptedUi ui;
    std::unique_ptr<Workspace> workspace;
    CalculationResult result;
};

const DecoGasSetting kEan50{BreathingGas::FromOxygenHelium(50, 0), {}};

// Two dives another planner publishes with these conventions: its run times and switch depths
// must be met within 3 minutes, its stops within a minute each.
TEST(PlannerAgainstPublishedPlans, ThirtyMetresOnAirAndFortyWithEan50) {
    using ::testing::ElementsAre;
    using ::testing::Pair;
    const PlannedDive air({{2, 30}, {25, 30}});
    ASSERT_TRUE(air.schedule().complete);
    EXPECT_THAT(air.Stops(), ElementsAre(Pair(9, 1), Pair(6, 3), Pair(3, 5)));  // 1/3/4 there
    EXPECT_NEAR(air.schedule().runTime, 36, 3);
    const PlannedDive safety({{2, 30}, {25, 30}}, {}, 3);
    EXPECT_EQ(safety.Stops().back(), std::make_pair(3.0, 8));  // 7 there
    EXPECT_NEAR(safety.schedule().runTime, 39, 3);

    const PlannedDive ean50({{2, 40}, {30, 40}}, {kEan50});
    ASSERT_EQ(ean50.schedule().switches.size(), 1u);
    EXPECT_EQ(ean50.schedule().switches[0].depth, 21);
    EXPECT_THAT(ean50.Stops(), ElementsAre(Pair(21, 1), Pair(15, 1), Pair(12, 2), Pair(9, 3),
                                           Pair(6, 6), Pair(3, 13)));  // 3 m: 12 there
    EXPECT_NEAR(ean50.schedule().runTime, 59, 3);
    const PlannedDive ean50Safety({{2, 40}, {30, 40}}, {kEan50}, 3);
    EXPECT_NEAR(ean50Safety.schedule().runTime, 62, 3);
}

}  // namespace
}  // namespace marelos
