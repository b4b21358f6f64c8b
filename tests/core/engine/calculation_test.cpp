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

namespace marelos {
namespace {

using ::testing::Contains;
using Corners = std::vector<std::pair<int, int>>;

// A dive of the golden file: corners (minute, depth) on one gas, and the stored settings it is
// calculated with.
struct Scenario {
    Corners corners;
    const char* settings;
    GasMixFields mix = {};
};

// Everything a calculation leaves for the user: its result and messages, every record, the
// stops and doses, the dive plan, the decompression text and lines, and the no-fly time.
std::string Outputs(const Scenario& scenario) {
    InMemorySettingsStore store;
    WriteEntries(store, std::string("Values/SurfaceInterval=0;Decompression/Step=True;") +
                            scenario.settings);
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

// The whole output of the calculation for dives that each take another of its paths, compared
// with tests/data/calculation_outputs.txt. The reference comparison checks the engine on random
// dives; this file pins the paths a random dive seldom takes.
TEST(CalculationOutputs, EveryPathAgainstItsGoldenFile) {
#define EAN50_FROM_21M \
    "Settings/NitroxDecoStart=21;Values/N2PerCentDecompression=50;Values/AirPressure=1013"
    const GasMixFields trimix = {"21", "44", "35"};
    const Scenario scenarios[] = {
        // No stops: 10 m steps, and a dive back at 0 m in steps and continuous.
        {{{3, 30}, {25, 30}}, "Values/SurfaceInterval=120"},
        {{{2, 12}, {12, 12}}, ""},
        {{{2, 10}, {20, 10}, {21, 0}}, ""},
        {{{2, 10}, {20, 10}, {21, 0}}, "Decompression/Step=False"},
        {{{2, 12}, {12, 12}, {14, 0}}, "Decompression/Step=True;Values/SurfaceInterval=120"},
        // Stops, the sharp first stop, deep stops, the decompression gas, the continuous ascent.
        {{{4, 40}, {30, 40}}, "Decompression/Step="},  // the plan asks for stops
        {{{4, 40}, {30, 40}}, "Decompression/Sharp1stStep=True"},
        {{{4, 40}, {30, 40}}, "Values/DeepStops=1;Values/DeepStopMode=1;Values/DeepStopTime=2"},
        {{{4, 40}, {30, 40}}, "Values/DeepStops=1;Values/DeepStopMode=2;Values/DeepStopTime=2"},
        {{{4, 40}, {30, 40}, {33, 10}}, "Values/DeepStops=1;Values/DeepStopTime=5"},
        {{{5, 45}, {35, 45}}, "Settings/NitroxDecoStart=6;Values/N2PerCentDecompression=20"},
        {{{4, 40}, {30, 40}}, "Decompression/Step=False"},
        {{{3, 20}, {20, 20}}, "Values/SurfaceInterval=5"},
        // Compartment 0, the other models and progressivities.
        {{{4, 40}, {30, 40}}, "Settings/UseC0=1;Values/C0aN2=0.1;Values/C0bN2=0.99"},
        {{{3, 30}, {25, 30}}, "Values/DecoModel=1;Values/DecoMode=1"},
        {{{3, 30}, {25, 30}}, "Values/DecoModel=2;Values/DecoMode=4"},
        {{{3, 30}, {25, 30}}, "Values/DecoModel=4;Values/DecoMode=5"},
        // The ascent gas: trimix without a decompression gas, and with air from 6 m; EAN50 from
        // 21 m just below and just above the ppO2 limit.
        {{{3, 45}, {25, 45}}, "Values/AirPressure=1013;Values/SurfaceInterval=120", trimix},
        {{{3, 45}, {25, 45}}, "Values/AirPressure=1013;Settings/NitroxDecoStart=6", trimix},
        {{{3, 40}, {30, 40}}, "Values/MaxPPO2=1.49;" EAN50_FROM_21M},
        {{{3, 40}, {30, 40}}, "Values/MaxPPO2=1.48;" EAN50_FROM_21M},
        // Repetitive dives (the no-fly recommendation), cabin pressures either side of the
        // balance with surface air, and the planner.
        {{{2, 12}, {12, 12}, {14, 0}, {40, 0}, {42, 10}, {50, 10}}, "Values/SurfaceInterval=120"},
        {{{2, 12}, {12, 12}, {14, 0}, {20, 0}, {22, 40}, {50, 40}}, ""},
        {{{4, 30}, {20, 30}},
         "Values/DecoModel=1;Values/AirPressure=1013;Values/CabinPressure=450"},
        {{{4, 30}, {20, 30}},
         "Values/DecoModel=1;Values/AirPressure=1013;Values/CabinPressure=510"},
        {{{2, 40}, {30, 40}}, "Values/AirPressure=1013.25;Planner/Enabled=1;Planner/DecoGas1=50/0"},
        {{{2, 40}, {30, 40}},
         "Values/AirPressure=1013.25;Planner/Enabled=1;Planner/DecoGas1=50/0;"
         "Cylinders/Cylinder1=D12;12;232;21/0"},
        // The table end in the dive phase, the decompression and the surface interval, and a
        // first stop below 300 m.
        {{{3, 10}, {6000, 10}}, "Settings/MaxHScale=6000"},
        {{{3, 60}, {5500, 60}}, "Settings/MaxHScale=6000"},
        {{{3, 5}, {5900, 5}}, "Settings/MaxHScale=6000;Values/SurfaceInterval=300"},
        {{{60, 600}, {400, 600}}, "Settings/MaxHScale=500"},
    };
    std::string golden;
    for (const Scenario& scenario : scenarios)
        golden += Outputs(scenario);
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
}

TEST(CheckDecompression, CountsMinutesAboveTheToleranceAndWarnsTwiceAboveThree) {
    ComputedProfile computed;
    computed.records[1] = {.depth = 0, .toleratedPressure = 1.11};  // 1.1 x 1.0 bar < 1.11
    computed.records[2] = {.depth = 0, .toleratedPressure = 1.1};   // equal: allowed
    computed.records[3] = {.depth = 10, .toleratedPressure = 2.3};  // 1.1 x 2.01043 = 2.2115
    computed.computedCount = 4;
    ScriptedUi ui;
    EXPECT_EQ(CheckDecompression(computed, 1000, ui, true), 2);
    EXPECT_THAT(ui.lines,
                ::testing::ElementsAre(
                    "Überprüfe Dekompressionsstatus...",
                    "Während 2 Minute(n) wurden die Dekompressionsregeln nicht beachtet!"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].icon, MessageIcon::Information);

    computed.records[4] = {.depth = 0, .toleratedPressure = 5};
    computed.records[5] = {.depth = 0, .toleratedPressure = 5};
    computed.computedCount = 6;
    ScriptedUi second;
    EXPECT_EQ(CheckDecompression(computed, 1000, second, true), 4);
    EXPECT_EQ(second.boxes.size(), 2u);
    EXPECT_EQ(second.lines.back(), "Dekompression unzureichend!");
    ScriptedUi silent;
    EXPECT_EQ(CheckDecompression(computed, 1000, silent, false), 4);
    EXPECT_TRUE(silent.boxes.empty());
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
