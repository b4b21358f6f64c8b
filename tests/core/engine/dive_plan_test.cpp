#include "core/engine/dive_plan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/engine/calculation.h"
#include "core/engine/oxygen.h"
#include "core/profile/profile_file.h"
#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/temp_folder.h"

namespace marelos {
namespace {

using ::testing::ElementsAre;

// The stops of a dive set by hand, as the calculation would leave them, all on air.
void SetStops(Workspace& workspace, std::initializer_list<std::pair<int, int>> stops) {
    ClearStopTimes(workspace.profile);
    for (const auto& [index, time] : stops)
        workspace.profile.stops[index] = {3 * index, time, {78, 0}};
    workspace.computed.last.ascent.arrival = {78, 0};
}

// A dive drawn on one gas, with the mix fields set to it.
std::unique_ptr<Workspace> DiveOn(std::initializer_list<std::pair<int, int>> corners,
                                  const GasMixFields& mix, Settings settings = {}) {
    auto dive = DrawnDive(corners, settings);
    dive->mix = mix;
    for (int i = 1; i < dive->profile.nextPoint; ++i) {
        dive->profile.points[i].n2Percent = std::stoi(mix.n2);
        dive->profile.points[i].hePercent = std::stod(mix.he);
    }
    return dive;
}

TEST(DivePlan, ProfileLinesThenTravelAscentsAndStopsOnTheirGas) {
    auto dive = DrawnDive({{3, 30}, {25, 30}});
    InMemorySettingsStore store;
    store.WriteSetting("Decompression", "Step", "True");
    ScriptedUi ui;
    BuildLinesFromPoints(dive->profile, 60);
    SetStops(*dive, {{2, 2}, {1, 4}});
    EXPECT_THAT(
        DivePlanLines(*dive, store, ui),
        ElementsAre("Abtauchen auf  \t30 m\tZeit: 3 min.\tGesamtzeit: 3 min.\tN2: 78%\tHe: 0%",
                    "Tiefe halten   \t30 m\tZeit: 22 min.\tGesamtzeit: 25 min.\tN2: 78%\tHe: 0%",
                    "Auftauchen auf \t6 m\tZeit: 3 min.\tGesamtzeit: 28 min.\tN2: 78%\tHe: 0%",
                    "Auftauchen auf \t6 m \tZeit: 1 min.\tGesamtzeit: 29 min.\tN2: 78%\tHe: 0%",
                    "Dekostufe: \t6 m\tZeit: 2 min.\tGesamtzeit: 31 min.\t N2: 78%\tHe: 0%",
                    "Auftauchen auf \t3 m \tZeit: 1 min.\tGesamtzeit: 32 min.\tN2: 78%\tHe: 0%",
                    "Dekostufe: \t3 m\tZeit: 4 min.\tGesamtzeit: 36 min.\t N2: 78%\tHe: 0%"));
    EXPECT_TRUE(ui.questions.empty());
}

// The staged ascent of a trimix dive keeps the bottom N2 share and takes the decompression
// gas's He share (here 0): the plan, the texts and the saved lines name that gas and warn about
// it, stop by stop also across the switch to the decompression gas.
TEST(AscentGas, EveryOutputNamesTheGasTheCalculationBreathed) {
    Settings settings;
    settings.airPressure = 1013;
    auto dive = DiveOn({{3, 45}, {25, 45}}, {"21", "44", "35"}, settings);
    InMemorySettingsStore store;
    store.WriteSetting("Decompression", "Step", "True");
    ScriptedUi ui;
    mnuCalcSaturation(*dive, store, ui);
    const std::vector<std::string> warnings = {
        "Achtung: Der Aufstieg wurde mit dem Gas O2/N2/He 55/44/0 berechnet. Es ist weder ein Gas "
        "des Tauchgangs noch das Dekompressionsgas der Einstellungen.",
        "Höchster ppO2 beim Aufstieg: 3.06 bar auf 45 m mit O2/N2/He 55/44/0, über der "
        "Warngrenze von 1.6 bar.",
        "Abhilfe: das Dekompressionsgas einstellen (Einstellungen, Register Dekompression) oder "
        "den Aufstieg mit dem Planer und seinen Gasen planen."};
    EXPECT_EQ(std::vector<std::string>(ui.lines.end() - 3, ui.lines.end()), warnings);
    std::vector<std::string> plan = DivePlanLines(*dive, store, ui);
    EXPECT_EQ(std::vector<std::string>(plan.end() - 3, plan.end()), warnings);
    ASSERT_EQ(plan.size(), 2 + 1 + 2 * 5 + 3u);  // stops at 15, 12, 9, 6 and 3 m
    for (std::size_t i = 2; i < plan.size() - 3; ++i)
        EXPECT_TRUE(plan[i].ends_with("N2: 44%\tHe: 0%")) << plan[i];
    EXPECT_TRUE(DecompressionText(*dive).ends_with("Gesamte Dekompressionzeit: 16 min.\r\n" +
                                                   warnings[0] + "\r\n" + warnings[1] + "\r\n" +
                                                   warnings[2]));
    for (const std::string& line : DecompressionLines(*dive, LastWrittenLine(dive->profile)))
        EXPECT_TRUE(line.ends_with("\t44\t0")) << line;

    // Air from 6 m upwards: the deeper stops stay on N2 44 / He 0, and arriving at 6 m too.
    dive->settings.nitroxDecoStart = 6;
    mnuCalcSaturation(*dive, store, ui);
    plan = DivePlanLines(*dive, store, ui);
    const auto lineAt = [&](const std::string& start) {
        return *std::find_if(plan.begin(), plan.end(),
                             [&](const std::string& line) { return line.starts_with(start); });
    };
    EXPECT_TRUE(lineAt("Dekostufe: \t9 m").ends_with("N2: 44%\tHe: 0%"));
    EXPECT_TRUE(lineAt("Auftauchen auf \t6 m ").ends_with("N2: 44%\tHe: 0%"));
    EXPECT_TRUE(lineAt("Dekostufe: \t6 m").ends_with("N2: 78%\tHe: 0%"));
    EXPECT_TRUE(lineAt("Auftauchen auf \t3 m ").ends_with("N2: 78%\tHe: 0%"));
    EXPECT_TRUE(plan.back().starts_with("Abhilfe: "));
}

// A dive saved with its decompression phase calculates again without violations or further
// stops, and with the doses of the plan: the saved ascent to the first stop takes
// Int(d / 10) + 1 whole minutes at depths between, where the calculation takes d / 10 minutes
// and records the multiples of 10 m, so the doses may differ by one minute of the ascent's
// highest oxygen pressure, no more.
struct SavedAscent {
    const char* name;
    GasMixFields mix;
    int nitroxDecoStart;  // with EAN50 from there upwards
    bool warns;
};

class SavedAscentTest : public ::testing::TestWithParam<SavedAscent> {
  protected:
    const TempFolder temp_{"saved_ascent"};
};

TEST_P(SavedAscentTest, CalculatesAgainToTheSameStopsAndDoses) {
    Settings settings;
    settings.airPressure = 1013;
    settings.nitroxDecoStart = GetParam().nitroxDecoStart;
    settings.n2PerCentDecompression = GetParam().nitroxDecoStart > 0 ? 50 : 78;
    InMemorySettingsStore store;
    store.WriteSetting("Decompression", "Step", "True");
    ScriptedUi ui;
    auto dive = DiveOn({{3, 33}, {30, 33}}, GetParam().mix, settings);
    mnuCalcSaturation(*dive, store, ui);
    EXPECT_EQ(AscentGasWarnings(*dive).empty(), !GetParam().warns);
    const double otu = TotalOtu(dive->computed);
    const double cns = DiveCns(dive->computed);
    const double highest = dive->computed.last.ascent.highestPpO2;
    const double otuMinute = OtuOfMinute(highest) + 1;  // and the sums cut to whole numbers
    const double cnsMinute = CnsOfMinute(highest).dive + 1;
    ui.answers = {Answer::Yes};  // with the decompression phase
    ASSERT_TRUE(WriteProfileFile(*dive, store, ui, temp_.File("tg.mrp")));

    auto saved = DiveOn({}, GetParam().mix, settings);
    ASSERT_TRUE(ReadProfileFile(*saved, store, ui, temp_.File("tg.mrp")));
    EXPECT_EQ(saved->computed.last.violations, 0);
    for (int k = 1; k <= kStopTableEnd; ++k)
        EXPECT_EQ(saved->profile.stops[k].time, 0) << 3 * k << " m";
    EXPECT_NEAR(TotalOtu(saved->computed), otu, otuMinute);
    EXPECT_NEAR(DiveCns(saved->computed), cns, cnsMinute);
}

INSTANTIATE_TEST_SUITE_P(
    , SavedAscentTest,
    ::testing::Values(SavedAscent{"Air", {"21", "78", "0"}, 0, false},
                      SavedAscent{"AirWithEan50From6m", {"21", "78", "0"}, 6, false},
                      SavedAscent{"NitroxOnItsOwnMix", {"32", "67", "0"}, 0, false},
                      SavedAscent{"NitroxWithEan50From6m", {"32", "67", "0"}, 6, false},
                      SavedAscent{"Trimix", {"21", "44", "35"}, 0, true},
                      SavedAscent{"TrimixWithEan50From6m", {"21", "44", "35"}, 6, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The warning limit of the ppO2 is passed only above it: EAN50, switched to above 21 m on the
// ascent, breathes 1.4866 bar at 20 m.
TEST(AscentGas, WarnsAboveThePpO2LimitOnly) {
    Settings settings;
    settings.airPressure = 1013;
    settings.nitroxDecoStart = 21;
    settings.n2PerCentDecompression = 50;
    InMemorySettingsStore store;
    store.WriteSetting("Decompression", "Step", "True");
    ScriptedUi ui;
    auto dive = DrawnDive({{3, 40}, {30, 40}}, settings);
    for (const double limit : {1.49, 1.48}) {
        dive->settings.maxPpO2 = limit;
        mnuCalcSaturation(*dive, store, ui);
        const std::vector<std::string> warnings = AscentGasWarnings(*dive);
        if (limit == 1.49) {
            EXPECT_TRUE(warnings.empty());
        } else {
            ASSERT_EQ(warnings.size(), 3u);
            EXPECT_EQ(warnings[0],
                      "Achtung: Der ppO2 beim Aufstieg überschreitet die Warngrenze von 1.48 bar.");
            EXPECT_EQ(warnings[1],
                      "Höchster ppO2 beim Aufstieg: 1.49 bar auf 20 m mit O2/N2/He 49/50/0, über "
                      "der Warngrenze von 1.48 bar.");
        }
    }
}

TEST(DivePlan, ANoStopDiveHasNoAscentLinesAndAContinuousAscentAsksFirst) {
    auto dive = DrawnDive({{2, 12}, {12, 12}, {14, 0}});
    InMemorySettingsStore store;
    ScriptedUi ui;
    mnuCalcSaturation(*dive, store, ui);
    std::vector<std::string> plan = DivePlanLines(*dive, store, ui);
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_TRUE(plan[2].starts_with("Auftauchen auf \t0 m\tZeit: 2 min."));
    ASSERT_EQ(ui.questions.size(), 1u);  // "Step" is not "True" in an empty store
    EXPECT_EQ(ui.questions[0], kStagedDecompressionQuestion);
    EXPECT_EQ(store.ReadSetting("Decompression", "Step"), "");

    auto deep = DrawnDive({{4, 40}, {30, 40}});
    store.WriteSetting("Decompression", "Step", "False");
    mnuCalcSaturation(*deep, store, ui);
    ui.answers = {Answer::Yes};
    plan = DivePlanLines(*deep, store, ui);
    EXPECT_EQ(store.ReadSetting("Decompression", "Step"), "True");
    EXPECT_GT(plan.size(), 4u);  // calculated in stops after the question
    EXPECT_TRUE(plan[2].starts_with("Auftauchen auf \t"));
}

TEST(DecompressionText, ListsTheStopsAndTheirSum) {
    auto dive = DrawnDive({});
    SetStops(*dive, {{2, 2}, {1, 4}});
    EXPECT_EQ(DecompressionText(*dive),
              "Dekompressionstufen:\r\n\r\n2 min. @ 6m\r\n4 min. @ 3m\r\nGesamte "
              "Dekompressionzeit: 6 min.");
    SetStops(*dive, {});
    EXPECT_EQ(DecompressionText(*dive),
              "Dekompressionstufen:\r\n\r\nGesamte Dekompressionzeit: 0 min.");
    ScriptedUi ui;
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(ShowDecompressionText(*dive, ui));
    EXPECT_TRUE(ui.questions[0].ends_with("\r\nIn Zwischenablage speichern?"));
}

// Calculations that end early, each after a dive with stops: in the dive phase (the stops of the
// dive before would be left), in the decompression phase (a part of the stops would be left) and
// before the first stop (no stops would read as no decompression).
struct StoppedDive {
    const char* name;
    std::vector<std::pair<int, int>> corners;
    const char* reason;
};

class StoppedCalculation : public ::testing::TestWithParam<StoppedDive> {};

TEST_P(StoppedCalculation, EveryReaderShowsTheReasonInsteadOfStops) {
    InMemorySettingsStore store;
    store.WriteSetting("Decompression", "Step", "True");
    ScriptedUi ui;
    auto dive = DrawnDive({{3, 30}, {25, 30}});
    ASSERT_FALSE(Stopped(mnuCalcSaturation(*dive, store, ui)));
    ASSERT_GT(DecompressionLines(*dive, LastWrittenLine(dive->profile)).size(), 2u);

    dive->profile.nextPoint = 1;
    for (const auto& [minute, depth] : GetParam().corners)
        dive->profile.points[dive->profile.nextPoint++] = {minute, depth, 78, 0};
    dive->settings.maxHScale = 6000;
    const CalculationResult result = mnuCalcSaturation(*dive, store, ui);
    ASSERT_TRUE(Stopped(result));
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.stopReason.substr(0, 20), std::string(GetParam().reason).substr(0, 20));
    for (int k = 1; k <= kStopTableEnd; ++k)
        EXPECT_EQ(dive->profile.stops[k].time, 0) << 3 * k << " m";

    const std::string reason = IncompleteCalculationMessage(result);
    EXPECT_EQ(DecompressionText(*dive), reason);
    EXPECT_EQ(DivePlanLines(*dive, store, ui).back(), reason);
    EXPECT_TRUE(DecompressionLines(*dive, LastWrittenLine(dive->profile)).empty());
    ui.answers = {Answer::Yes};
    EXPECT_FALSE(ShowDecompressionText(*dive, ui));
    EXPECT_EQ(ui.boxes.back().text, reason);
    EXPECT_EQ(ui.boxes.back().icon, MessageIcon::Critical);
}

INSTANTIATE_TEST_SUITE_P(
    , StoppedCalculation,
    ::testing::Values(StoppedDive{"InTheDivePhase", {{3, 10}, {6000, 10}}, kArrayFullMessage},
                      StoppedDive{"InTheDecompression", {{3, 60}, {5500, 60}}, kArrayFullMessage},
                      StoppedDive{"BeforeTheFirstStop",
                                  {{60, 600}, {400, 600}},
                                  "Die erste Dekompressionsstufe"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DiveValues, CommentFieldsOnlyWhenFilled) {
    ComputedProfile computed;
    computed.last.maxDepth = 30;
    computed.last.diveMinutes = 25;
    EXPECT_THAT(
        DiveValueTexts(computed, {}, "."),
        ElementsAre("Oxygen Tolerance Units: 0", "CNS (Tauchgangsdosis): 0%",
                    "CNS (Gesamtdosis - Tag): 0%", "Max. Tiefe: 30 m", "Tauchzeit: 25 min."));
    const auto texts =
        DiveValueTexts(computed, {"12", "Überlingen", "Bodensee", "12-07-03", "14:05"}, ".");
    EXPECT_THAT(std::vector<std::string>(texts.begin(), texts.begin() + 3),
                ElementsAre("TG-Nr. im Logbuch: 12", "Tauchplatz: Überlingen, Bodensee",
                            "Datum/Zeit: 12-07-03/14:05"));
}

}  // namespace
}  // namespace marelos
