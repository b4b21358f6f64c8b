#include "core/engine/dive_plan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/engine/calculation.h"
#include "core/profile/profile_file.h"
#include "tests/core/engine/outputs_test_support.h"

namespace marelos {
namespace {

using ::testing::ElementsAre;

// The stops of a dive set by hand, as the calculation would leave them.
void SetStops(Workspace& workspace, std::initializer_list<std::pair<int, int>> stops) {
    ClearStopTimes(workspace.profile);
    for (const auto& [index, time] : stops)
        workspace.profile.stops[index].time = time;
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

    // The travel line shows the gas of the ascent to the first stop.
    dive = DrawnDive({{4, 40}, {30, 40}});
    dive->settings.nitroxDecoStart = 10;
    dive->settings.n2PerCentDecompression = 50;
    dive->settings.hePerCentDecompression = 0;
    BuildLinesFromPoints(dive->profile, 60);
    SetStops(*dive, {{2, 3}, {1, 5}});  // first stop at 6 m, above the switch depth
    EXPECT_EQ(DivePlanLines(*dive, store, ui)[2],
              "Auftauchen auf \t6 m\tZeit: 4 min.\tGesamtzeit: 34 min.\tN2: 50%\tHe: 0%");
    dive->settings.nitroxDecoStart = 6;  // the first stop itself is still on the bottom gas
    EXPECT_EQ(DivePlanLines(*dive, store, ui)[2],
              "Auftauchen auf \t6 m\tZeit: 4 min.\tGesamtzeit: 34 min.\tN2: 78%\tHe: 0%");
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
