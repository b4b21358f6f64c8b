#include "core/engine/calculation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>

#include "core/engine/calculators.h"
#include "core/engine/deco_table.h"
#include "core/engine/dive_plan.h"
#include "core/engine/model_parameters.h"
#include "core/engine/no_fly.h"
#include "core/engine/oxygen.h"
#include "core/engine/tissues.h"
#include "core/profile/profile_file.h"
#include "core/text/number_format.h"
#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

using ::testing::Contains;
using Corners = std::vector<std::pair<int, int>>;

// Everything a calculation of a dive of the golden file (corners on one gas, calculated with the
// stored settings) leaves for the user: its result and messages, every record, the stops and
// doses, the dive plan, the decompression text and lines, and the no-fly time.
std::string Outputs(const Corners& corners, const std::string& settings, const GasMixFields& mix) {
    InMemorySettingsStore store;
    WriteEntries(store, "Values/SurfaceInterval=0;Decompression/Step=True;" + settings);
    Workspace ws = WorkspaceFromSettings(LoadSettings(store, "/opt/marelos"));
    ws.mix = mix;
    std::ostringstream out;
    out.precision(9);
    out << "##";
    for (const auto& [minute, depth] : corners) {
        ws.profile.points[ws.profile.nextPoint++] = {minute, depth, std::stoi(mix.n2),
                                                     std::stod(mix.he)};
        out << " " << minute << "/" << depth;
    }
    out << " " << mix.n2 << "/" << mix.he << ": " << settings << "\n";
    ScriptedUi ui;
    const CalculationResult r = mnuCalcSaturation(ws, store, ui);
    out << "completed=" << r.completed << " maxDepth=" << r.maxDepth
        << " diveMinutes=" << r.diveMinutes << " totalTime=" << r.totalTime
        << " violations=" << r.violations << " decompressionDive=" << r.decompressionDive
        << " phase " << r.decoBegin << ".." << r.decoEnd << " maxHScale=" << ws.settings.maxHScale
        << " progress " << ui.progressSteps << "/" << ui.lastProgress << "\n";
    for (const std::string& line : ui.lines)
        out << "message: " << line << "\n";
    for (const ScriptedUi::Box& box : ui.boxes)
        out << "box " << static_cast<int>(box.icon) << ": " << box.text << "\n";
    const ComputedProfile& c = ws.computed;
    for (int j = 1; j <= c.computedCount; ++j) {
        if (c.computedCount > 400 && j > 3 && j < c.computedCount - 3) continue;
        const ComputedMinute& m = c.records[j];
        out << j << "\t" << m.depth << "\t" << m.n2Percent << "/" << m.hePercent << "\ttol "
            << m.toleratedPressure << "\tN2 " << m.pN2[0] << " " << m.pN2[1] << " " << m.pN2[16]
            << "\tHe " << m.pHe[1] << "\tOTU " << m.otu << "\tCNS " << m.cnsDay << " " << m.cnsDive
            << "\n";
    }
    for (const DecoStop& stop : ws.profile.stops) {
        if (stop.time != 0) {
            out << "stop " << stop.depth << " m " << stop.time << " min N2 " << stop.gas.n2Percent
                << " He " << stop.gas.hePercent << "\n";
        }
    }
    out << "OTU " << TotalOtu(c) << " CNS " << DailyCns(c) << " " << DiveCns(c) << "\n";
    for (const std::string& line : DivePlanLines(ws, store, ui))
        out << "plan: " << line << "\n";
    for (const std::string& question : ui.questions)
        out << "question: " << question << "\n";
    std::string text = DecompressionText(ws);
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, " | ");
    out << "text: " << text << "\n";
    for (const std::string& line : DecompressionLines(ws, LastWrittenLine(ws.profile)))
        out << "line: " << line << "\n";
    const std::optional<int> noFly = ComputeNoFlyMinutes(ws, store, ui);
    out << "no-fly: "
        << NoFlyMessage(noFly, ws.settings.cabinPressure, RecommendedWaitBeforeFlying(ws), ".")
        << "\n";
    return out.str();
}

// The whole output of the calculation for the dives of tests/data/calculation_scenarios.tsv,
// each taking another of its paths, compared with tests/data/calculation_outputs.txt. The
// reference comparison checks the engine on random dives; this file pins the paths a random dive
// seldom takes.
TEST(CalculationOutputs, EveryPathAgainstItsGoldenFile) {
    std::string golden;
    for (const std::vector<std::string>& row : DataRows("calculation_scenarios.tsv")) {
        GasMixFields mix;
        if (row.size() > 2) mix = {row[2].substr(0, 2), row[2].substr(3, 2), row[2].substr(6)};
        golden += Outputs(CornersOf(row[0]), row.at(1), mix);
    }
    ExpectGolden("calculation_outputs.txt", golden);
}

// A calculation writes whole records and clears only what an earlier, longer one left beyond
// its own: after a long dive with compartment 0, a short dive without it, and a calculation
// that stops before its first record, leave everything as in a fresh workspace.
TEST(Calculation, ALongerEarlierCalculationLeavesNothingBehind) {
    const Compartment0Values compartment0 = {0.2, 0.1, 0.99, 0.1, 0.1, 0.99};
    InMemorySettingsStore store;
    ScriptedUi ui;
    auto workspace = DrawnDive({});
    Workspace& ws = *workspace;
    const double halfTimeHe5 = ws.model.halfTimeHe[5];
    const auto dive = [](Workspace& w, Corners corners) {
        NewProfile(w);
        w.settings.maxHScale = 600;
        w.settings.surfaceInterval = 30;
        w.profile.points[w.profile.nextPoint++] = {0, 0, 78, 0};
        for (const auto& [minute, depth] : corners)
            w.profile.points[w.profile.nextPoint++] = {minute, depth, 78, 0};
    };
    for (const double shortHalfTimeHe5 : {halfTimeHe5, 0.0}) {
        SetCompartment0(ws.model, compartment0, true);
        ws.model.halfTimeHe[5] = halfTimeHe5;
        dive(ws, {{4, 60}, {90, 60}});
        mnuCalcSaturation(ws, store, ui);
        ASSERT_GT(ws.computed.computedCount, 400);

        const auto fresh = DrawnDive({});
        for (Workspace* w : {&ws, fresh.get()}) {
            SetCompartment0(w->model, compartment0, false);
            w->model.halfTimeHe[5] = shortHalfTimeHe5;
            dive(*w, {{2, 12}, {10, 12}});
        }
        ScriptedUi freshUi;
        const CalculationResult expected = mnuCalcSaturation(*fresh, store, freshUi);
        ui.lines.clear();
        EXPECT_EQ(mnuCalcSaturation(ws, store, ui).completed, expected.completed);
        EXPECT_EQ(ui.lines, freshUi.lines);
        EXPECT_EQ(ws.computed.computedCount, fresh->computed.computedCount);
        EXPECT_EQ(ws.tissues, fresh->tissues);
        const std::vector<ComputedMinute>& records = ws.computed.records;
        for (std::size_t j = 0; j < records.size(); ++j) {
            ASSERT_EQ(std::memcmp(&records[j], &fresh->computed.records[j], sizeof records[j]), 0)
                << shortHalfTimeHe5 << ": record " << j;
        }
    }
    // A new profile is unchanged and without marks.
    ws.profile.changed = true;
    ws.profile.markCount = 2;
    NewProfile(ws);
    EXPECT_FALSE(ws.profile.changed);
    EXPECT_EQ(ws.profile.markCount, 0);
}

// Minutes above the tolerance: 1.1 x 1.0 bar < 1.11; equal is allowed; 1.1 x 2.01043 = 2.2115
// < 2.3. Above three minutes it warns twice; without the boxes it only counts.
TEST(CheckDecompression, CountsMinutesAboveTheToleranceAndWarnsTwiceAboveThree) {
    Transcript t;
    ComputedProfile computed;
    computed.records[1] = {.depth = 0, .toleratedPressure = 1.11};
    computed.records[2] = {.depth = 0, .toleratedPressure = 1.1};
    computed.records[3] = {.depth = 10, .toleratedPressure = 2.3};
    computed.computedCount = 4;
    for (const bool boxes : {true, true, false}) {
        ScriptedUi ui;
        const int minutes = CheckDecompression(computed, 1000, ui, boxes);
        t.Note("minutes", minutes, ui.Said());
        computed.records[4] = computed.records[5] = {.depth = 0, .toleratedPressure = 5};
        computed.computedCount = 6;
    }
}

// A line table reaching index 6000 ends silently; a zero half-time and numbers beyond any dive
// (instead of NaN) end the calculation with a message.
TEST(Calculation, ImpossibleLineTablesEndTheCalculation) {
    Transcript t;
    InMemorySettingsStore store;
    const auto calculate = [&](const std::string& label, Workspace& w) {
        ScriptedUi ui;
        const bool completed = mnuCalcSaturation(w, store, ui).completed;
        t.Note(label, completed, ui.Said());
    };
    auto ws = DrawnDive({});
    ws->view.mode = 4;  // the line table is used as it is
    for (int i = 1; i < kProfileTableEnd; ++i)
        ws->profile.lines[i] = {5, 0, 0, 78, 0};
    ws->profile.lines[1].tDelta = 3;
    ws->profile.nextPoint = kProfileTableEnd;
    calculate("6000 lines", *ws);
    EXPECT_NEAR(ws->computed.records[3].depth, 5, 1e-12);
    auto zero = DrawnDive({{3, 30}, {20, 30}});
    zero->model.halfTimeHe[5] = 0;
    calculate("zero half-time", *zero);
    EXPECT_EQ(zero->computed.records[1].depth, 0);  // nothing was computed
    auto huge = DrawnDive({});
    huge->view.mode = 4;
    huge->profile.lines[1] = {1e307, 2, 2, 78, 0};
    huge->profile.nextPoint = 2;
    calculate("1e307 m", *huge);
    for (int j = 1; j < huge->computed.computedCount; ++j)
        EXPECT_TRUE(std::isfinite(huge->computed.records[j].toleratedPressure));
}

class DecoTableTest : public ::testing::Test {
  protected:
    DecoTableTest() : workspace_(DrawnDive({{3, 30}, {25, 30}})) {
        workspace_->settings.surfaceInterval = 77;
    }

    std::optional<DecoTable> Build(const std::vector<std::string>& input) {
        return BuildDecoTable(*workspace_, store_, ui_, input);
    }

    std::unique_ptr<Workspace> workspace_;
    InMemorySettingsStore store_;
    ScriptedUi ui_;
};

// Tables of the depth lines of tests/data/deco_table_inputs.tsv, compared with
// tests/data/deco_tables.txt with their notes and what the run leaves: the columns follow a line's
// last dive, a no-stop dive has rows with the time alone, reading stops at a 0, 1 minute is
// calculated as 2, the header names the gases the stops breathe, a dive that cannot be calculated
// says so in its row and lines of too large numbers are skipped. The reference comparison checks
// tables of random lines.
TEST_F(DecoTableTest, TablesAgainstTheirGoldenFile) {
    std::string golden;
    for (const std::vector<std::string>& row : DataRows("deco_table_inputs.tsv")) {
        if (row[0] != "air") {  // with a decompression gas from 6 m
            workspace_->mix =
                row[0] == "nitrox" ? GasMixFields{"32", "67", "0"} : GasMixFields{"21", "44", "35"};
            workspace_->settings.nitroxDecoStart = 6;
            workspace_->settings.n2PerCentDecompression = 20;
        }
        const std::vector<std::string> input(row.begin() + 1, row.end());
        ui_.lines.clear();
        golden += "## input:";
        for (const std::string& line : input)
            golden += " | " + line;
        golden += "\n";
        const auto table = Build(input);
        ASSERT_TRUE(table.has_value());
        for (const std::string& line : table->lines)
            golden += line + "\n";
        for (const std::string& note : table->notes)
            golden += "note: " + note + "\n";
        for (const std::string& line : ui_.lines)
            golden += "message: " + line + "\n";
        golden += "surfaceInterval " + std::to_string(workspace_->settings.surfaceInterval) +
                  " nextPoint " + std::to_string(workspace_->profile.nextPoint) + " mode " +
                  std::to_string(workspace_->view.mode) + " maxVScale " +
                  std::to_string(workspace_->settings.maxVScale) + "\n";
    }
    ExpectGolden("deco_tables.txt", golden);
}

// With the planner on, the header names the planner's model, and VPM-B's stops are not titled
// as Bühlmann's. More than 20 bottom times: the first 20 are calculated; blocks beyond 10000
// lines (four a block) are left out. Cancelling after a depth line leaves no table and an empty
// profile. Progress counts the cells, and Escape is asked after the cell it came in: after the
// second cell (No), not again in that line, then after the first cell of the next (Yes).
TEST_F(DecoTableTest, HeadersLimitsCancellingAndProgress) {
    Transcript t;
    workspace_->settings.planner.enabled = true;
    for (const PlannerModel model : {PlannerModel::Buhlmann, PlannerModel::Vpmb}) {
        workspace_->settings.planner.model = model;
        const auto table = Build({"30 20"});
        t.Note("planner header", table.value().lines[0], table->lines[4]);
    }
    workspace_->settings.planner.enabled = false;
    ui_.lines.clear();
    std::string line = "9";
    for (int time = 1; time <= 25; ++time)
        line += " " + std::to_string(time * 5);
    const std::size_t twenty = Build({line}).value().lines.size();  // before the message is read
    t.Note("25 times: lines", twenty, ui_.lines.front());
    const auto many = Build(std::vector<std::string>(2600, "9 5"));
    t.Note("2600 lines: lines", many.value().lines.size(), ui_.lines.back());  // at most 10000

    // Escape in every round of events, or only in the second.
    const auto events = [&](bool always) {
        ui_ = ScriptedUi();
        ui_.answers = {Answer::No, Answer::Yes};
        ui_.onEvents = [&, always, rounds = 0]() mutable {
            if (always || ++rounds == 2) workspace_->cancelRequested = true;
        };
    };
    events(true);
    const bool built = Build({"20 10", "30 10", "40 10", "50 10"}).has_value();
    t.Note("cancelled", built, ui_.questions, ui_.eventRounds, ui_.lines.back(),
           workspace_->profile.nextPoint, workspace_->settings.surfaceInterval);
    events(false);
    const bool builtToo = Build({"20 10 20 30", "30 10 20"}).has_value();
    t.Note("cancelled in a line", builtToo, ui_.progressSteps, ui_.questions.size(),
           ui_.eventRounds, ui_.lastProgress, ui_.progressReset);
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
        auto dive =
            DrawnDive({{3, 33}, {30, 33}}, settings, {std::stoi(mix.n2), std::stod(mix.he)});
        auto saved = DrawnDive({}, settings);
        dive->mix = saved->mix = mix;
        mnuCalcSaturation(*dive, store, ui);
        EXPECT_EQ(AscentGasWarnings(*dive).empty(), row[2] != "warns");
        const double highest = dive->computed.last.ascent.highestPpO2;
        ui.answers = {Answer::Yes};  // with the decompression phase
        ASSERT_TRUE(WriteProfileFile(*dive, store, ui, temp.File("tg.mrp")));

        ASSERT_TRUE(ReadProfileFile(*saved, store, ui, temp.File("tg.mrp")));
        EXPECT_EQ(saved->computed.last.violations, 0);
        for (int k = 1; k <= kStopTableEnd; ++k)
            EXPECT_EQ(saved->profile.stops[k].time, 0) << 3 * k << " m";
        // + 1: the sums are cut to whole numbers
        EXPECT_NEAR(TotalOtu(saved->computed), TotalOtu(dive->computed), OtuOfMinute(highest) + 1);
        EXPECT_NEAR(DiveCns(saved->computed), DiveCns(dive->computed),
                    CnsOfMinute(highest).dive + 1);
    }
}

// The plans and texts themselves are in the golden file of the calculation's outputs; a Yes to
// the question for stops stores the choice and calculates in stops (2 + 1 + 2 x 4 lines). The
// no-fly time of the same dive counts the minutes until the cabin pressure is strictly above the
// tolerated pressure and leaves every result as it was.
TEST(DivePlan, AYesToTheQuestionForStopsStoresTheChoiceAndCalculatesInStopsAndDiveValues) {
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
    const auto before = std::make_unique<Workspace>(*deep);
    const int minutes = ComputeNoFlyMinutes(*deep, store, ui).value();  // throws without one
    EXPECT_GT(minutes, 60);
    const std::vector<ComputedMinute>& records = deep->computed.records;
    EXPECT_EQ(deep->settings.surfaceInterval, before->settings.surfaceInterval);
    EXPECT_EQ(deep->computed.computedCount, before->computed.computedCount);
    EXPECT_EQ(deep->tissues, before->tissues);
    EXPECT_EQ(std::memcmp(records.data(), before->computed.records.data(),
                          records.size() * sizeof records[0]),
              0);
    for (int k = 0; k <= kStopTableEnd; ++k)
        EXPECT_EQ(deep->profile.stops[k].time, before->profile.stops[k].time);
    // The same search by hand, from the end of the decompression phase.
    deep->settings.surfaceInterval = 0;
    mnuCalcSaturation(*deep, store, ui);
    const double surface = DepthFromPressure(1.0);
    for (int m = 0; m < minutes; ++m) {
        EXPECT_LE(0.595, ToleratedAmbientPressure(deep->tissues, deep->model)) << m;
        SaturateTissues(deep->tissues, deep->model, 1000, surface, 1, 78, 0);
    }
    EXPECT_GT(0.595, ToleratedAmbientPressure(deep->tissues, deep->model));
    // A higher cabin pressure allows flying sooner.
    deep->settings.surfaceInterval = 120;
    deep->settings.cabinPressure = 800;
    EXPECT_LT(ComputeNoFlyMinutes(*deep, store, ui).value(), minutes);
    // The dive values name the comment fields only when they are filled.
    ComputedProfile computed;
    computed.last.maxDepth = 30;
    computed.last.diveMinutes = 25;
    t.Note("values", DiveValueTexts(computed, {}, "."));
    t.Note("values, filled",
           DiveValueTexts(computed, {"12", "Überlingen", "Bodensee", "12-07-03", "14:05"}, "."));
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
        for (const auto& [minute, depth] : CornersOf(row[0]))
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
        ui.Said();
        EXPECT_FALSE(ShowDecompressionText(*dive, ui));
        EXPECT_EQ(ui.Said(), "! 3 " + reason + "\n");  // one critical box
    }
}

// The saturation and the tolerated pressure of every compartment are in the records of the
// calculation's golden file (nitrogen, trimix, compartment 0 on and off), and the reference
// comparison checks them on random dives. Here the parts no dive shows by itself, and the first
// stop: the listed depth below the ceiling, or above it when sharp.
TEST(Tissues, ToleranceFromTheFirstUsedCompartmentTheFirstStopAndTheStepperExact) {
    ModelParameters model = ModelFromSettings(Settings{});
    TissueState loaded;
    // Load compartment 1 until the tolerated pressure lies between the pressures at 9 and 12 m.
    const double wanted = (AmbientPressure(9, 1000) + AmbientPressure(12, 1000)) / 2;
    double below = 0, above = 20;
    for (int i = 0; i < 100; ++i) {
        loaded.pN2[1] = loaded.pTotal[1] = (below + above) / 2;
        (ToleratedAmbientPressure(loaded, model) < wanted ? below : above) = loaded.pN2[1];
    }
    EXPECT_EQ(FindFirstStopIndex(loaded, model, 1000, false), 4);  // 12 m
    EXPECT_EQ(FindFirstStopIndex(loaded, model, 1000, true), 3);   // 9 m
    EXPECT_EQ(FindCeilingDepth(loaded, model, 1000), 10);
    EXPECT_EQ(FindFirstStopIndex(TissueState{}, model, 1000, false), 0);
    EXPECT_EQ(FindCeilingDepth(TissueState{}, model, 1000), 0);
    TissueState low;
    low.pN2[3] = low.pTotal[3] = 0.5;  // below its a: a negative tolerance
    EXPECT_EQ(ToleratedAmbientPressure(low, model), 0);
    TissueState tissues;
    InitTissues(tissues, 0.79, 1000);
    EXPECT_EQ(ToleratedAmbientPressure(tissues, model), 0);  // no step yet: pTotal is 0
    SaturateTissues(tissues, model, 1000, 40, 1, 78, 0);
    EXPECT_EQ(tissues.pN2[0], 0.79);  // untouched without compartment 0
    const double withoutC0 = ToleratedAmbientPressure(tissues, model);
    tissues.pTotal[0] = 100;  // a huge value there changes nothing
    EXPECT_EQ(ToleratedAmbientPressure(tissues, model), withoutC0);
    model.firstCompartment = 0;
    EXPECT_GT(ToleratedAmbientPressure(tissues, model), withoutC0);
    // The stepper gives exactly the direct result.
    model = ModelFromSettings(Settings{});
    model.firstCompartment = 0;
    model.timeFactor = 1.1;
    TissueState direct;
    InitTissues(direct, 0.79, 950);
    TissueState stepped = direct;
    TissueStepper stepper(model, 950);
    // Repeated depths and gases, where the stepper keeps its inspired pressures, and changes of
    // only the time or only one gas share, where it must not.
    const double steps[][4] = {{30, 1, 64, 0},  {30, 1, 64, 0},    {30, 0.1, 64, 0},
                               {30, 1, 64, 10}, {30, 1, 40, 10},   {45, 0.1, 40, 43},
                               {12, 1, 50, 20}, {12, 0.5, 50, 20}, {7, 0.5, 78, 0}};
    for (const auto& s : steps) {
        SaturateTissues(direct, model, 950, s[0], s[1], s[2], s[3]);
        stepper.Saturate(stepped, s[0], s[1], s[2], s[3]);
        EXPECT_EQ(stepped, direct);
    }
}

// The doses of a minute at each ppO2, compared with tests/data/oxygen_doses.txt: the OTU round
// the last hundredth to 0.05 or the next tenth (0.529 as 0.50, 0.531 and 0.579 as 0.55, 0.585 as
// 0.60), the CNS level is the next tenth above (exactly 1.5 counts at 1.6, 0.49 at 0.5 counts
// nothing), above the table a fixed share, no table index from a missing number; air at 30 m
// and oxygen at 6 m (above the CNS table) at 1013 mbar.
TEST(Oxygen, EachMinuteGetsTheDosesOfItsOwnDepthAndGasAndTheDaySumDecays) {
    std::string out;
    for (const double ppO2 :
         {OxygenPartialPressure(AmbientPressure(30, 1013), 78, 0),
          OxygenPartialPressure(AmbientPressure(6, 1013), 0, 0), 0.5, 0.529, 0.531, 0.579, 0.585,
          0.999, 1.4, 0.3, -0.4, 1.45, 1.5, 1.1, 0.49, 2.5, std::nan("")}) {
        char line[120];
        std::snprintf(line, sizeof line, "%.10g\tOTU %.10g\tCNS %.10g %.10g\n", ppO2,
                      OtuOfMinute(ppO2), CnsOfMinute(ppO2).dive, CnsOfMinute(ppO2).day);
        out += line;
    }
    ExpectGolden("oxygen_doses.txt", out);
    ComputedMinute record;
    record.cnsDive = 7;
    AddCnsMinute(record, 1.0, 78, 0);  // 0.21 bar: below the table, the record keeps its values
    EXPECT_EQ(record.cnsDive, 7);
    // A calculation's records are written whole, so below the CNS table a minute gets 0.
    OxygenSteps steps(1013);
    // Repeated minutes, then a change of only the depth, only the N2 or only the He share.
    const double minutes[][3] = {{30, 78, 0},  {30, 78, 0},  {10, 78, 0}, {10, 50, 0},
                                 {10, 50, 20}, {10, 50, 20}, {0, 78, 0}};
    for (const auto& m : minutes) {
        ComputedMinute record;
        record.cnsDive = 7;
        steps.AddMinute(record, m[0], m[1], m[2]);
        const double ppO2 = OxygenPartialPressure(AmbientPressure(m[0], 1013), m[1], m[2]);
        EXPECT_EQ(record.otu, OtuOfMinute(ppO2)) << ppO2;
        EXPECT_EQ(record.cnsDive, CnsOfMinute(ppO2).dive) << ppO2;
        EXPECT_EQ(record.cnsDay, CnsOfMinute(ppO2).day) << ppO2;
    }
    // Record 3 is empty and counts as a minute without exposure: 20 x 0.5^(1/90) = 19.85; after 89
    // minutes without exposure 10.08, after 91 9.92.
    Transcript t;
    ComputedProfile computed;
    for (const int j : {1, 2})
        computed.records[j] = {.otu = 0.6, .cnsDay = 10, .cnsDive = 10};
    for (const int count : {3, 2 + 89, 2 + 91}) {
        computed.computedCount = count;
        t.Note("records " + std::to_string(count), TotalOtu(computed), DiveCns(computed),
               DailyCns(computed));
    }
}

ModelParameters FreshModel(int decoModel = 3) {
    Settings settings;
    settings.decoModel = static_cast<std::int16_t>(decoModel);
    return ModelFromSettings(settings);
}

// Half-time, a and b of N2 and He of every compartment, then the time factor.
std::string Table(const ModelParameters& m) {
    std::string out;
    char line[160];
    for (int c = 0; c <= kLastCompartment; ++c) {
        std::snprintf(line, sizeof line, "%d\t%.10g %.10g %.10g\t%.10g %.10g %.10g\n", c,
                      m.halfTimeN2[c], m.aN2[c], m.bN2[c], m.halfTimeHe[c], m.aHe[c], m.bHe[c]);
        out += line;
    }
    return out + "first " + std::to_string(m.firstCompartment) + " time factor " +
           std::to_string(m.timeFactor) + "\n";
}

// The literature tables of the four models (compartment 0 with its defaults), and what each
// change leaves, compared with tests/data/model_parameters.txt: changing the model loads its
// table and says so once; scaling starts from the literature values every time except for
// compartment 0, which scales its own; multiplying the half-times leaves compartments 0 and
// 11 to 16 and has no reset in between; a model outside 1 to 4 changes nothing.
TEST(ModelParameters, TablesChangesAndProgressivityAgainstTheirGoldenFiles) {
    std::string out;
    for (int model = 1; model <= 4; ++model)
        out += "## " + ModelMessage(FreshModel(model)) + "\n" + Table(FreshModel(model));
    ModelParameters model = FreshModel(3);
    MultiplyHalfTimes(model, 2);
    out += "## ZH-L16C, half-times times 2, then ZH-L16A: " + ChangeModel(model, 1) + "\n";
    out += "## and again: " + ChangeModel(model, 1) + "\n" + Table(model);
    model = FreshModel(3);
    model.aN2[0] = 0.3;
    RecalculateCoefficients(model, 1.1, 1.1);
    out +=
        "## compartment 0 a 0.3, " + RecalculateCoefficients(model, 1.1, 0.9) + "\n" + Table(model);
    RecalculateCoefficients(model, 1, 1);
    LoadCoefficients(model, 7);
    out += "## factors 1 and 1, model 7\n" + Table(model);
    model = FreshModel();
    MultiplyHalfTimes(model, 2);
    MultiplyHalfTimes(model, 2);
    out += "## half-times times 2 twice\n" + Table(model);
    LoadHalfTimes(model, 3);
    out += "## half-times loaded\n" + Table(model);
    ExpectGolden("model_parameters.txt", out);
    // A name that matches none (small letters) changes nothing.
    Transcript t;
    model = FreshModel();
    for (int mode = 1; mode <= 5; ++mode) {
        model.timeFactor = ProgressivityTimeFactor(mode);
        t.Note("mode " + std::to_string(mode), ProgressivityMessage(model));
    }
    for (const char* name : {"Konservativ", "konservativ"}) {
        const int mode = SelectProgressivity(model, name);
        t.Note(name, mode, model.timeFactor);
    }
}

// Ten minutes at 20 m and five at 10 m, then the surface.
ComputedProfile TwoLevels() {
    ComputedProfile computed;
    for (int j = 1; j <= 16; ++j)
        computed.records[j].depth = j <= 10 ? 20 : j <= 15 ? 10 : 0;
    computed.computedCount = 17;
    return computed;
}

// The calculators' results, compared with tests/data/calculators.txt. Air and the average depth
// count only minutes under water (10 x 3.02086 x 15 + 5 x 2.01043 x 15 = 603 l), the minute
// count is rounded first; the breathing volume of 1234 l is 30.8 l/min, a text that is no
// number gives 0; at 60 m the nitrogen limit asks for helium; the blend takes O2 rounded to
// whole percent; texts for people carry the user's decimal separator.
TEST(Calculators, ResultsAgainstTheirGoldenFile) {
    Settings settings;
    const ComputedProfile computed = TwoLevels();
    std::string out;
    for (const double minutes : {17.0, 10.0, 9.5})
        out += "air up to " + FormatGeneral(minutes) + ": " +
               FormatGeneral(AirUsedUpTo(computed, minutes, settings)) + "\n";
    out += AirConsumptionText(computed, settings) + "\n" + AverageDepthText(computed, ",") + "\n" +
           AverageDepthText(ComputedProfile{}, ".") + "\n";
    for (const char* litres : {"1234", "Liter", "0.4"})
        out += "breathing volume " + std::string(litres) + ": " +
               FormatGeneral(BreathingVolume(computed, 17, litres).value()) + "\n";
    out += "without a dive: " +
           std::to_string(BreathingVolume(ComputedProfile{}, 1, "1200").has_value()) + "\n";
    for (const GasMixFields& mix : {GasMixFields{"21", "78", "0"}, GasMixFields{"100", "0", "0"},
                                    GasMixFields{"10", "0", "90"}, GasMixFields{"0", "0", "0"}})
        out += "limits " + mix.o2 + "/" + mix.n2 + "/" + mix.he + ": " +
               MixLimitsText(mix, settings) + "\n";
    for (const int depth : {0, 40, 60})
        out += BestMixText(depth, settings) + "\n";
    for (const auto& [o2, n2, he] :
         {std::tuple{"21", "35", "44"}, std::tuple{"32,4", "67,6", "0"}}) {
        const BlendSteps steps = BlendMix(o2, n2, he, "200");
        out += "blend " + std::string(o2) + " " + n2 + " " + he + ": He " +
               FormatGeneral(steps.helium) + " air " + FormatGeneral(steps.air) + " O2 " +
               FormatGeneral(steps.oxygen) + " sum " + FormatGeneral(steps.sum) + "\n";
    }
    out += RemainingAirText(computed, 10, settings) + "\n" +
           CursorMinuteLine(computed, 10, settings) + "\n";
    settings.airSupply = 400;
    out += RemainingAirText(computed, 10, settings) + "\n";
    for (const int depth : {55, 57, 99})  // a tenth that the surface pressure tips
        out += BestMixText(depth, settings) + "\n";
    ExpectGolden("calculators.txt", out);

    ScriptedUi ui;
    ui.textAnswers = {std::string("1234")};
    mnuCalcBreathingRatio(computed, ui, ",");
    mnuCalcBreathingRatio(ComputedProfile{}, ui, ".");
    // Without a dive it does not ask for the litres first.
    EXPECT_EQ(ui.Said(),
              "? Wieviel Luft in Litern wurde verbraucht?\n! 0 AMV: 30,8 Liter pro "
              "Minute bei 1 bar\n! 0 " +
                  std::string(kNoCalculatedDive) + "\n");
}

TEST(NoFly, AnIncalculableDiveTheMessageInHoursAndTheAltitudePressure) {
    auto dive = DrawnDive({{60, 600}, {400, 600}});
    dive->settings.maxHScale = 500;
    InMemorySettingsStore store;
    ScriptedUi ui;
    EXPECT_FALSE(ComputeNoFlyMinutes(*dive, store, ui).has_value());
    ui.Said();
    ShowNoFlyResult(*dive, std::nullopt, ui);  // one critical box
    EXPECT_EQ(ui.Said(), "! 3 " + IncompleteCalculationMessage(dive->computed.last) + "\n");
    // The messages of the calculated dives, the recommendations of 12, 18 and 24 h and the cabin
    // pressures either side of the balance with surface air are in the golden file of the
    // calculation's outputs. Here: hours with the user's separator and the longer of the two times;
    // the barometric formula and taking its value over (a text without pressure changes nothing).
    Transcript t;
    t.Note("model longer", NoFlyMessage(1455, 595.5, {24, "Dekompressionstauchgang"}, ","));
    t.Note("recommendation longer", NoFlyMessage(1440, 595, {24, ""}, "."));
    for (const auto& [air, height] :
         {std::pair{"1013", "0"}, {"1013", "1000"}, {"0", "1000"}, {"abc", "0"}})
        t.Note(std::string("altitude ") + air + " " + height, AltitudeResultText(air, height));
    Settings settings;
    store = InMemorySettingsStore();
    for (const char* text : {"Luftdruck (Höhe) = 893 mbar.", "Luftdruck (Höhe) = 0 mbar.", ""}) {
        const bool taken = TakeOverAltitudePressure(text, settings, store);
        t.Note(std::string("take over ") + text, taken, settings.airPressure,
               store.ReadSetting("Values", "AirPressure"));
    }
}

}  // namespace
}  // namespace marelos
