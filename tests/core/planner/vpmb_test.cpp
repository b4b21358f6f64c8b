#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "core/engine/calculation.h"
#include "core/planner/bubble_model.h"
#include "core/planner/planner.h"
#include "tests/core/engine/outputs_test_support.h"

namespace marelos {
namespace {

constexpr double kAir = 1013.25;  // mbar

PlannerSettings Vpmb(int conservatism, std::vector<DecoGasSetting> gases = {}) {
    PlannerSettings settings;
    settings.enabled = true;
    settings.model = PlannerModel::Vpmb;
    settings.vpmConservatism = conservatism;
    settings.decoGases = std::move(gases);
    return settings;
}

// A square dive as the planner receives it: down at `descent` minutes, on `gas` until `minutes`,
// from surface tissues holding `surfaceN2` bar of nitrogen.
AscentStart SquareDive(double depth, double minutes, double descent, const BreathingGas& gas,
                       double surfaceN2) {
    AscentStart start;
    start.depth = depth;
    start.runTime = minutes;
    start.bottomGas = gas;
    start.divePhase = {{SegmentKind::Travel, 0, depth, descent, descent, gas},
                       {SegmentKind::Stop, depth, depth, minutes - descent, minutes, gas}};
    start.surfaceTissues.pN2.fill(surfaceN2);
    start.tissues = start.surfaceTissues;
    return start;
}

ModelParameters ZhL16C() {
    Settings settings;
    return ModelFromSettings(settings);
}

const DecoGasSetting kEan50{BreathingGas::FromOxygenHelium(50, 0), {}};

// The reference program of the model's author publishes, for conservatism 0, ascent 10 m/min, a
// descent at about 99 m/min, salt water, 1.01325 bar and the last stop at 3 m: 60 m for 30 minutes
// on air, 141:20; with EAN50 from 21 m, 95:20. Its conventions (tissues saturated with air less
// water vapour, air of 79 % nitrogen) must come within 5 % or 4 minutes. The program's own
// conventions (initial tissue nitrogen 0.79 x air pressure, air of 78 % nitrogen and 1 % argon,
// the descent in a whole minute) are recorded beside them: `--gtest_output=json` shows both.
TEST(VpmbAgainstPublishedRunTimes, SixtyMetresOnAirWithAndWithoutEan50) {
    struct Case {
        const char* name;
        std::vector<DecoGasSetting> gases;
        double published;  // min
    };
    const BreathingGas air79{21, 79, 0};
    const BreathingGas programAir = BreathingGas::FromProfileLine(78, 0);
    for (const Case& c :
         {Case{"air", {}, 141 + 20 / 60.0}, Case{"ean50", {kEan50}, 95 + 20 / 60.0}}) {
        SCOPED_TRACE(c.name);
        const Schedule reference =
            PlanAscent(SquareDive(60, 30, 60 / 99.0, air79, (kAir / 1000 - 0.0627) * 0.79),
                       ZhL16C(), Vpmb(0, c.gases), kAir);
        const Schedule program = PlanAscent(SquareDive(60, 30, 1, programAir, 0.79 * kAir / 1000),
                                            ZhL16C(), Vpmb(0, c.gases), kAir);
        ASSERT_TRUE(reference.complete && program.complete);
        EXPECT_EQ(reference.model, "VPM-B +0");
        EXPECT_NEAR(reference.runTime, c.published, std::max(4.0, 0.05 * c.published));
        ::testing::Test::RecordProperty(std::string(c.name) + "_reference_conventions",
                                        std::to_string(reference.runTime));
        ::testing::Test::RecordProperty(std::string(c.name) + "_program_conventions",
                                        std::to_string(program.runTime));
    }
}

// The calculation hands the model the dive phase and the surface tissues; the model loads its
// own tissues without the progressivity's time factor, and the schedule keeps the Bühlmann
// tissues every other view shows.
TEST(VpmbInTheCalculation, PlansFromTheDivePhaseAndLeavesTheBuhlmannTissuesAlone) {
    const auto planned = [](PlannerModel model, int progressivity) {
        Settings settings;
        settings.airPressure = kAir;
        settings.decoMode = progressivity;
        settings.planner = Vpmb(2);
        settings.planner.model = model;
        auto workspace = DrawnDive({{1, 60}, {30, 60}}, settings);
        workspace->model = ModelFromSettings(settings);
        InMemorySettingsStore store;
        ScriptedUi ui;
        const CalculationResult result = mnuCalcSaturation(*workspace, store, ui);
        EXPECT_TRUE(result.completed);
        return *result.schedule;
    };
    const Schedule normal = planned(PlannerModel::Vpmb, 3);
    const Schedule progressive = planned(PlannerModel::Vpmb, 5);
    const Schedule buhlmann = planned(PlannerModel::Buhlmann, 3);
    const Schedule direct =
        PlanAscent(SquareDive(60, 30, 1, BreathingGas::FromProfileLine(78, 0), 0.79 * kAir / 1000),
                   ZhL16C(), Vpmb(2), kAir);
    EXPECT_EQ(normal.model, "VPM-B +2");
    EXPECT_EQ(normal.stops, direct.stops);
    EXPECT_EQ(progressive.stops, normal.stops);
    EXPECT_NE(normal.stops, buhlmann.stops);
    EXPECT_EQ(normal.start.tissues, buhlmann.start.tissues);
}

// Larger nuclei allow less supersaturation: each step of conservatism lengthens the plan, and the
// gas switch shortens it at every step.
TEST(VpmbConservatism, EachStepLengthensThePlan) {
    const AscentStart dive =
        SquareDive(60, 30, 1, BreathingGas::FromProfileLine(78, 0), 0.79 * kAir / 1000);
    double last = 0;
    for (int conservatism = 0; conservatism <= 4; ++conservatism) {
        const Schedule air = PlanAscent(dive, ZhL16C(), Vpmb(conservatism), kAir);
        const Schedule ean50 = PlanAscent(dive, ZhL16C(), Vpmb(conservatism, {kEan50}), kAir);
        ASSERT_TRUE(air.complete && ean50.complete);
        EXPECT_GT(air.runTime, last) << conservatism;
        EXPECT_LT(ean50.runTime, air.runTime) << conservatism;
        last = air.runTime;
    }
}

TEST(VpmbCriticalRadii, HeliumSmallerThanNitrogenAndEnlargedByTheConservatism) {
    using namespace vpmb;
    EXPECT_DOUBLE_EQ(CriticalRadiiAt(0).n2, 0.55);
    EXPECT_DOUBLE_EQ(CriticalRadiiAt(0).he, 0.45);
    EXPECT_DOUBLE_EQ(CriticalRadiiAt(4).n2, 0.55 * 1.35);
    EXPECT_DOUBLE_EQ(CriticalRadiiAt(9).he, CriticalRadiiAt(4).he);
    EXPECT_DOUBLE_EQ(CriticalRadiiAt(-1).he, CriticalRadiiAt(0).he);
    for (int c = 1; c <= 4; ++c) {
        EXPECT_GT(CriticalRadiiAt(c).n2, CriticalRadiiAt(c - 1).n2);
        EXPECT_GT(CriticalRadiiAt(c).he, CriticalRadiiAt(c - 1).he);
        EXPECT_LT(CriticalRadiiAt(c).he, CriticalRadiiAt(c).n2);
    }
    // The smaller helium nuclei allow more supersaturation, crushed or not.
    for (const double crushing : {0.0, 3.0, 8.0}) {
        EXPECT_GT(InitialGradient(kCriticalRadiusHe, crushing),
                  InitialGradient(kCriticalRadiusN2, crushing));
    }
}

// The published constants: 2 gamma (gamma c - gamma) / (gamma c r) with 0.0179 and 0.257 N/m is
// 60 557 Pa at 0.55 µm; crushing shrinks the radius, regeneration undoes it.
TEST(VpmbCrushing, ShrinksTheRadiiUntilTheNucleiRegenerate) {
    using namespace vpmb;
    EXPECT_NEAR(InitialGradient(0.55, 0), 0.60557, 1e-5);
    EXPECT_DOUBLE_EQ(CrushedRadius(0.55, 0), 0.55);
    // A crushing pressure of 2 (gamma c - gamma) / r0 halves the radius.
    EXPECT_NEAR(CrushedRadius(0.55, 2 * (2.57 - 0.179) / 0.55), 0.275, 1e-12);
    EXPECT_NEAR(InitialGradient(0.55, 2 * (2.57 - 0.179) / 0.55), 2 * 0.60557, 1e-4);

    EXPECT_DOUBLE_EQ(RegeneratedCrushingPressure(0.55, 6, 0), 6);
    EXPECT_NEAR(RegeneratedCrushingPressure(0.55, 6, 1e9), 0, 1e-12);
    const double crushed = CrushedRadius(0.55, 6);
    const double regenerated = CrushedRadius(0.55, RegeneratedCrushingPressure(0.55, 6, 20160));
    EXPECT_NEAR(0.55 - regenerated, (0.55 - crushed) / std::exp(1.0), 1e-12);

    // Beyond the onset of impermeability the gas inside resists: the crushing pressure starts at
    // the onset gradient and grows more slowly than the ambient pressure.
    const double onset = 9.5;
    const double tension = onset - kOnsetOfImpermeability;
    EXPECT_NEAR(ImpermeableCrushingPressure(0.55, onset, tension, onset), kOnsetOfImpermeability,
                1e-9);
    double last = kOnsetOfImpermeability;
    for (const double ambient : {10.0, 15.0, 30.0}) {
        const double crushing = ImpermeableCrushingPressure(0.55, onset, tension, ambient);
        EXPECT_GT(crushing, last);
        EXPECT_LT(crushing, ambient - tension);
        last = crushing;
    }
}

// The critical volume algorithm allows more than the initial gradient the shorter the release of
// gas lasts; without crushing it adds lambda gamma / (gamma c t) (lambda 6500 fsw min).
TEST(VpmbAllowedGradient, CriticalVolumeRelaxesTheInitialGradient) {
    using namespace vpmb;
    const double lambda = 6500 / 33.0 * 1.01325;
    EXPECT_NEAR(CriticalVolumeGradient(0.6, 0, 100), 0.6 + lambda * 0.0179 / 0.257 / 100, 1e-12);
    const double initial = InitialGradient(0.55, 6);
    double last = 1e9;
    for (const double minutes : {10.0, 100.0, 1000.0, 1e5}) {
        const double gradient = CriticalVolumeGradient(initial, 6, minutes);
        EXPECT_GT(gradient, initial);
        EXPECT_LT(gradient, last);
        last = gradient;
    }
    EXPECT_NEAR(last, initial, 1e-3);
    EXPECT_TRUE(std::isfinite(CriticalVolumeGradient(initial, 6, 0)));
}

// Boyle's law: the bubble that allows `gradient` at the first stop keeps its gas,
// (ambient + 2 gamma / r) r^3, and allows less the shallower it is.
TEST(VpmbBoyleCompensation, TheGrownBubbleKeepsItsGasAndAllowsLess) {
    using namespace vpmb;
    const double first = 4.6;
    EXPECT_DOUBLE_EQ(BoyleCompensatedGradient(1.1, first, first), 1.1);
    double last = 1.1;
    for (const double next : {4.3, 2.5, 1.32, 0.7}) {
        const double compensated = BoyleCompensatedGradient(1.1, first, next);
        EXPECT_LT(compensated, last);
        const double r1 = 2 * kSurfaceTension / 1.1;
        const double r2 = 2 * kSurfaceTension / compensated;
        EXPECT_NEAR((next + compensated) * r2 * r2 * r2, (first + 1.1) * r1 * r1 * r1, 1e-12);
        last = compensated;
    }
}

// A heliox or trimix dive's helium leaves fast: its surface phase ends where the nitrogen still
// taken up cancels it; nitrogen alone leaves with its time constant.
TEST(VpmbSurfacePhase, EndsWhereTheSupersaturationDoes) {
    using namespace vpmb;
    EXPECT_DOUBLE_EQ(SurfacePhaseVolumeTime(1.2, 0, 0.75, 0.1, 0.3), 10);
    EXPECT_EQ(SurfacePhaseVolumeTime(0.7, 0, 0.75, 0.1, 0.3), 0);
    const double pN2 = 0.5;
    const double pHe = 0.4;
    const double time = SurfacePhaseVolumeTime(pN2, pHe, 0.75, 0.1, 0.3);
    // The same integral by the midpoint rule, up to where the supersaturation vanishes.
    double integral = 0;
    for (double t = 0.0005;; t += 0.001) {
        const double gradient = pHe * std::exp(-0.3 * t) + (pN2 - 0.75) * std::exp(-0.1 * t);
        if (gradient <= 0) break;
        integral += gradient * 0.001;
    }
    EXPECT_NEAR(time, integral / (pN2 + pHe - 0.75), 1e-4);
}

// A plan the ascent cannot finish (hours on end at 200 m on air) says why instead of stopping.
TEST(VpmbIncomplete, SaysWhy) {
    const Schedule plan = PlanAscent(SquareDive(200, 3000, 10, BreathingGas{21, 79, 0}, 0.75),
                                     ZhL16C(), Vpmb(2), kAir);
    EXPECT_FALSE(plan.complete);
    EXPECT_THAT(plan.reason, ::testing::HasSubstr("ließ sich nicht planen"));
    EXPECT_EQ(plan.model, "VPM-B +2");
}

}  // namespace
}  // namespace marelos
