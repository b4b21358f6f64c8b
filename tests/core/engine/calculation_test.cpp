#include "core/engine/calculation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/engine/oxygen.h"
#include "core/text/val.h"
#include "tests/core/engine/outputs_test_support.h"

namespace marelos {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

using Corners = std::initializer_list<std::pair<int, int>>;

// A dive drawn as the user draws it: corners (minute, depth) after the start point, on air.
class CalculationTest : public ::testing::Test {
  protected:
    CalculationTest()
        : workspace_(std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}))) {}

    Workspace& ws() { return *workspace_; }

    // Starts a new workspace with the dive; the messages of earlier dives stay.
    void Draw(Corners corners) { workspace_ = DrawnDive(corners); }

    CalculationResult Calculate() {
        ui_.lines.clear();
        return mnuCalcSaturation(ws(), store_, ui_);
    }

    // The records after the dive phase of `diveMinutes` records.
    std::vector<const ComputedMinute*> RecordsAfter(int diveMinutes) {
        std::vector<const ComputedMinute*> records;
        for (int j = diveMinutes + 1; j < ws().computed.computedCount; ++j) {
            records.push_back(&ws().computed.records[j]);
        }
        return records;
    }

    std::vector<double> DepthsAfter(int diveMinutes) {
        std::vector<double> depths;
        for (const ComputedMinute* record : RecordsAfter(diveMinutes))
            depths.push_back(record->depth);
        return depths;
    }

    // A fresh workspace and message list for the next dive of a test.
    void Restart() {
        workspace_ = std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}));
        ui_ = ScriptedUi{};
    }

    // A calculation that ended early with one critical box naming why.
    void ExpectEndedWithBox(const CalculationResult& result, std::string_view why) {
        EXPECT_FALSE(result.completed);
        ASSERT_EQ(ui_.boxes.size(), 1u);
        EXPECT_EQ(ui_.boxes[0].icon, MessageIcon::Critical);
        EXPECT_NE(ui_.boxes[0].text.find(why), std::string::npos) << ui_.boxes[0].text;
    }

    int FirstStopDepth() const {
        for (const std::string& line : ui_.lines) {
            if (line.starts_with("Erste Deko-Stufe auf "))
                return static_cast<int>(Val(line.substr(21)));
        }
        return -1;
    }

    std::unique_ptr<Workspace> workspace_;
    InMemorySettingsStore store_;
    ScriptedUi ui_;
};

TEST_F(CalculationTest, ReportsTheDiveInTheMessageListInOrder) {
    Draw({{3, 30}, {25, 30}});
    const CalculationResult result = Calculate();
    ASSERT_TRUE(result.completed);
    EXPECT_EQ(result.maxDepth, 30);
    EXPECT_EQ(result.diveMinutes, 25);
    EXPECT_EQ(result.totalTime, 25);
    const auto whole = [](double value) { return std::to_string(static_cast<int>(value)); };
    EXPECT_THAT(ui_.lines,
                ElementsAre("Berechne Profil", "Erste Deko-Stufe auf 6 m",
                            "Überprüfe Dekompressionsstatus...", "Dekompressionsphase OK.",
                            "Oxygen Tolerance Units: " + whole(TotalOtu(ws().computed)),
                            "ZNS Tagesdosis: " + whole(DailyCns(ws().computed)) + "%",
                            "ZNS Tauchgangsdosis: " + whole(DiveCns(ws().computed)) + "%",
                            "Max.Tiefe: 30 m Wassertiefe", "Zeit: 25 min.",
                            "Dekompressionsmodell: ZH-L16C", "Progressivität: Normal"));
    EXPECT_TRUE(ui_.boxes.empty());
    // The descent walks 10 m per minute, one record per minute, then 22 minutes at 30 m.
    EXPECT_EQ(ws().computed.records[1].depth, 10);
    EXPECT_EQ(ws().computed.records[3].depth, 30);
    EXPECT_EQ(ws().computed.records[25].depth, 30);
    EXPECT_EQ(ws().computed.records[25].n2Percent, 78);
}

TEST_F(CalculationTest, ANoStopDiveAscendsTenMetresAMinuteWithStagedRecordsOnly) {
    Draw({{2, 12}, {12, 12}});
    ws().settings.surfaceInterval = 0;
    Calculate();
    EXPECT_THAT(ui_.lines, Contains("Erste Deko-Stufe auf 0 m"));
    // Records at 10 m and 0 m, then the minute at 0 m.
    EXPECT_THAT(DepthsAfter(12), ElementsAre(10, 0, 0));
    for (int k = 1; k <= kStopTableEnd; ++k)
        EXPECT_EQ(ws().profile.stops[k].time, 0);

    Draw({{2, 10}, {20, 10}, {21, 0}});
    ws().settings.surfaceInterval = 0;
    Calculate();
    EXPECT_EQ(RecordsAfter(21).size(), 2u);  // the 1-metre step at 0 m and the minute at 0 m
    store_.WriteSetting("Decompression", "Step", "False");
    Calculate();
    EXPECT_EQ(RecordsAfter(21).size(), 0u);
}

TEST_F(CalculationTest, EveryStopHasOneRecordMoreThanItsStopTime) {
    Draw({{4, 40}, {30, 40}});
    ws().settings.surfaceInterval = 0;
    Calculate();
    const int first = FirstStopDepth();
    ASSERT_GE(first, 6);
    int stopsFound = 0;
    for (int k = 1; k <= kStopTableEnd; ++k) {
        const int time = ws().profile.stops[k].time;
        if (time == 0) continue;
        ++stopsFound;
        EXPECT_LE(3 * k, first);
        int atStop = 0;
        for (const ComputedMinute* record : RecordsAfter(30))
            atStop += record->depth == 3 * k;
        EXPECT_EQ(atStop, time + 1) << "stop at " << 3 * k << " m";
    }
    EXPECT_EQ(stopsFound, first / 3);
    // The phase ends with its one record at 0 m, where the tolerated pressure allows the surface.
    const ComputedMinute& last = ws().computed.records[ws().computed.computedCount - 1];
    EXPECT_EQ(last.depth, 0);
    EXPECT_LE(last.toleratedPressure, AmbientPressure(0, 1000));
}

TEST_F(CalculationTest, FirstStopIsTheListedDepthBelowTheCeilingOrAboveItWhenSharp) {
    const ModelParameters& model = ws().model;
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

TEST_F(CalculationTest, DeepStopLiesHalfWayToTheSurfaceOrToTheFirstStop) {
    Draw({{4, 40}, {30, 40}});
    ws().settings.surfaceInterval = 0;
    ws().settings.deepStops = 1;
    ws().settings.deepStopMode = 1;
    ws().settings.deepStopTime = 2;
    Calculate();
    std::vector<double> depths = DepthsAfter(30);
    ASSERT_GE(depths.size(), 5u);
    EXPECT_THAT(std::vector<double>(depths.begin(), depths.begin() + 5),
                ElementsAre(40, 30, 20, 20, 20));
    EXPECT_EQ(ws().computed.records[31].n2Percent, 78);  // the decompression gas, here air

    ws().settings.deepStopMode = 2;
    Calculate();
    const int first = FirstStopDepth();
    const double deepStop = static_cast<int>((first + 40) / 2);
    depths = DepthsAfter(30);
    EXPECT_EQ(std::count(depths.begin(), depths.end(), deepStop), 3);  // arrival and two minutes
}

TEST_F(CalculationTest, NoDeepStopWhenItWouldNotLieBelowTheFirstStop) {
    Draw({{4, 40}, {30, 40}, {33, 10}});
    ws().settings.surfaceInterval = 0;
    ws().settings.deepStops = 1;
    ws().settings.deepStopMode = 1;
    ws().settings.deepStopTime = 5;
    Calculate();
    ASSERT_GE(FirstStopDepth(), 6);  // Int(10 / 2) = 5 m is not below it
    for (const ComputedMinute* record : RecordsAfter(33))
        EXPECT_NE(record->depth, 5);
}

TEST_F(CalculationTest, DecompressionGasReplacesTheBottomGasAboveItsSwitchDepth) {
    Draw({{5, 45}, {35, 45}});
    ws().settings.surfaceInterval = 0;
    ws().settings.nitroxDecoStart = 6;
    ws().settings.n2PerCentDecompression = 20;
    ws().settings.hePerCentDecompression = 0;
    Calculate();
    ASSERT_GE(FirstStopDepth(), 9);
    bool arrivedAt6 = false;
    for (const ComputedMinute* record : RecordsAfter(35)) {
        if (record->depth > 6) {
            EXPECT_EQ(record->n2Percent, 78) << record->depth;
        } else if (record->depth == 6 && !arrivedAt6) {
            EXPECT_EQ(record->n2Percent, 78);  // the gas is chosen when the pass starts at 9 m
            arrivedAt6 = true;
        } else {
            EXPECT_EQ(record->n2Percent, 20) << record->depth;
        }
    }
    EXPECT_TRUE(arrivedAt6);
}

TEST_F(CalculationTest, ContinuousAscentFollowsTheToleratedPressureAndWritesNoStops) {
    store_.WriteSetting("Decompression", "Step", "False");
    Draw({{4, 40}, {30, 40}});
    ws().settings.surfaceInterval = 0;
    ws().settings.n2PerCentDecompression = 78;
    Calculate();
    for (int k = 1; k <= kStopTableEnd; ++k)
        EXPECT_EQ(ws().profile.stops[k].time, 0);
    const std::vector<const ComputedMinute*> records = RecordsAfter(30);
    // Depths between whole metres come only from following the tolerated pressure of the minute
    // before (10 x tolerated - 9.5); otherwise the diver stays.
    int followed = 0;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const double depth = records[i]->depth;
        if (depth == std::floor(depth) || depth == records[i - 1]->depth) continue;
        EXPECT_NEAR(depth, DepthFromPressure(records[i - 1]->toleratedPressure) + 0.5, 1e-12);
        ++followed;
    }
    EXPECT_GT(followed, 5);
    EXPECT_LE(records.back()->toleratedPressure, 0.95);
    EXPECT_THAT(ui_.lines, ::testing::Not(Contains(::testing::StartsWith("Erste Deko-Stufe"))));
}

TEST_F(CalculationTest, SurfaceIntervalRecordsHoldOnlyTheTissuesAndWidenTheTimeAxis) {
    Draw({{3, 20}, {20, 20}});
    ws().settings.surfaceInterval = 0;
    Calculate();
    const int withoutInterval = ws().computed.computedCount;
    ws().settings.surfaceInterval = 5;
    Calculate();
    EXPECT_EQ(ws().computed.computedCount, withoutInterval + 5);
    EXPECT_EQ(ui_.progressSteps, 6);
    EXPECT_EQ(ui_.lastProgress, 5);
    EXPECT_TRUE(ui_.progressReset);
    const ComputedMinute& surface = ws().computed.records[withoutInterval + 2];
    EXPECT_EQ(surface.depth, 0);
    EXPECT_EQ(surface.n2Percent, 0);
    EXPECT_EQ(surface.otu, 0);
    EXPECT_EQ(surface.cnsDay, 0);
    EXPECT_GT(surface.pN2[16], 0);
    EXPECT_EQ(ws().computed.records[ws().computed.computedCount].pN2[16], 0);  // next free record

    Draw({{3, 20}, {55, 20}});
    ws().settings.surfaceInterval = 120;
    Calculate();
    EXPECT_EQ(ws().settings.maxHScale, 55 + 120 + 10);
}

TEST_F(CalculationTest, Compartment0CountsOnlyWhenSwitchedOn) {
    Draw({{4, 40}, {30, 40}});
    Calculate();
    const std::vector<ComputedMinute> before(ws().computed.records.begin(),
                                             ws().computed.records.begin() + 60);
    SetCompartment0(ws().model, {0.2, 0.1, 0.99, 0.1, 0.1, 0.99}, false);
    Calculate();
    for (int j = 1; j < 60; ++j) {
        EXPECT_EQ(ws().computed.records[j].toleratedPressure, before[j].toleratedPressure);
        EXPECT_EQ(ws().computed.records[j].pN2[0], 0);
    }
    SetCompartment0(ws().model, {0.2, 0.1, 0.99, 0.1, 0.1, 0.99}, true);
    Calculate();
    EXPECT_GT(ws().computed.records[10].pN2[0], 0);
    EXPECT_NE(ws().computed.records[10].toleratedPressure, before[10].toleratedPressure);
}

// A calculation writes whole records and clears only what an earlier, longer one left beyond
// its own: after a long dive with compartment 0, a short dive without it, and a calculation
// that stops before its first record, leave everything as in a fresh workspace.
TEST_F(CalculationTest, ALongerEarlierCalculationLeavesNothingBehind) {
    const Compartment0Values compartment0 = {0.2, 0.1, 0.99, 0.1, 0.1, 0.99};
    const double halfTimeHe5 = ws().model.halfTimeHe[5];
    const auto dive = [](Workspace& workspace, Corners corners) {
        NewProfile(workspace);
        workspace.settings.maxHScale = 600;
        workspace.settings.surfaceInterval = 30;
        DiveProfile& profile = workspace.profile;
        profile.points[profile.nextPoint++] = {0, 0, 78, 0};
        for (const auto& [minute, depth] : corners)
            profile.points[profile.nextPoint++] = {minute, depth, 78, 0};
    };
    const auto afterALongDive = [&](double shortHalfTimeHe5, const std::string& what) {
        SetCompartment0(ws().model, compartment0, true);
        ws().model.halfTimeHe[5] = halfTimeHe5;
        dive(ws(), {{4, 60}, {90, 60}});
        Calculate();
        ASSERT_GT(ws().computed.computedCount, 400) << what;

        const auto fresh = std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}));
        for (Workspace* workspace : {&ws(), fresh.get()}) {
            SetCompartment0(workspace->model, compartment0, false);
            workspace->model.halfTimeHe[5] = shortHalfTimeHe5;
            dive(*workspace, {{2, 12}, {10, 12}});
        }
        ScriptedUi freshUi;
        const CalculationResult expected = mnuCalcSaturation(*fresh, store_, freshUi);
        const CalculationResult result = Calculate();
        EXPECT_EQ(result.completed, expected.completed) << what;
        EXPECT_EQ(ui_.lines, freshUi.lines) << what;
        EXPECT_EQ(ws().computed.computedCount, fresh->computed.computedCount) << what;
        EXPECT_EQ(ws().tissues, fresh->tissues) << what;
        const std::vector<ComputedMinute>& records = ws().computed.records;
        for (std::size_t j = 0; j < records.size(); ++j) {
            ASSERT_EQ(std::memcmp(&records[j], &fresh->computed.records[j], sizeof records[j]), 0)
                << what << ": record " << j;
        }
    };
    afterALongDive(halfTimeHe5, "a short dive");
    afterALongDive(0, "a calculation stopped by a zero half-time");
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
                ElementsAre("Überprüfe Dekompressionsstatus...",
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

// The dive phase stops at the table end, a line table reaching index 6000 ends silently, and the
// surface interval stops there with the report following.
TEST_F(CalculationTest, TheTableEndStopsTheDiveSilentlyInALineTableButNotTheSurfaceInterval) {
    Draw({{3, 10}, {6000, 10}});
    ws().settings.maxHScale = 6000;
    EXPECT_FALSE(Calculate().completed);
    EXPECT_EQ(ui_.lines.back(), "Maximale Array-Größe erreicht.");
    EXPECT_EQ(ws().computed.computedCount, 6000);
    EXPECT_EQ(ws().computed.records[5999].depth, 10);
    EXPECT_EQ(ws().computed.records[6000].depth, 0);
    EXPECT_THAT(ui_.lines, ::testing::Not(Contains("Überprüfe Dekompressionsstatus...")));

    Restart();
    ws().view.mode = 4;
    for (int i = 1; i < kProfileTableEnd; ++i)
        ws().profile.lines[i] = {5, 0, 0, 78, 0};
    ws().profile.lines[1].tDelta = 3;
    ws().profile.nextPoint = kProfileTableEnd;
    EXPECT_FALSE(Calculate().completed);
    EXPECT_TRUE(ui_.lines.empty());
    EXPECT_NEAR(ws().computed.records[3].depth, 5, 1e-12);

    Draw({{3, 5}, {5900, 5}});  // shallow enough to need no stop
    ws().settings.maxHScale = 6000;
    ws().settings.surfaceInterval = 300;
    EXPECT_TRUE(Calculate().completed);
    EXPECT_EQ(ws().computed.computedCount, 6000);
    EXPECT_THAT(ui_.lines, Contains("Maximale Array-Größe erreicht."));
    EXPECT_EQ(ui_.lines.back(), "Progressivität: Normal");
}

// A zero half-time, numbers beyond any dive (instead of NaN) and a first stop below 300 m.
TEST_F(CalculationTest, ImpossibleDivesEndTheCalculationWithAMessage) {
    Draw({{3, 30}, {20, 30}});
    ws().model.halfTimeHe[5] = 0;
    ExpectEndedWithBox(Calculate(), "Kompartiment 5");
    EXPECT_EQ(ws().computed.records[1].depth, 0);  // nothing was computed

    Restart();
    ws().view.mode = 4;  // the line table is used as it is
    ws().profile.lines[1] = {1e307, 2, 2, 78, 0};
    ws().profile.nextPoint = 2;
    ExpectEndedWithBox(Calculate(), "außerhalb des Rechenbereichs");
    for (int j = 1; j < ws().computed.computedCount; ++j)
        EXPECT_TRUE(std::isfinite(ws().computed.records[j].toleratedPressure));

    Restart();
    Draw({{60, 600}, {400, 600}});
    ws().settings.maxHScale = 500;
    ExpectEndedWithBox(Calculate(), "tiefer als 300 m");
    EXPECT_THAT(ui_.lines, ::testing::Not(Contains(::testing::StartsWith("Erste Deko-Stufe"))));
}

}  // namespace
}  // namespace marelos
