#include "core/planner/dive_slate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "core/graphics/graph_layout.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

const BreathingGas kTrimix = BreathingGas::FromOxygenHelium(18, 45);
const BreathingGas kEan50 = BreathingGas::FromOxygenHelium(50, 0);
const BreathingGas kOxygen = BreathingGas::FromOxygenHelium(100, 0);

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
    settings.planner.decoGases = {{kEan50, {}}, {kOxygen, {}}};
    DiveSlate slate = DiveSlateOf("/home/taucher/trimix-60m.mrp", plans, settings);
    Transcript t;
    t.Note("title", slate.title).Note("facts", slate.facts).Note("warnings", slate.warnings);

    RecordingCanvas page(kSlateWidth, kSlateHeight);
    DrawDiveSlate(page, slate);
    std::vector<std::string> cells;  // each line of each cell
    for (const auto* rows : {&slate.table.rows, &slate.table.gasRows}) {
        for (const ContingencyRow& row : *rows) {
            for (const std::string& cell : row.cells) {
                std::istringstream lines(cell);
                for (std::string line; std::getline(lines, line);)
                    cells.push_back(line);
            }
        }
    }
    for (const std::string& cell : cells)
        EXPECT_THAT(page.Texts(), Contains(cell));
    const auto readable = [&](const RecordingCanvas& drawn) {
        for (const RecordingCanvas::Call& text : drawn.Of(RecordingCanvas::Call::kText)) {
            const bool cell = std::find(cells.begin(), cells.end(), text.text) != cells.end();
            EXPECT_GE(text.font.size, cell ? 12 : 9) << text.text;
            EXPECT_EQ(text.colour, 0) << text.text;
            EXPECT_LE(text.x1 + TextWidth(text.text, text.font), kSlateWidth) << text.text;
            EXPECT_LE(text.y1 + TextHeight(text.font), kSlateHeight) << text.text;
        }
    };
    readable(page);
    // Columns: depth, gas, then the plans; the two marked ones share a heavy line between them.
    int heavyVerticals = 0;
    for (const RecordingCanvas::Call& line : page.Of(RecordingCanvas::Call::kLine))
        heavyVerticals += line.x1 == line.x2 && line.width == 4;
    EXPECT_EQ(heavyVerticals, 2 + 3);  // the table's sides, and around plans 2 and 3

    slate.warnings.assign(35, "Warnung: eine lange Warnung, die eine ganze Zeile füllt.");
    RecordingCanvas smaller(kSlateWidth, kSlateHeight);
    DrawDiveSlate(smaller, slate);
    EXPECT_EQ(smaller.Of(RecordingCanvas::Call::kText).back().text, slate.warnings.back());
    EXPECT_LT(smaller.Of(RecordingCanvas::Call::kText).back().font.size, 12);
    readable(smaller);
    slate.warnings.assign(200, "Warnung: eine lange Warnung, die eine ganze Zeile füllt.");
    DrawDiveSlate(page, slate);
    readable(page);
    const RecordingCanvas::Call last = page.Of(RecordingCanvas::Call::kText).back();
    EXPECT_THAT(last.text, HasSubstr("passt nicht auf die Seite"));
    EXPECT_LE(last.y1 + TextHeight(last.font), kSlateHeight);
}

}  // namespace
}  // namespace marelos
