#include "core/planner/planner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <sstream>
#include <tuple>

#include "core/engine/calculation.h"
#include "core/graphics/graph_layout.h"
#include "core/planner/ascent_walk.h"
#include "core/planner/bubble_model.h"
#include "core/planner/contingency.h"
#include "core/planner/dive_slate.h"
#include "core/planner/gas_plan.h"
#include "core/planner/gas_warnings.h"
#include "core/planner/real_gas.h"
#include "core/planner/runtime_table.h"
#include "core/profile/gas_mix.h"
#include "core/settings/memory_settings_store.h"
#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

const BreathingGas kAirGas = BreathingGas::FromProfileLine(78, 0);  // 21 % O2, as drawn
const BreathingGas kEan50 = BreathingGas::FromOxygenHelium(50, 0);
const BreathingGas kOxygen = BreathingGas::FromOxygenHelium(100, 0);
const BreathingGas kTrimix = BreathingGas::FromOxygenHelium(18, 45);
const DecoGasSetting kDecoEan50{kEan50, {}};
const DecoGasSetting kDecoOxygen{kOxygen, {}};

// ZH-L16C without progressivity, GF 40/85, salt water, 1013.25 mbar, 10 m/min, switches of a
// minute, last stop 3 m: the conventions of the published plans below.
Settings PlannerConventions() {
    Settings settings;
    settings.airPressure = 1013.25;
    settings.decoMode = 5;
    settings.planner.enabled = true;
    settings.planner.gfLow = 40;
    settings.planner.gfHigh = 85;
    return settings;
}

// A dive drawn as corners on one gas and calculated with the planner.
struct PlannedDive {
    explicit PlannedDive(const std::vector<std::pair<int, int>>& corners,
                         Settings settings = PlannerConventions(), PointGas gas = {78, 0}) {
        workspace = DrawnDive(corners, settings, gas);
        workspace->model = ModelFromSettings(settings);
        result = mnuCalcSaturation(*workspace, store, ui);
    }
    const Schedule& schedule() const { return *result.schedule; }
    // The tissues at the end of the ascent's segment `last` (all before it replayed).
    TissueState TissuesAfter(std::size_t last) const {
        const SegmentLoader loader(workspace->model, workspace->settings.airPressure,
                                   workspace->settings.planner.Water());
        TissueState tissues = schedule().start.tissues;
        for (std::size_t i = 0; i <= last; ++i) {
            const ScheduleSegment& s = schedule().segments[i];
            loader.Linear(tissues, s.fromDepth, s.toDepth, s.minutes, s.gas);
        }
        return tissues;
    }

    InMemorySettingsStore store;
    ScriptedUi ui;
    std::unique_ptr<Workspace> workspace;
    CalculationResult result;
};

// The dives of tests/data/planner_dives.tsv: each one's run-time table (stops, switches, gases,
// run times, warnings) and figures noted whole, and the run times another planner publishes met.
TEST(PlannerDives, RunTimeTablesAgainstTheirTranscript) {
    Transcript t;
    const auto gasOf = [](const std::string& text) {  // "N2/He" or "O2/He"
        const std::size_t slash = text.find('/');
        return std::pair{std::stod(text.substr(0, slash)), std::stod(text.substr(slash + 1))};
    };
    for (const std::vector<std::string>& row : DataRows("planner_dives.tsv")) {
        Settings settings = PlannerConventions();
        std::istringstream words(row.size() > 3 ? row[3] : "");
        for (std::string word; words >> word;) {
            const std::string value = word.substr(word.find('=') + 1);
            PlannerSettings& planner = settings.planner;
            if (word.starts_with("gf=")) std::tie(planner.gfLow, planner.gfHigh) = gasOf(value);
            if (word.starts_with("safety=")) planner.safetyStopMinutes = std::stod(value);
            if (word.starts_with("last=")) planner.lastStop = std::stoi(value);
            planner.freshWater |= word == "fresh";
            std::istringstream gases(word.starts_with("deco=") ? value : "");
            for (std::string gas; std::getline(gases, gas, ',');)
                planner.decoGases.push_back(ParseDecoGas(gas).value());
        }
        const auto [n2, he] = gasOf(row.at(2));
        const PlannedDive dive(CornersOf(row.at(1)), settings, {static_cast<int>(n2), he});
        const Schedule& plan = dive.schedule();
        std::vector<double> switches;
        for (const GasSwitch& change : plan.switches)
            switches.push_back(change.depth);
        t.Note(row[0], plan.complete, plan.runTime, plan.StopMinutes(), plan.FirstStopDepth(),
               switches, dive.workspace->computed.records[30].toleratedPressure);
        t.Note("  table", RuntimeTableLines(plan, settings.planner, 1013.25, "."));
        EXPECT_TRUE(row.size() < 5 || std::abs(plan.runTime - std::stod(row[4])) <= 3) << row[0];
    }
    // Fresh water presses less per metre: the maximum operating depths lie deeper.
    for (const double o2 : {35.0, 50.0, 100.0}) {
        const BreathingGas gas = BreathingGas::FromOxygenHelium(o2, o2 == 35 ? 25 : 0);
        t.Note("MOD and switch depth at 1.6 bar, salt and fresh water: " + GasName(gas),
               DepthAtPpO2(gas, 1.6, 1013.25, kSaltWater),
               DefaultSwitchDepth(gas, 1.6, 1013.25, kSaltWater),
               DepthAtPpO2(gas, 1.6, 1013.25, kFreshWater),
               DefaultSwitchDepth(gas, 1.6, 1013.25, kFreshWater));
    }
}

// At GF 100 the ceiling is the model's tolerated pressure to the last bit, on any tissues.
TEST(GradientFactors, AtOneHundredTheToleratedPressureAndEveryStopEndsWhenTheNextGfAllows) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> pressure(0, 12);
    for (int model = 1; model <= 4; ++model) {
        ModelParameters parameters;
        LoadHalfTimes(parameters, model);
        LoadCoefficients(parameters, model);
        for (int trial = 0; trial < 250; ++trial) {
            parameters.firstCompartment = static_cast<std::int16_t>(trial % 2);
            TissueState tissues;
            for (int c = 0; c <= kLastCompartment; ++c) {
                tissues.pN2[c] = pressure(random);
                tissues.pHe[c] = trial % 3 == 0 ? 0 : pressure(random);
                tissues.pTotal[c] = tissues.pN2[c] + tissues.pHe[c];
            }
            const double tolerated = ToleratedAmbientPressure(tissues, parameters);
            EXPECT_EQ(ToleratedPressureAtGf(tissues, parameters, 1.0), tolerated);
            EXPECT_GE(ToleratedPressureAtGf(tissues, parameters, 0.3), tolerated);
        }
    }
    // GF low holds at the first stop and GF high at the surface, linear in between: each stop ends
    // at the first whole minute after which the ceiling at the next stop's gradient factor allows
    // the next stop, and a minute earlier it did not.
    Settings settings = PlannerConventions();
    settings.planner.gfLow = 20;
    settings.planner.gfHigh = 70;
    const PlannedDive dive({{2, 45}, {30, 45}}, settings);
    const Schedule& plan = dive.schedule();
    const double first = plan.FirstStopDepth();
    ASSERT_GT(plan.stops.size(), 3u);
    const auto ambient = [&](double depth) { return AmbientPressure(depth, 1013.25); };
    for (std::size_t i = 0; i < plan.segments.size(); ++i) {
        const ScheduleSegment& stop = plan.segments[i];
        if (stop.kind != SegmentKind::Stop ||
            (i + 1 < plan.segments.size() && plan.segments[i + 1].kind == SegmentKind::Stop)) {
            continue;  // the last minute of each stop
        }
        const double next = std::max(stop.toDepth - 3, 0.0);
        const double gf = (70 + (20 - 70) * next / first) / 100;
        EXPECT_LE(ToleratedPressureAtGf(dive.TissuesAfter(i), dive.workspace->model, gf),
                  ambient(next))
            << "leaving " << stop.toDepth << " m";
        EXPECT_GT(ToleratedPressureAtGf(dive.TissuesAfter(i - 1), dive.workspace->model, gf),
                  ambient(next))
            << "a minute earlier at " << stop.toDepth << " m";
    }
}

// The contingency plans under Bühlmann and VPM-B, on dives that include one whose Bühlmann
// model alone gives a shorter lost-gas plan (the travel gas 21/35 from 66 m of a 75 m dive on
// 18/45 costs its switch's minutes, which its loss saves): every stop of a lost-gas plan and of the
// deeper plan lasts at least as long as the plan's at that depth, every stop of the worst case at
// least as long as the deeper plan's and the costliest lost-gas plan's; so none is shorter than the
// plan, the worst case is the longest, and a plan held longer than its model asked says so.
TEST(Contingency, NoPlanIsShorterTheWorstCaseIsTheLongestAndEmptyCylindersAreMarked) {
    const DecoGasSetting travel{BreathingGas::FromOxygenHelium(21, 35), 66.0};
    using Dive =
        std::tuple<std::vector<std::pair<int, int>>, PointGas, std::vector<DecoGasSetting>>;
    const std::vector<Dive> dives = {
        {{{2, 45}, {30, 45}}, {78, 0}, {kDecoEan50, kDecoOxygen}},
        {{{3, 60}, {20, 60}}, {44, 35}, {kDecoEan50, kDecoOxygen}},
        {{{4, 75}, {14, 75}}, {36, 45}, {travel, kDecoEan50, kDecoOxygen}}};
    // Each stop of `longer` at least as long as `shorter`'s at its depth.
    const auto holdsEachStop = [&](const ContingencyPlan& longer, const ContingencyPlan& shorter) {
        std::map<double, int> held;
        for (const ScheduleStop& stop : longer.schedule.stops)
            held[stop.depth] = stop.minutes;
        for (const ScheduleStop& stop : shorter.schedule.stops)
            EXPECT_GE(held[stop.depth], stop.minutes)
                << longer.name << " at " << stop.depth << " m";
    };
    for (const PlannerModel model : {PlannerModel::Buhlmann, PlannerModel::Vpmb}) {
        for (const auto& [corners, bottomGas, decoGases] : dives) {
            Settings settings = PlannerConventions();
            settings.planner.model = model;
            settings.planner.decoGases = decoGases;
            const PlannedDive planned(corners, settings, bottomGas);
            const Workspace* workspace = planned.workspace.get();
            const std::vector<ContingencyPlan> plans = ContingencyPlans(
                workspace->profile, planned.schedule(), workspace->model, settings);
            ASSERT_EQ(plans.size(), 3 + decoGases.size());
            const ContingencyPlan& worst = plans.back();
            for (const ContingencyPlan& plan : plans) {
                ASSERT_TRUE(plan.schedule.complete) << plan.name;
                EXPECT_GE(plan.schedule.runTime, plans[0].schedule.runTime) << plan.name;
                EXPECT_LE(plan.schedule.runTime, worst.schedule.runTime) << plan.name;
            }
            for (std::size_t i = 1; i + 1 < plans.size(); ++i)
                holdsEachStop(plans[i], plans[0]);
            holdsEachStop(worst, plans[1]);
            const std::size_t gas = worst.name.find(", ohne ") + 7;
            const std::string lost = "Ohne " + worst.name.substr(gas, worst.name.size() - gas - 1);
            const auto costliest = std::ranges::find(plans, lost, &ContingencyPlan::name);
            ASSERT_NE(costliest, plans.end()) << worst.name;
            holdsEachStop(worst, *costliest);
            if (model == PlannerModel::Buhlmann && decoGases.size() == 3) {
                PlannerSettings without = settings.planner;
                without.decoGases.erase(without.decoGases.begin());
                const Schedule alone =
                    PlanAscent(plans[0].schedule.start, workspace->model, without, 1013.25);
                EXPECT_LT(alone.runTime, plans[0].schedule.runTime);
                EXPECT_EQ(plans[2].note, "Stopps mindestens so lang wie im Plan");
            }
        }
    }
    // A contingency plan in which a cylinder runs empty is marked, and says which and when (a stage
    // of a litre of EAN50 at 100 bar empties in every plan that breathes EAN50). The deeper profile
    // deepens every line below the surface and lengthens the last one at the greatest depth.
    Settings settings = PlannerConventions();
    settings.planner.decoGases = {kDecoEan50, kDecoOxygen};
    settings.gasPlan.cylinders = {
        {"D50", 50, 300, kAirGas}, {"S1", 1, 100, kEan50}, {"O50", 50, 300, kOxygen}};
    const PlannedDive dive({{2, 45}, {30, 45}}, settings);
    const std::vector<ContingencyPlan> plans =
        ContingencyPlans(dive.workspace->profile, dive.schedule(), dive.workspace->model, settings);
    Transcript t;
    for (const ContingencyPlan& plan : plans) {
        ASSERT_TRUE(plan.gas) << plan.name;
        t.Note(plan.name, plan.marked, plan.gas->cylinders[1].emptyAt, plan.markReason);
        t.Note("  warnings", plan.Warnings());
    }
    // A plan that was not calculated whole gives no contingency plan, the worst case included.
    Schedule incomplete = dive.schedule();
    incomplete.complete = false;
    for (const ContingencyPlan& plan :
         ContingencyPlans(dive.workspace->profile, incomplete, dive.workspace->model, settings))
        t.Note("ohne Plan: " + plan.name, plan.schedule.complete, plan.gas.has_value(),
               plan.schedule.reason);
    DiveProfile profile;
    profile.lines[1] = {30, 2, 2, 78, 0};
    profile.lines[2] = {30, 20, 22, 78, 0};
    profile.lines[3] = {12, 3, 25, 78, 0};
    profile.lines[4] = {0, 2, 27, 78, 0};
    profile.nextPoint = 5;
    const std::vector<ProfileLine> deeper = DeeperAndLongerLines(profile, 3, 4);
    for (int i = 1; i <= 4; ++i) {
        const ProfileLine& line = deeper[static_cast<std::size_t>(i)];
        t.Note("deeper line " + std::to_string(i), line.depth, line.tDelta, line.tTotal,
               line.n2Percent, line.hePercent);
    }
}

// Each limit of the gas warnings from both sides, in tests/data/planner_gas_problems.tsv: the
// gas (O2/He, or air with its argon, whose oxygen is narcotic), the depth, the phase, and the
// problems at 1000 mbar.
TEST(PlannerWarnings, EachLimitFromBothSidesAndTheRefusedOptions) {
    const PlannerSettings limits;
    for (const std::vector<std::string>& row : DataRows("planner_gas_problems.tsv")) {
        const std::size_t slash = row[0].find('/');
        const BreathingGas gas =
            row[0] == "air" ? kAirGas
                            : BreathingGas::FromOxygenHelium(std::stod(row[0].substr(0, slash)),
                                                             std::stod(row[0].substr(slash + 1)));
        const DivePhase phase = row[2] == "bottom" ? DivePhase::Bottom : DivePhase::Ascent;
        std::string texts;
        for (const GasProblem& problem :
             GasProblemsAt(gas, std::stod(row[1]), phase, limits, 1000, "."))
            texts += (texts.empty() ? "" : " | ") + problem.text;
        EXPECT_EQ(texts, row.size() > 3 ? row[3] : "") << row[0] << " at " << row[1] << " m";
    }
    // Isobaric counterdiffusion: N2 up by more than a fifth of the He drop warns, not by less.
    Transcript t;
    for (const auto& [o2, he, next, why] :
         {std::tuple{18.0, 45.0, 50.0, "N2 +13 against He -45 / 5 = 9"},
          {21.0, 35.0, 50.0, "N2 +6 against He -35 / 5 = 7"},
          {12.5, 62.5, 62.5, "N2 +12.5 against He -62.5 / 5 = 12.5: not more"}}) {
        Schedule plan;
        plan.start.bottomGas = BreathingGas::FromOxygenHelium(o2, he);
        plan.segments = {
            {SegmentKind::Travel, 30, 21, 0.9, 0, plan.start.bottomGas},
            {SegmentKind::Switch, 21, 21, 1, 0, BreathingGas::FromOxygenHelium(next, 0)}};
        t.Note(why, PlannerGasWarnings(plan, limits, 1000, "."));
    }
    // What the options tab refuses beyond single numbers.
    PlannerFields fields = PlannerFieldsFrom(PlannerSettings{});
    EXPECT_FALSE(CheckPlannerFields(fields, 1013));
    const auto field = [&](PlannerFields changed) {
        const auto problem = CheckPlannerFields(changed, 1013);
        return problem ? problem->field : std::string();
    };
    PlannerFields changed = fields;
    changed.gfLow = "90";
    EXPECT_EQ(field(changed), "txtGFLow");
    for (const std::vector<std::string>& row : DataRows("planner_deco_gases.tsv")) {
        changed = fields;
        changed.decoGases[2] = row[0];
        EXPECT_EQ(field(changed), row[1] == "refused" ? "txtDecoGas3" : "") << row[0];
    }
}

constexpr double kAir = 1013.25;  // mbar

PlannerSettings Vpmb(int conservatism, std::vector<DecoGasSetting> gases = {}) {
    return {.enabled = true,
            .model = PlannerModel::Vpmb,
            .decoGases = std::move(gases),
            .vpmConservatism = conservatism};
}

// A square dive as the planner receives it: down in `descent` minutes, on `gas` until `minutes`,
// from surface tissues holding `surfaceN2` bar of nitrogen.
AscentStart SquareDive(double depth, double minutes, double descent, const BreathingGas& gas,
                       double surfaceN2) {
    AscentStart start{{}, depth, minutes, gas, {}, {}};
    start.divePhase = {{SegmentKind::Travel, 0, depth, descent, descent, gas},
                       {SegmentKind::Stop, depth, depth, minutes - descent, minutes, gas}};
    start.surfaceTissues.pN2.fill(surfaceN2);
    return start;
}

// 60 m for 30 minutes on air as the program draws it: 78 % N2 and 1 % argon, down in a minute,
// the tissues starting at 0.79 x air pressure.
const AscentStart kSixtyMetresThirtyMinutes = SquareDive(60, 30, 1, kAirGas, 0.79 * kAir / 1000);

Schedule Plan(const AscentStart& start, const PlannerSettings& settings) {
    return PlanAscent(start, ModelFromSettings({}), settings, kAir);
}

// The reference program of the model's author publishes for conservatism 0 (ascent 10 m/min,
// descent about 99 m/min, salt water, 1.01325 bar, last stop 3 m): 60 m for 30 min on air 141:20,
// with EAN50 from 21 m 95:20. With its conventions (tissues saturated with air less water vapour,
// air of 79 % N2) the model must come within 5 % or 4 min. The program's (initial N2 0.79 x air
// pressure, air of 78 % N2 and 1 % argon) put the ceiling where the decompression zone begins at
// 32.8 m instead of 33.6 m: the first stop at 33 m, not 36 m. Each step of conservatism
// lengthens the plan of a trimix dive (larger nuclei allow less supersaturation). Shallow dives
// need no stop (at 1 m the tissues never exceed the ambient pressure, at 18 m the model allows
// it); a plan the ascent cannot finish (hours at 200 m on air) says why. All pinned in
// tests/data/transcripts/VpmbPlans/PublishedConservatismAndExtremes.txt.
TEST(VpmbPlans, PublishedConservatismAndExtremes) {
    Transcript t;
    const auto note = [&](const std::string& label, const Schedule& plan) {
        t.Note(label, plan.model, plan.complete, plan.runTime, plan.reason);
        if (plan.complete) t.Note("  table", RuntimeTableLines(plan, {}, kAir, "."));
    };
    for (const auto& [gases, published] :
         {std::pair{std::vector<DecoGasSetting>{}, 141 + 20 / 60.0},
          {{kDecoEan50}, 95 + 20 / 60.0}}) {
        const Schedule reference =
            Plan(SquareDive(60, 30, 60 / 99.0, {21, 79, 0}, (kAir / 1000 - 0.0627) * 0.79),
                 Vpmb(0, gases));
        EXPECT_NEAR(reference.runTime, published, std::max(4.0, 0.05 * published));
        note("60 m, reference conventions", reference);
        note("60 m, program conventions", Plan(kSixtyMetresThirtyMinutes, Vpmb(0, gases)));
    }
    const BreathingGas trimix = BreathingGas::FromProfileLine(36, 45);
    for (int c = 0; c <= 4; ++c) {
        t.Note(
            "75 m trimix +" + std::to_string(c),
            Plan(SquareDive(75, 20, 4, trimix, 0.8), Vpmb(c, {kDecoEan50, kDecoOxygen})).runTime);
    }
    const BreathingGas air{21, 79, 0};
    note("1 m", Plan(SquareDive(1, 60, 1, air, 0.75), Vpmb(4)));
    note("18 m", Plan(SquareDive(18, 20, 1, air, 0.75), Vpmb(2)));
    note("200 m", Plan(SquareDive(200, 3000, 10, air, 0.75), Vpmb(2)));
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
        const PlannedDive dive({{1, 60}, {30, 60}}, settings);
        EXPECT_TRUE(dive.result.completed);
        return dive.schedule();
    };
    const Schedule normal = planned(PlannerModel::Vpmb, 3);
    const Schedule progressive = planned(PlannerModel::Vpmb, 5);
    const Schedule buhlmann = planned(PlannerModel::Buhlmann, 3);
    EXPECT_EQ(normal.model, "VPM-B +2");
    EXPECT_EQ(normal.stops, Plan(kSixtyMetresThirtyMinutes, Vpmb(2)).stops);
    EXPECT_NE(progressive.start.tissues, normal.start.tissues);
    EXPECT_EQ(progressive.stops, normal.stops);
    EXPECT_NE(normal.stops, buhlmann.stops);
    EXPECT_EQ(normal.start.tissues, buhlmann.start.tissues);
}

// The bubble model's parts: nuclei smaller for helium, larger with conservatism, crushed smaller
// and regenerated; the allowed gradients; Boyle's law; the surface phase.
TEST(VpmbBubbles, NucleiGradientsBoyleAndTheSurfacePhase) {
    using namespace vpmb;
    Transcript t;  // 0.55 and 0.45 µm, times 1.12 at +2, 1.35 at +4 and beyond
    for (const int c : {0, 2, 4, 9})
        t.Note("critical radii N2/He at +" + std::to_string(c), CriticalRadiiAt(c).n2,
               CriticalRadiiAt(c).he);
    // 2 gamma (gamma c - gamma) / (gamma c r): 60 557 Pa at 0.55 µm with 0.0179 and 0.257 N/m; a
    // crushing pressure of 2 (gamma c - gamma) / r0 halves the radius and so doubles it.
    EXPECT_NEAR(InitialGradient(0.55, 0), 0.60557, 1e-5);
    EXPECT_NEAR(InitialGradient(0.55, 2 * (2.57 - 0.179) / 0.55), 2 * 0.60557, 1e-4);
    EXPECT_GT(InitialGradient(kCriticalRadiusHe, 3), InitialGradient(kCriticalRadiusN2, 3));
    // The crushed radius grows back with the time constant of 14 days.
    const double regenerated = CrushedRadius(0.55, RegeneratedCrushingPressure(0.55, 6, 20160));
    EXPECT_NEAR(0.55 - regenerated, (0.55 - CrushedRadius(0.55, 6)) / std::exp(1.0), 1e-12);
    // Beyond the onset of impermeability the gas inside resists: the crushing pressure starts at
    // the onset gradient and grows more slowly than the ambient pressure.
    const double onset = 9.5;
    const double tension = onset - kOnsetOfImpermeability;
    double last = ImpermeableCrushingPressure(0.55, onset, tension, onset);
    EXPECT_NEAR(last, kOnsetOfImpermeability, 1e-9);
    for (const double ambient : {10.0, 15.0, 30.0}) {
        const double crushing = ImpermeableCrushingPressure(0.55, onset, tension, ambient);
        EXPECT_GT(crushing, last);
        EXPECT_LT(crushing, ambient - tension);
        last = crushing;
    }
    // The critical volume gradient G solves G (G - G0) = x (G - gamma P / gamma c) with
    // x = lambda gamma / (gamma c t) (lambda 6500 fsw min); it tends to G0 as t grows.
    const double ratio = 0.0179 / 0.257;
    const double initial = InitialGradient(0.55, 6);
    last = 1e9;
    for (const double minutes : {10.0, 100.0, 1000.0}) {
        const double g = CriticalVolumeGradient(initial, 6, minutes);
        const double x = 6500 / 33.0 * 1.01325 * ratio / minutes;
        EXPECT_NEAR(g * (g - initial), x * (g - ratio * 6), 1e-12);
        EXPECT_GT(g, initial);
        EXPECT_LT(g, last);
        last = g;
    }
    EXPECT_NEAR(CriticalVolumeGradient(initial, 6, 1e7), initial, 1e-5);
    // Boyle's law: the bubble that allows `gradient` at the first stop keeps its gas,
    // (ambient + 2 gamma / r) r^3, and allows less the shallower it is.
    const double first = 4.6;
    EXPECT_DOUBLE_EQ(BoyleCompensatedGradient(1.1, first, first), 1.1);
    const double r1 = 2 * kSurfaceTension / 1.1;
    last = 1.1;
    for (const double next : {4.3, 2.5, 1.32, 0.7}) {
        const double compensated = BoyleCompensatedGradient(1.1, first, next);
        const double r2 = 2 * kSurfaceTension / compensated;
        EXPECT_NEAR((next + compensated) * r2 * r2 * r2, (first + 1.1) * r1 * r1 * r1, 1e-12);
        EXPECT_LT(compensated, last);
        last = compensated;
    }
    // On surfacing, nitrogen alone leaves with its time constant; with helium, which leaves faster,
    // the supersaturation ends where the nitrogen still taken up cancels it (midpoint rule).
    EXPECT_DOUBLE_EQ(SurfacePhaseVolumeTime(1.2, 0, 0.75, 0.1, 0.3), 10);
    EXPECT_EQ(SurfacePhaseVolumeTime(0.7, 0, 0.75, 0.1, 0.3), 0);
    double integral = 0;
    for (double t = 0.0005;; t += 0.001) {
        const double gradient = 0.4 * std::exp(-0.3 * t) - 0.25 * std::exp(-0.1 * t);
        if (gradient <= 0) break;
        integral += gradient * 0.001;
    }
    EXPECT_NEAR(SurfacePhaseVolumeTime(0.5, 0.4, 0.75, 0.1, 0.3), integral / 0.15, 1e-4);
}

// Segments "KIND FROM TO MINUTES GAS; ..." (T travel, S stop, W switch; "air" or O2/He).
std::vector<ScheduleSegment> Segments(std::string text) {
    std::replace(text.begin(), text.end(), ';', ' ');
    std::istringstream in(text);
    std::vector<ScheduleSegment> segments;
    std::string kind, gas;
    for (double from, to, minutes; in >> kind >> from >> to >> minutes >> gas;) {
        const std::size_t slash = gas.find('/');
        segments.push_back({kind == "T"   ? SegmentKind::Travel
                            : kind == "S" ? SegmentKind::Stop
                                          : SegmentKind::Switch,
                            from, to, minutes, 0,
                            gas == "air" ? kAirGas
                                         : BreathingGas::FromOxygenHelium(
                                               std::stod(gas), std::stod(gas.substr(slash + 1)))});
    }
    return segments;
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

// The dives of tests/data/gas_plan_dives.tsv, whose figures are worked out by hand there: each
// gas plan (every cylinder's litres and pressures, the minimum gas, the turn and the warnings),
// and the run-time table with the turn.
TEST(GasPlan, DivesIntegratedByHand) {
    Transcript t;
    for (const std::vector<std::string>& row : DataRows("gas_plan_dives.tsv")) {
        Schedule dive = Planned(Segments(row.at(1)), Segments(row.at(2)));
        GasPlanSettings settings;
        std::istringstream cylinders(row.at(3));
        for (std::string text; cylinders >> text;)
            settings.cylinders.push_back(ParseCylinder(text).value());
        settings.sacDeco = std::stod(row.at(4));
        settings.realGas = row.at(5) == "real";
        const GasPlan plan = PlanGas(dive, settings, PlannerSettings{}, kAir, ",");
        for (const CylinderUse& use : plan.cylinders) {
            const CylinderPressures& p = use.pressures;
            t.Note(row[0] + " " + use.cylinder.name + " l used/missing/reserve", use.usedLitres,
                   use.missingLitres, use.reserveLitres);
            t.Note("  bar used/end/reserve/turn, ideal end", p.used, p.end, p.reserve, p.turn,
                   use.ideal.end);
            t.Note("  empty at, below reserve, bottom", use.emptyAt, use.belowReserve, use.bottom);
        }
        t.Note(row[0] + " minimum gas l", plan.minimumGasLitres);
        if (plan.turn)
            t.Note("  turn min/m/bar", plan.turn->runTime, plan.turn->depth, plan.turn->bar);
        t.Note("  warnings", plan.warnings);
        dive.model = "ZH-L16C GF 30/85";
        t.Note("  run-time table",
               RuntimeTableLines(dive, PlannerSettings{}, kAir, ",", plan.turn));
    }
}

// Z of the reference equations of state at 15 °C, as published (tests/data/real_gas_z.tsv).
TEST(RealGas, CompressibilityWithinOnePercentOfThePublishedTablesAndCylinderTexts) {
    for (const std::vector<std::string>& row : DataRows("real_gas_z.tsv")) {
        const BreathingGas gas{std::stod(row[0]), std::stod(row[1]), std::stod(row[2])};
        EXPECT_NEAR(Compressibility(gas, std::stod(row[3])) / std::stod(row[4]), 1, 0.01)
            << GasName(gas) << " " << row[3] << " bar";
    }
    // The pressure of a content is the inverse of the content of a pressure, also for trimix.
    for (const double bar : {0.01, 1.0, 50.0, 232.0, 350.0}) {  // 0.01 bar: 0.12 l
        EXPECT_NEAR(PressureOfContent(kTrimix, 12, GasContent(kTrimix, 12, bar, true), true), bar,
                    1e-6);
    }
    EXPECT_EQ(PressureOfContent(kTrimix, 12, -5, true), 0);
    // The stored cylinders and rates (a refused cylinder is dropped and the others move up, a rate
    // outside its range loads as the default) are a case of the settings golden file; the gas
    // plan's warnings after the planner's, at the end of the messages, are in the calculation's.
    for (const std::vector<std::string>& row : DataRows("cylinders.tsv")) {
        const std::optional<Cylinder> cylinder = ParseCylinder(row[0]);
        EXPECT_EQ(cylinder ? CylinderText(*cylinder) : "refused",
                  row[1] == "kept" ? row[0] : row[1]);
    }
}

// A plan drawn by hand: where its ascent starts, its stops (depth, run time, gas, switch) and
// its run time.
ContingencyPlan Plan(std::string name, double depth, double startRunTime,
                     std::vector<ScheduleStop> stops, double runTime) {
    ContingencyPlan plan{std::move(name), {}, {}, false, {}, {}};
    plan.schedule.model = "ZH-L16C GF 30/85";
    plan.schedule.start.depth = depth;
    plan.schedule.start.runTime = startRunTime;
    plan.schedule.start.bottomGas = kTrimix;
    plan.schedule.stops = std::move(stops);
    plan.schedule.runTime = runTime;
    plan.schedule.complete = true;
    return plan;
}

ScheduleStop Stop(double depth, double endRunTime, const BreathingGas& gas,
                  bool gasSwitch = false) {
    return {depth, 1, endRunTime, gas, gasSwitch};
}

// A gas plan of one cylinder of trimix and one of EAN50, left with `ean50Left` bar, empty or
// below its reserve of 60 bar.
GasPlan Cylinders(double ean50Left, bool empty, bool belowReserve) {
    GasPlan gas;
    CylinderUse bottom{{"D24", 24, 232, kTrimix}, 3000, 0, 1500, {}, {}, {}, false, true};
    bottom.pressures = {130, 102, 70, 180};
    CylinderUse stage{{"S80", 11.1, 207, kEan50}, 900, 0, 600, {}, {}, {}, belowReserve, false};
    stage.pressures = {207 - ean50Left, ean50Left, 60, {}};
    if (empty) stage.emptyAt = 44;
    gas.cylinders = {bottom, stage};
    return gas;
}

std::vector<ContingencyPlan> FourPlans() {
    std::vector<ContingencyPlan> plans = {
        Plan("Plan", 60, 25, {Stop(21, 31, kEan50, true), Stop(6, 45, kOxygen, true)}, 50.5),
        Plan("Tiefer und länger (+3 m, +3 min)", 63, 28,
             {Stop(24, 30.5, kTrimix), Stop(21, 35, kEan50, true), Stop(6, 52, kOxygen, true)}, 60),
        Plan("Ohne EAN50", 60, 25, {Stop(21, 32, kTrimix), Stop(6, 48, kOxygen, true)}, 55),
        Plan("Ohne O2", 60, 25, {}, 0)};
    plans[3].schedule.complete = false;
    plans[3].schedule.reason = "Der Aufstieg endet nicht.";
    plans[0].gas = Cylinders(112, false, false);
    plans[1].gas = Cylinders(45, false, true);
    plans[2].gas = Cylinders(0, true, false);
    plans[1].marked = plans[2].marked = true;
    plans[2].note = "Stopps mindestens so lang wie im Plan";
    return plans;
}

// The rows are every depth any plan stops at; a cell names what differs from its row (the depth
// where the ascent starts, the gas: kept at 21 m, O2 again at 6 m), a plan without a stop there
// or not calculated has none (–), and the gas rows tell what is left, empty and below the
// reserve in words.
TEST(ContingencyTable, RowsCellsMarksAndGas) {
    Transcript t;
    const ContingencyTable table = ContingencyTableOf(FourPlans(), ",");
    t.Note("heads", table.heads);
    for (const ContingencyRow& row : table.rows)
        t.Note(row.label, row.gas, row.gasSwitch, row.cells);
    for (const ContingencyRow& row : table.gasRows)
        t.Note(row.label, row.cells);
    t.Note("notes", table.notes).Note("text", table.TextLines());
}

// The page: every cell of the table in black at 12 pt or more within the page, the marked plans
// framed in heavy lines, each warning once with the plans it concerns; the warnings made smaller
// (not below 9 pt) rather than left off, and a page that cannot hold them all says so on its
// last line instead of running off it.
TEST(DiveSlate, DrawsEveryCellReadablyWithinThePage) {
    std::vector<ContingencyPlan> plans = FourPlans();
    plans[0].schedule.warnings = {"Warnung: ppO2 1,5 bar"};
    plans[2].schedule.warnings = {"Warnung: ppO2 1,5 bar", "Warnung: END 35 m"};
    Settings settings;
    settings.decimalSeparator = ",";
    settings.planner.decoGases = {kDecoEan50, kDecoOxygen};
    DiveSlate slate = DiveSlateOf("/home/taucher/trimix-60m.mrp", plans, settings);
    Transcript t;
    t.Note("title", slate.title).Note("facts", slate.facts).Note("warnings", slate.warnings);

    // Where and how each text and line is drawn: every cell in black at 12 pt or more within the
    // page, the marked plans 2 and 3 between heavy verticals; with 35 long warnings the same page
    // in smaller type, with 200 one that says on its last line what it could not hold.
    RecordingCanvas page(kSlateWidth, kSlateHeight);
    DrawDiveSlate(page, slate);
    ExpectGolden("planner/dive_slate_page.txt", page.Dump());
    std::string crowded;
    for (const std::size_t count : {35, 200}) {
        slate.warnings.assign(count, "Warnung: eine lange Warnung, die eine ganze Zeile füllt.");
        RecordingCanvas drawn(kSlateWidth, kSlateHeight);
        DrawDiveSlate(drawn, slate);
        crowded += "## " + std::to_string(count) + " warnings\n" + drawn.Dump();
    }
    ExpectGolden("planner/dive_slate_crowded_pages.txt", crowded);
}

}  // namespace
}  // namespace marelos
