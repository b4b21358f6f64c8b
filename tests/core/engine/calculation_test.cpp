#include "core/engine/calculation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>

#include "core/engine/dive_plan.h"
#include "core/engine/no_fly.h"
#include "core/engine/oxygen.h"
#include "core/profile/profile_file.h"
#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

using ::testing::Contains;
using Corners = std::vector<std::pair<int, int>>;

// A dive of the golden file: corners (minute, depth) on one gas, and the stored settings it is
// calculated with.
struct Scenario {
    Corners corners;
    std::string settings;
    GasMixFields mix = {};
};

// Everything a calculation leaves for the user: its result and messages, every record, the
// stops and doses, the dive plan, the decompression text and lines, and the no-fly time.
std::string Outputs(const Scenario& scenario) {
    InMemorySettingsStore store;
    WriteEntries(store, "Values/SurfaceInterval=0;Decompression/Step=True;" + scenario.settings);
    Workspace ws = WorkspaceFromSettings(LoadSettings(store, "/opt/marelos"));
    ws.mix = scenario.mix;
    std::ostringstream out;
    out.precision(9);
    out << "##";
    for (const auto& [minute, depth] : scenario.corners) {
        ws.profile.points[ws.profile.nextPoint++] = {minute, depth, std::stoi(scenario.mix.n2),
                                                     std::stod(scenario.mix.he)};
        out << " " << minute << "/" << depth;
    }
    out << " " << scenario.mix.n2 << "/" << scenario.mix.he << ": " << scenario.settings << "\n";
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
        Scenario scenario{{}, row.at(1)};
        std::istringstream corners(row[0]);
        for (int minute, depth; corners >> minute && corners.ignore() >> depth;)
            scenario.corners.emplace_back(minute, depth);
        if (row.size() > 2)
            scenario.mix = {row[2].substr(0, 2), row[2].substr(3, 2), row[2].substr(6)};
        golden += Outputs(scenario);
    }
    ExpectGolden("calculation_outputs.txt", golden);
}

TEST(Calculation, FirstStopIsTheListedDepthBelowTheCeilingOrAboveItWhenSharp) {
    const ModelParameters model = ModelFromSettings(Settings{});
    TissueState tissues;
    // Load compartment 1 until the tolerated pressure lies between the pressures at 9 and 12 m.
    const double wanted = (AmbientPressure(9, 1000) + AmbientPressure(12, 1000)) / 2;
    double low = 0, high = 20;
    for (int i = 0; i < 100; ++i) {
        tissues.pN2[1] = tissues.pTotal[1] = (low + high) / 2;
        (ToleratedAmbientPressure(tissues, model) < wanted ? low : high) = tissues.pN2[1];
    }
    EXPECT_EQ(FindFirstStopIndex(tissues, model, 1000, false), 4);  // 12 m
    EXPECT_EQ(FindFirstStopIndex(tissues, model, 1000, true), 3);   // 9 m
    EXPECT_EQ(FindCeilingDepth(tissues, model, 1000), 10);
    EXPECT_EQ(FindFirstStopIndex(TissueState{}, model, 1000, false), 0);
    EXPECT_EQ(FindCeilingDepth(TissueState{}, model, 1000), 0);
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
        t.Note("minutes", minutes, ui.lines);
        for (const ScriptedUi::Box& box : ui.boxes)
            t.Note("  box", static_cast<int>(box.icon), box.text);
        computed.records[4] = computed.records[5] = {.depth = 0, .toleratedPressure = 5};
        computed.computedCount = 6;
    }
}

// A line table reaching index 6000 ends silently; a zero half-time and numbers beyond any dive
// (instead of NaN) end the calculation with a message.
TEST(Calculation, ImpossibleLineTablesEndTheCalculation) {
    InMemorySettingsStore store;
    ScriptedUi ui;
    auto ws = DrawnDive({});
    ws->view.mode = 4;  // the line table is used as it is
    for (int i = 1; i < kProfileTableEnd; ++i)
        ws->profile.lines[i] = {5, 0, 0, 78, 0};
    ws->profile.lines[1].tDelta = 3;
    ws->profile.nextPoint = kProfileTableEnd;
    EXPECT_FALSE(mnuCalcSaturation(*ws, store, ui).completed);
    EXPECT_TRUE(ui.lines.empty());
    EXPECT_NEAR(ws->computed.records[3].depth, 5, 1e-12);

    const auto endsWithBox = [&](Workspace& w, std::string_view why) {
        ScriptedUi boxUi;
        EXPECT_FALSE(mnuCalcSaturation(w, store, boxUi).completed);
        ASSERT_EQ(boxUi.boxes.size(), 1u);
        EXPECT_EQ(boxUi.boxes[0].icon, MessageIcon::Critical);
        EXPECT_THAT(boxUi.boxes[0].text, ::testing::HasSubstr(why));
    };
    auto zero = DrawnDive({{3, 30}, {20, 30}});
    zero->model.halfTimeHe[5] = 0;
    endsWithBox(*zero, "Kompartiment 5");
    EXPECT_EQ(zero->computed.records[1].depth, 0);  // nothing was computed

    auto huge = DrawnDive({});
    huge->view.mode = 4;
    huge->profile.lines[1] = {1e307, 2, 2, 78, 0};
    huge->profile.nextPoint = 2;
    endsWithBox(*huge, "außerhalb des Rechenbereichs");
    for (int j = 1; j < huge->computed.computedCount; ++j)
        EXPECT_TRUE(std::isfinite(huge->computed.records[j].toleratedPressure));
}

}  // namespace
}  // namespace marelos
