#include "core/planner/gas_plan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/engine/calculation.h"
#include "core/planner/real_gas.h"
#include "core/planner/runtime_table.h"
#include "core/settings/memory_settings_store.h"
#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/golden.h"

namespace marelos {
namespace {

using ::testing::ElementsAre;

// Ambient pressure in salt water at 1013.25 mbar: P(d) = 1.01325 + 0.101043·d bar.
constexpr double kAir = 1013.25;
const BreathingGas kAirGas = BreathingGas::FromProfileLine(78, 0);  // 21 % O2, as drawn
const BreathingGas kEan50 = BreathingGas::FromOxygenHelium(50, 0);
const BreathingGas kOxygen = BreathingGas::FromOxygenHelium(100, 0);

ScheduleSegment Travel(double from, double to, double minutes, const BreathingGas& gas) {
    return {SegmentKind::Travel, from, to, minutes, 0, gas};
}
ScheduleSegment Stay(double depth, double minutes, const BreathingGas& gas,
                     SegmentKind kind = SegmentKind::Stop) {
    return {kind, depth, depth, minutes, 0, gas};
}

// A planned dive as the planner hands it on: its dive phase and its ascent, run times added up.
Schedule Planned(std::vector<ScheduleSegment> dive, std::vector<ScheduleSegment> ascent) {
    Schedule schedule;
    double runTime = 0;
    for (auto* part : {&dive, &ascent}) {
        for (ScheduleSegment& segment : *part)
            segment.endRunTime = runTime += segment.minutes;
    }
    schedule.start.divePhase = dive;
    schedule.start.depth = dive.back().toDepth;
    schedule.start.runTime = dive.back().endRunTime;
    schedule.start.bottomGas = dive.back().gas;
    schedule.segments = ascent;
    schedule.runTime = runTime;
    schedule.complete = true;
    return schedule;
}

GasPlanSettings Rates(std::vector<std::string> cylinders, double sacDeco, bool realGas) {
    GasPlanSettings settings;
    for (const std::string& text : cylinders)
        settings.cylinders.push_back(*ParseCylinder(text));
    settings.sacDeco = sacDeco;
    settings.realGas = realGas;
    return settings;
}

GasPlan Plan(const Schedule& schedule, const GasPlanSettings& settings) {
    return PlanGas(schedule, settings, PlannerSettings{}, kAir, ",");
}

TEST(GasPlan, FlatDiveIntegratesByHandAndCountsTheRealGas) {
    // 2 min down to 20 m, 40 min there, 2 min up, all at 20 l/min from a 12 l cylinder at 232 bar.
    // P(20) = 3.03411 bar; the mean of P(0) and P(20) is 2.02368 bar.
    //   descent  20 × 2 × 2.02368  =   80.947 l
    //   bottom   20 × 40 × 3.03411 = 2427.288 l  (the 2 425 l of the rule of thumb)
    //   ascent   20 × 2 × 2.02368  =   80.947 l
    //   together                     2589.182 l = 218.62 bar of 12 l as an ideal gas, 13.38 left.
    const Schedule flat =
        Planned({Travel(0, 20, 2, kAirGas), Stay(20, 40, kAirGas)}, {Travel(20, 0, 2, kAirGas)});
    const GasPlan ideal = Plan(flat, Rates({"D12;12;232;21/0"}, 20, false));
    ASSERT_EQ(ideal.cylinders.size(), 1u);
    const CylinderUse& d12 = ideal.cylinders[0];
    EXPECT_NEAR(d12.usedLitres, 2589.182, 0.01);
    EXPECT_NEAR(d12.pressures.used, 218.624, 0.01);
    EXPECT_NEAR(d12.pressures.end, 13.376, 0.01);
    // Minimum gas, two divers at 20 × 2 l/min: 1 min at 20 m and the 2 min ascent,
    // 80 × (3.03411 + 2 × 2.02368) = 566.52 l = 47.84 bar.
    EXPECT_NEAR(ideal.minimumGasLitres, 566.518, 0.01);
    EXPECT_NEAR(d12.pressures.reserve, 47.836, 0.01);
    EXPECT_THAT(ideal.warnings,
                ElementsAre("Warnung: Die Flasche D12 (Luft) endet mit 13 bar, unter ihrer "
                            "Reserve von 48 bar."));

    // As a real gas 21/79 at 232 bar has Z = 0.21 × 0.9396 + 0.79 × 1.0732 = 1.0451 (oxygen's
    // and nitrogen's Z there): the cylinder holds 2747.4 / 1.0451 = 2628.8 l, 4 % less, and
    // keeps only 39.6 l at the end, 3.37 bar (where Z is 1).
    const GasPlan real = Plan(flat, Rates({"D12;12;232;21/0"}, 20, true));
    EXPECT_NEAR(real.cylinders[0].usedLitres, 2589.182, 0.01);
    EXPECT_NEAR(real.cylinders[0].pressures.end, 3.37, 0.02);
    EXPECT_NEAR(real.cylinders[0].ideal.end, 13.376, 0.01);

    // A 1 l cylinder at 10 bar (9.869 l) runs empty on the way down, where P(t) = 1.01325 +
    // 1.01043·t: 20·(1.01325·t + 1.01043·t²/2) = 9.869 gives t = 0.4052 min.
    const GasPlan tiny = Plan(flat, Rates({"T1;1;10;21/0"}, 20, false));
    EXPECT_NEAR(*tiny.cylinders[0].emptyAt, 0.4052, 0.0001);
    // A trimix dive breathes its own cylinder.
    const BreathingGas tx = BreathingGas::FromOxygenHelium(18, 45);
    const Schedule trimix =
        Planned({Travel(0, 20, 2, tx), Stay(20, 40, tx)}, {Travel(20, 0, 2, tx)});
    EXPECT_NEAR(Plan(trimix, Rates({"T;12;232;18/45"}, 20, false)).cylinders[0].usedLitres,
                2589.182, 0.01);
}

TEST(GasPlan, DecompressionDiveWithTwoStagesAndTheTurnByThirds) {
    // 40 m for 30 min on air, up on EAN50 from 21 m and on oxygen from 6 m; bottom 20 l/min,
    // decompression 15 l/min; ideal gas, so that every bar is litres × 1.01325 / volume.
    const Schedule dive =
        Planned({Travel(0, 40, 2, kAirGas), Stay(40, 28, kAirGas)},
                {Travel(40, 21, 1.9, kAirGas), Stay(21, 1, kEan50, SegmentKind::Switch),
                 Travel(21, 9, 1.2, kEan50), Stay(9, 4, kEan50), Travel(9, 6, 0.3, kEan50),
                 Stay(6, 1, kOxygen, SegmentKind::Switch), Stay(6, 5, kOxygen),
                 Travel(6, 3, 0.3, kOxygen), Stay(3, 10, kOxygen), Travel(3, 0, 0.3, kOxygen)});
    const GasPlan plan =
        Plan(dive, Rates({"D24;24;232;21/0", "S80;11;207;50/0", "S40;5.5;207;100/0"}, 15, false));
    ASSERT_EQ(plan.cylinders.size(), 3u);
    const CylinderUse& d24 = plan.cylinders[0];
    const CylinderUse& s80 = plan.cylinders[1];
    const CylinderUse& s40 = plan.cylinders[2];
    // Air: 20 × (2 × 3.03411 + 28 × 5.05497) + 15 × 1.9 × 4.09506 = 2952.148 + 116.709 l
    // = 3068.857 l = 129.56 bar of 24 l.
    EXPECT_NEAR(d24.usedLitres, 3068.857, 0.01);
    EXPECT_NEAR(d24.pressures.used, 129.563, 0.01);
    // EAN50: 15 × (1 × 3.13516 + 1.2 × 2.52890 + 4 × 1.92264 + 0.3 × 1.77108) = 215.875 l;
    // oxygen: 15 × (6 × 1.61951 + 0.3 × 1.46795 + 10 × 1.31638 + 0.3 × 1.16482) = 355.060 l.
    EXPECT_NEAR(s80.usedLitres, 215.875, 0.01);
    EXPECT_EQ(s80.missingLitres, 0);
    EXPECT_NEAR(s40.usedLitres, 355.060, 0.01);
    EXPECT_NEAR(s40.pressures.end, 141.588, 0.01);
    // Minimum gas: 80 l/min for 1 min at 40 m and 1.9 min up to the switch at 21 m,
    // 80 × (5.05497 + 1.9 × 4.09506) = 1026.847 l = 43.35 bar of 24 l. A stage keeps what a
    // buddy would breathe from it: the EAN50's 215.875 l, 19.89 bar of 11 l.
    EXPECT_NEAR(plan.minimumGasLitres, 1026.847, 0.01);
    EXPECT_NEAR(d24.pressures.reserve, 43.352, 0.01);
    EXPECT_NEAR(s80.pressures.reserve, 19.885, 0.01);
    EXPECT_EQ(s40.pressures.turn, std::nullopt);
    // Thirds: the 24 l hold 5495.189 l, 4468.342 l above the reserve; the turn keeps two thirds
    // of that and the reserve, 4005.741 l = 169.12 bar. The 1489.447 l to the turn: 121.364 l on
    // the way down, the rest at 20 × 5.05497 l/min, 13.53 min later: at 15.53 min on 40 m.
    ASSERT_TRUE(d24.pressures.turn);
    EXPECT_NEAR(*d24.pressures.turn, 169.117, 0.01);
    ASSERT_TRUE(plan.turn);
    EXPECT_NEAR(plan.turn->runTime, 15.532, 0.001);
    EXPECT_EQ(plan.turn->depth, 40);
    EXPECT_TRUE(plan.warnings.empty());

    // The run-time table marks the turn in the order of the run time, before the bottom row.
    Schedule withStops = dive;
    withStops.model = "ZH-L16C GF 30/85";
    withStops.stops = {{21, 1, 0, kEan50, true}};
    const std::vector<std::string> table =
        RuntimeTableLines(withStops, PlannerSettings{}, kAir, ",", plan.turn);
    EXPECT_EQ(table[1],
              "Umkehrdruck 169 bar (D24)\t40 m\t\tLaufzeit: 15,5 min.\tLuft\tppO2: 1,06 bar");
    EXPECT_THAT(table[2], ::testing::StartsWith("Aufstieg ab\t40 m\t\tLaufzeit: 30 min."));
}

TEST(GasPlan, StagesOfTheBottomGasGoFirstAndACylinderRunsOut) {
    // 35 min at 30 m on air (2 min down), up on EAN50, for which there is no cylinder.
    // P(30) = 4.04454 bar. Air: 20 × 2 × 2.52890 + 20 × 33 × 4.04454 = 101.156 + 2669.396 l.
    const Schedule dive =
        Planned({Travel(0, 30, 2, kAirGas), Stay(30, 33, kAirGas)}, {Travel(30, 0, 3, kEan50)});
    const GasPlan plan = Plan(dive, Rates({"D7;7;200;21/0", "S5;5;200;21/0"}, 15, false));
    const CylinderUse& d7 = plan.cylinders[0];
    const CylinderUse& s5 = plan.cylinders[1];
    // The stage first: its 5 × 200 / 1.01325 = 986.923 l are gone after the descent's 101.156 l
    // and (986.923 - 101.156) / 80.891 = 10.950 min at 30 m.
    EXPECT_NEAR(s5.usedLitres, 986.923, 0.01);
    ASSERT_TRUE(s5.emptyAt);
    EXPECT_NEAR(*s5.emptyAt, 12.950, 0.001);
    EXPECT_EQ(s5.reserveLitres, 0);
    // Then D7: 1381.693 l for the 1783.629 l still to go, empty at 2 + (2368.616 - 101.156) /
    // 80.891 = 30.031 min, 401.94 l short; it kept the minimum gas, 80 × 4.04454 = 323.563 l.
    EXPECT_NEAR(d7.usedLitres, 1381.693, 0.01);
    EXPECT_NEAR(d7.missingLitres, 401.936, 0.01);
    EXPECT_NEAR(*d7.emptyAt, 30.031, 0.001);
    EXPECT_EQ(d7.pressures.end, 0);
    EXPECT_NEAR(d7.reserveLitres, 323.563, 0.01);
    // EAN50: 15 × 3 × 2.52890 = 113.80 l without a cylinder.
    EXPECT_THAT(plan.warnings,
                ElementsAre("Warnung: Für EAN50 gibt es keine Flasche (ab 30 m, Laufzeit 35 "
                            "min); 114 l sind nicht eingeplant.",
                            "Warnung: Die Flasche D7 (Luft) ist bei Laufzeit 30 min leer. Es "
                            "fehlen 402 l.",
                            "Warnung: Die Flasche S5 (Luft) ist bei Laufzeit 13 min leer."));
}

// Z of the reference equations of state at 15 °C, as published (tests/data/real_gas_z.tsv).
TEST(RealGas, CompressibilityWithinOnePercentOfThePublishedTables) {
    for (const std::vector<std::string>& row : DataRows("real_gas_z.tsv")) {
        const BreathingGas gas{std::stod(row[0]), std::stod(row[1]), std::stod(row[2])};
        EXPECT_NEAR(Compressibility(gas, std::stod(row[3])) / std::stod(row[4]), 1, 0.01)
            << GasName(gas) << " " << row[3] << " bar";
    }
    // The pressure of a content is the inverse of the content of a pressure, also for trimix.
    const BreathingGas trimix = BreathingGas::FromOxygenHelium(18, 45);
    for (const double bar : {0.01, 1.0, 50.0, 232.0, 350.0}) {  // 0.01 bar: 0.12 l
        EXPECT_NEAR(PressureOfContent(trimix, 12, GasContent(trimix, 12, bar, true), true), bar,
                    1e-6);
    }
    EXPECT_EQ(PressureOfContent(trimix, 12, -5, true), 0);
}

// The stored cylinders and rates (a refused cylinder is dropped and the others move up, a rate
// outside its range loads as the default) are a case of the settings golden file; the gas
// plan's warnings after the planner's, at the end of the messages, are in the calculation's.
TEST(GasPlanSettings, CylinderTexts) {
    for (const std::vector<std::string>& row : DataRows("cylinders.tsv")) {
        const std::optional<Cylinder> cylinder = ParseCylinder(row[0]);
        EXPECT_EQ(cylinder ? CylinderText(*cylinder) : "refused",
                  row[1] == "kept" ? row[0] : row[1]);
    }
}

}  // namespace
}  // namespace marelos
