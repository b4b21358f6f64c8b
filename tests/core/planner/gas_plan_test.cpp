#include "core/planner/gas_plan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "core/engine/calculation.h"
#include "core/graphics/graph_layout.h"
#include "core/planner/dive_slate.h"
#include "core/planner/real_gas.h"
#include "core/planner/runtime_table.h"
#include "core/settings/memory_settings_store.h"
#include "tests/core/engine/outputs_test_support.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

// Ambient pressure in salt water at 1013.25 mbar: P(d) = 1.01325 + 0.101043·d bar.
constexpr double kAir = 1013.25;
const BreathingGas kAirGas = BreathingGas::FromProfileLine(78, 0);  // 21 % O2, as drawn
const BreathingGas kEan50 = BreathingGas::FromOxygenHelium(50, 0);
const BreathingGas kOxygen = BreathingGas::FromOxygenHelium(100, 0);

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

// Every cylinder's litres and pressures, the minimum gas, the turn and the warnings.
void NoteGasPlan(Transcript& t, const std::string& label, const GasPlan& plan) {
    for (const CylinderUse& use : plan.cylinders) {
        const CylinderPressures& p = use.pressures;
        t.Note(label + " " + use.cylinder.name + " l used/missing/reserve", use.usedLitres,
               use.missingLitres, use.reserveLitres);
        t.Note("  bar used/end/reserve/turn, ideal end", p.used, p.end, p.reserve, p.turn,
               use.ideal.end);
        t.Note("  empty at, below reserve, bottom", use.emptyAt, use.belowReserve, use.bottom);
    }
    t.Note(label + " minimum gas l", plan.minimumGasLitres);
    if (plan.turn) t.Note("  turn min/m/bar", plan.turn->runTime, plan.turn->depth, plan.turn->bar);
    t.Note("  warnings", plan.warnings);
}

// The dives of tests/data/gas_plan_dives.tsv, whose figures are worked out by hand there: each
// gas plan, and the run-time table with the turn.
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
        NoteGasPlan(t, row[0], plan);
        dive.model = "ZH-L16C GF 30/85";
        t.Note("  run-time table",
               RuntimeTableLines(dive, PlannerSettings{}, kAir, ",", plan.turn));
    }
}

// Z of the reference equations of state at 15 °C, as published (tests/data/real_gas_z.tsv).
TEST(RealGas, CompressibilityWithinOnePercentOfThePublishedTables) {
    for (const std::vector<std::string>& row : DataRows("real_gas_z.tsv")) {
        const BreathingGas gas{std::stod(row[0]), std::stod(row[1]), std::stod(row[2])};
        EXPECT_NEAR(Compressibility(gas, std::stod(row[3])) / std::stod(row[4]), 1, 0.01)
            << GasName(gas) << " " << row[3] << " bar";
    }
    // The pressure of a content is the inverse of the content of a pressure, also for trimix.
    const BreathingGas trimix = BreathingGas::FromOxygenHelium(18, 45);
    for (const double bar : {0.01, 1.0, 50.0, 232.0, 350.0}) {  // 0.01 bar: 0.12 l
        EXPECT_NEAR(PressureOfContent(trimix, 12, GasContent(trimix, 12, bar, true), true), bar,
                    1e-6);
    }
    EXPECT_EQ(PressureOfContent(trimix, 12, -5, true), 0);
}

// The stored cylinders and rates (a refused cylinder is dropped and the others move up, a rate
// outside its range loads as the default) are a case of the settings golden file; the gas
// plan's warnings after the planner's, at the end of the messages, are in the calculation's.
TEST(GasPlanSettings, CylinderTexts) {
    for (const std::vector<std::string>& row : DataRows("cylinders.tsv")) {
        const std::optional<Cylinder> cylinder = ParseCylinder(row[0]);
        EXPECT_EQ(cylinder ? CylinderText(*cylinder) : "refused",
                  row[1] == "kept" ? row[0] : row[1]);
    }
}

const BreathingGas kTrimix = BreathingGas::FromOxygenHelium(18, 45);

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
