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

ScheduleSegment Travel(double from, double to, double minutes, const BreathingGas& gas) {
    return {SegmentKind::Travel, from, to, minutes, 0, gas};
}
ScheduleSegment Stay(double depth, double minutes, const BreathingGas& gas,
                     SegmentKind kind = SegmentKind::Stop) {
    return {kind, depth, depth, minutes, 0, gas};
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

GasPlanSettings Rates(std::vector<std::string> cylinders, double sacDeco, bool realGas) {
    GasPlanSettings settings;
    for (const std::string& text : cylinders)
        settings.cylinders.push_back(*ParseCylinder(text));
    settings.sacDeco = sacDeco;
    settings.realGas = realGas;
    return settings;
}

GasPlan Plan(const Schedule& schedule, const GasPlanSettings& settings) {
    return PlanGas(schedule, settings, PlannerSettings{}, kAir, ",");
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

// Every figure of tests/data/transcripts/GasPlan/DivesIntegratedByHand.txt is worked out by
// hand below, P(d) = 1.01325 + 0.101043·d bar; bottom 20 l/min, minimum gas 2 × 40 l/min.
TEST(GasPlan, DivesIntegratedByHand) {
    Transcript t;
    // Flat: 2 min down to 20 m, 40 min there, 2 min up on a 12 l at 232 bar, 20 l/min everywhere.
    // P(20) = 3.03411, the mean of P(0) and P(20) 2.02368: 20 × (2 × 2.02368 × 2 + 40 × 3.03411)
    // = 2589.182 l = 218.624 bar of 12 l, 13.376 left. Minimum gas: 1 min at 20 m and the ascent,
    // 80 × (3.03411 + 2 × 2.02368) = 566.518 l = 47.836 bar, so the cylinder ends below it.
    const Schedule flat =
        Planned({Travel(0, 20, 2, kAirGas), Stay(20, 40, kAirGas)}, {Travel(20, 0, 2, kAirGas)});
    NoteGasPlan(t, "flat, ideal", Plan(flat, Rates({"D12;12;232;21/0"}, 20, false)));
    // Real: Z(21/79, 232 bar) = 0.21 × 0.9396 + 0.79 × 1.0732 = 1.0451, so the cylinder holds
    // 2747.4 / 1.0451 = 2628.8 l and keeps 39.6 l, 3.37 bar (where Z is 1); ideal end 13.376.
    NoteGasPlan(t, "flat, real", Plan(flat, Rates({"D12;12;232;21/0"}, 20, true)));
    // 1 l at 10 bar (9.869 l) is empty on the way down, P(t) = 1.01325 + 1.01043·t:
    // 20·(1.01325·t + 1.01043·t²/2) = 9.869 gives t = 0.4052 min.
    NoteGasPlan(t, "flat, tiny", Plan(flat, Rates({"T1;1;10;21/0"}, 20, false)));
    // Trimix breathes its own cylinder: the same 2589.182 l.
    const BreathingGas tx = BreathingGas::FromOxygenHelium(18, 45);
    NoteGasPlan(t, "flat, trimix",
                Plan(Planned({Travel(0, 20, 2, tx), Stay(20, 40, tx)}, {Travel(20, 0, 2, tx)}),
                     Rates({"T;12;232;18/45"}, 20, false)));

    // 40 m for 30 min on air, EAN50 from 21 m, oxygen from 6 m, decompression 15 l/min.
    // Air: 20 × (2 × 3.03411 + 28 × 5.05497) + 15 × 1.9 × 4.09506 = 3068.857 l = 129.563 bar
    // of 24 l. EAN50: 15 × (3.13516 + 1.2 × 2.52890 + 4 × 1.92264 + 0.3 × 1.77108) = 215.875 l;
    // oxygen: 15 × (6 × 1.61951 + 0.3 × 1.46795 + 10 × 1.31638 + 0.3 × 1.16482) = 355.060 l,
    // 141.588 bar left. Minimum gas 80 × (5.05497 + 1.9 × 4.09506) = 1026.847 l = 43.352 bar;
    // a stage keeps what a buddy breathes from it: 215.875 l = 19.885 bar of 11 l; oxygen has
    // no turn. Thirds: 5495.189 l, 4468.342 above the reserve; the turn keeps two thirds and the
    // reserve, 4005.741 l = 169.117 bar; the 1489.447 l to it: 121.364 l down, then 13.53 min
    // at 20 × 5.05497 l/min: at 15.532 min on 40 m. No warning.
    const Schedule deco =
        Planned({Travel(0, 40, 2, kAirGas), Stay(40, 28, kAirGas)},
                {Travel(40, 21, 1.9, kAirGas), Stay(21, 1, kEan50, SegmentKind::Switch),
                 Travel(21, 9, 1.2, kEan50), Stay(9, 4, kEan50), Travel(9, 6, 0.3, kEan50),
                 Stay(6, 1, kOxygen, SegmentKind::Switch), Stay(6, 5, kOxygen),
                 Travel(6, 3, 0.3, kOxygen), Stay(3, 10, kOxygen), Travel(3, 0, 0.3, kOxygen)});
    const GasPlan plan =
        Plan(deco, Rates({"D24;24;232;21/0", "S80;11;207;50/0", "S40;5.5;207;100/0"}, 15, false));
    NoteGasPlan(t, "deco", plan);
    // The run-time table marks the turn in the order of the run time, before the bottom row.
    Schedule withStops = deco;
    withStops.model = "ZH-L16C GF 30/85";
    withStops.stops = {{21, 1, 0, kEan50, true}};
    t.Note("run-time table", RuntimeTableLines(withStops, PlannerSettings{}, kAir, ",", plan.turn));

    // 35 min at 30 m on air, up on EAN50 without a cylinder; P(30) = 4.04454, 80.891 l/min.
    // The stage first: its 5 × 200 / 1.01325 = 986.923 l are gone after the descent's 101.156 l
    // and 10.950 min at 30 m, at 12.950; it keeps no reserve. Then D7's 1381.693 l for the
    // 1783.629 l still to go: empty at 2 + (2368.616 - 101.156) / 80.891 = 30.031, 401.936 l
    // short, end 0; it kept the minimum gas 80 × 4.04454 = 323.563 l. EAN50: 15 × 3 × 2.52890 =
    // 113.80 l without a cylinder.
    NoteGasPlan(t, "stages",
                Plan(Planned({Travel(0, 30, 2, kAirGas), Stay(30, 33, kAirGas)},
                             {Travel(30, 0, 3, kEan50)}),
                     Rates({"D7;7;200;21/0", "S5;5;200;21/0"}, 15, false)));
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
