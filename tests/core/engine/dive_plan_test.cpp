#include "core/engine/dive_plan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "core/engine/calculation.h"
#include "core/engine/oxygen.h"
#include "core/profile/profile_file.h"
#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

using ::testing::ElementsAre;

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

// A dive saved with its decompression phase calculates again without violations or further
// stops, and with the doses of the plan: the saved ascent to the first stop takes
// Int(d / 10) + 1 whole minutes at depths between, where the calculation takes d / 10 minutes
// and records the multiples of 10 m, so the doses may differ by one minute of the ascent's
// highest oxygen pressure, no more. The cases are in tests/data/saved_ascents.tsv.
TEST(SavedAscent, CalculatesAgainToTheSameStopsAndDoses) {
    for (const std::vector<std::string>& row : DataRows("saved_ascents.tsv")) {
        SCOPED_TRACE(row[0] + " " + row[1]);
        const TempFolder temp("saved_ascent");
        const GasMixFields mix = {row[0].substr(0, 2), row[0].substr(3, 2), row[0].substr(6)};
        Settings settings;
        settings.airPressure = 1013;
        settings.nitroxDecoStart = std::stoi(row[1]);
        settings.n2PerCentDecompression = row[1] != "0" ? 50 : 78;
        InMemorySettingsStore store;
        store.WriteSetting("Decompression", "Step", "True");
        ScriptedUi ui;
        auto dive = DiveOn({{3, 33}, {30, 33}}, mix, settings);
        mnuCalcSaturation(*dive, store, ui);
        EXPECT_EQ(AscentGasWarnings(*dive).empty(), row[2] != "warns");
        const double otu = TotalOtu(dive->computed);
        const double cns = DiveCns(dive->computed);
        const double highest = dive->computed.last.ascent.highestPpO2;
        const double otuMinute = OtuOfMinute(highest) + 1;  // and the sums cut to whole numbers
        const double cnsMinute = CnsOfMinute(highest).dive + 1;
        ui.answers = {Answer::Yes};  // with the decompression phase
        ASSERT_TRUE(WriteProfileFile(*dive, store, ui, temp.File("tg.mrp")));

        auto saved = DiveOn({}, mix, settings);
        ASSERT_TRUE(ReadProfileFile(*saved, store, ui, temp.File("tg.mrp")));
        EXPECT_EQ(saved->computed.last.violations, 0);
        for (int k = 1; k <= kStopTableEnd; ++k)
            EXPECT_EQ(saved->profile.stops[k].time, 0) << 3 * k << " m";
        EXPECT_NEAR(TotalOtu(saved->computed), otu, otuMinute);
        EXPECT_NEAR(DiveCns(saved->computed), cns, cnsMinute);
    }
}

// The plans and texts themselves are in the golden file of the calculation's outputs; a Yes to
// the question for stops stores the choice and calculates in stops (2 + 1 + 2 x 4 lines).
TEST(DivePlan, AYesToTheQuestionForStopsStoresTheChoiceAndCalculatesInStops) {
    Transcript t;
    auto deep = DrawnDive({{4, 40}, {30, 40}});
    InMemorySettingsStore store;
    store.WriteSetting("Decompression", "Step", "False");
    ScriptedUi ui;
    mnuCalcSaturation(*deep, store, ui);
    ui.answers = {Answer::Yes};
    const std::vector<std::string> plan = DivePlanLines(*deep, store, ui);
    t.Note("plan lines", plan.size(), ui.questions, store.ReadSetting("Decompression", "Step"));
    ui.answers = {Answer::Yes};
    const bool shown = ShowDecompressionText(*deep, ui);
    t.Note("shown", shown, ui.questions.at(1));
}

// Calculations that end early, each after a dive with stops: in the dive phase (the stops of the
// dive before would be left), in the decompression phase (a part of the stops would be left) and
// before the first stop (no stops would read as no decompression): tests/data/stopped_dives.tsv.
TEST(StoppedCalculation, EveryReaderShowsTheReasonInsteadOfStops) {
    for (const std::vector<std::string>& row : DataRows("stopped_dives.tsv")) {
        SCOPED_TRACE(row[0]);
        InMemorySettingsStore store;
        store.WriteSetting("Decompression", "Step", "True");
        ScriptedUi ui;
        auto dive = DrawnDive({{3, 30}, {25, 30}});
        ASSERT_FALSE(Stopped(mnuCalcSaturation(*dive, store, ui)));
        ASSERT_GT(DecompressionLines(*dive, LastWrittenLine(dive->profile)).size(), 2u);

        dive->profile.nextPoint = 1;
        std::istringstream corners(row[0]);
        for (int minute, depth; corners >> minute && corners.ignore() >> depth;)
            dive->profile.points[dive->profile.nextPoint++] = {minute, depth, 78, 0};
        dive->settings.maxHScale = 6000;
        const CalculationResult result = mnuCalcSaturation(*dive, store, ui);
        ASSERT_TRUE(Stopped(result));
        EXPECT_FALSE(result.completed);
        EXPECT_TRUE(result.stopReason.starts_with(row[1])) << result.stopReason;
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
}

TEST(DiveValues, CommentFieldsOnlyWhenFilled) {
    Transcript t;
    ComputedProfile computed;
    computed.last.maxDepth = 30;
    computed.last.diveMinutes = 25;
    t.Note("empty", DiveValueTexts(computed, {}, "."));
    t.Note("filled",
           DiveValueTexts(computed, {"12", "Überlingen", "Bodensee", "12-07-03", "14:05"}, "."));
}

}  // namespace
}  // namespace marelos
