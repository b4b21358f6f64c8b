#include "core/graphics/analysis_graphs.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "core/engine/calculation.h"
#include "core/graphics/bar_graph.h"
#include "core/graphics/graph_layout.h"
#include "core/graphics/profile_graph.h"
#include "core/settings/memory_settings_store.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/graphics_queries.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

using Call = RecordingCanvas::Call;

std::unique_ptr<Workspace> EmptyWorkspace() {
    return std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}));
}

// A computed profile of the given depths, one record per minute, on air.
void SetDepths(Workspace& workspace, std::initializer_list<double> depths) {
    int j = 1;
    for (const double depth : depths) {
        workspace.computed.records[j].depth = depth;
        workspace.computed.records[j].n2Percent = 78;
        ++j;
    }
    workspace.computed.computedCount = j;
}

// The tissue, pressure ratio, ascent speed, computed profile, comparison and CNS graphs of small
// dives, every drawing call against tests/data.
TEST(AnalysisGraphs, DrawingsMatchTheirGoldenFile) {
    auto workspace = EmptyWorkspace();
    EXPECT_EQ(AxisMaximum(1, *workspace), 1);  // at least 1 bar without any pressure
    EXPECT_EQ(AxisMaximum(7, *workspace), 1);
    workspace->settings.showCompartment.fill(0);
    workspace->settings.showCompartment[5] = 1;
    for (int j = 1; j <= 3; ++j) {
        workspace->computed.records[j].pTotal.fill(2.5);
        workspace->computed.records[j].pN2.fill(2.0);
    }
    workspace->computed.computedCount = 4;
    EXPECT_EQ(AxisMaximum(1, *workspace), 3);
    RecordingCanvas canvas(9300, 6300);
    std::string dump;
    const auto keep = [&](const char* what) {
        dump += std::string("# ") + what + "\n" + canvas.Dump();
    };
    DrawTissueGraph(canvas, TissueGas::Nitrogen, *workspace);
    keep("N2 of compartment 5, 2 bar for three minutes");
    workspace = EmptyWorkspace();
    for (const int scale : {60, 21, 20}) {  // time labels every 10, 5 and 1 minutes
        DrawAnalysisAxes(canvas, workspace->settings, 3, scale);
        keep("axes");
    }
    DrawPressureRatioGraph(canvas, *workspace);
    keep("pressure ratio");
    // 10 m/min. from the bottom; 3, 5, 3, then none and the step to the empty record at 0 m;
    // never deeper than 1 m: no summary.
    for (const auto depths :
         {std::initializer_list<double>{30, 30, 20, 10, 0}, {20, 17, 12, 9, 9}, {0.5, 0.5}}) {
        SetDepths(*workspace, depths);
        DrawAscentSpeeds(canvas, *workspace);
        keep("ascent speeds");
    }
    workspace = EmptyWorkspace();
    SetDepths(*workspace, {10, 20, 20, 10});
    workspace->profile.marks[0] = {"ATT", 2};
    workspace->profile.marks[1] = {"Abstieg", 2};
    workspace->profile.markCount = 1;
    for (const bool computerMarks : {true, false}) {
        DrawComputedProfile(canvas, *workspace, computerMarks);
        keep("computed profile with marks");
    }
    DrawProfileComparison(canvas, *workspace, KeepProfile(workspace->computed), false);
    keep("comparison");
    workspace = EmptyWorkspace();
    workspace->computed.records[1].cnsDay = 40;
    workspace->computed.computedCount = 3;
    DrawCnsDayGraph(canvas, *workspace);
    keep("CNS day dose 40 %, decaying at the surface");
    // The line's colour for air, then in many colours for trimix 25/40/35, air and oxygen.
    dump += "# gas line colours " + std::to_string(GasLineColour(workspace->settings, 78, 0));
    workspace->settings.useMultiColorLine = 1;
    for (const auto& [n2, he] : {std::pair{40, 35}, std::pair{78, 0}, std::pair{0, 0}})
        dump += " " + std::to_string(GasLineColour(workspace->settings, n2, he));
    ExpectGolden("golden/analysis_graphs.txt", dump + "\n");
}

TEST(AnalysisGraphs, SaturationTableWithCompartment0AndTheLocaleSeparator) {
    auto workspace = EmptyWorkspace();
    SetDepths(*workspace, {10.5});
    workspace->computed.records[1].toleratedPressure = 0.25;
    workspace->computed.records[1].pTotal.fill(1.5);
    Transcript t;
    t.Note("mit Komma", SaturationTable(*workspace, ","));
    workspace->model.firstCompartment = 0;
    t.Note("mit Kompartiment 0", SaturationTable(*workspace, "."));
}

TEST(AnalysisGraphs, CrowdedGraphsKeepLabelsApartAndCurvesInsideTheAxes) {
    auto workspace = EmptyWorkspace();
    workspace->settings.maxHScale = 30;
    // Ascents of 2 and 5 m/min. in turn: every minute changes the speed and wants a label.
    std::vector<double> depths;
    for (double depth = 60; depth > 0; depth -= depths.size() % 2 == 0 ? 2 : 5)
        depths.push_back(depth);
    int j = 1;
    for (const double depth : depths)
        workspace->computed.records[j++].depth = depth;
    workspace->computed.computedCount = j;  // 17 minutes, within the axis
    RecordingCanvas canvas(9300, 6300);
    DrawAscentSpeeds(canvas, *workspace);
    const std::vector<Box> labels =
        TextBoxesWhere(canvas, [](const Call& text) { return text.text.starts_with("v="); });
    EXPECT_GE(labels.size(), 4u);
    EXPECT_FALSE(AnyTwoOverlap(labels));
    // A dose above the axis and a dive longer than it: the curve stops at the axis ends.
    for (int minute = 1; minute <= 60; ++minute)
        workspace->computed.records[minute].cnsDay = 10;
    workspace->computed.computedCount = 61;
    DrawCnsDayGraph(canvas, *workspace);
    const GraphGeometry g = GraphGeometry::Of(canvas);
    const std::vector<Call> dose = LinesOfColour(canvas, CompartmentColour(1));
    EXPECT_FALSE(dose.empty());
    for (const Call& line : dose) {
        EXPECT_TRUE(g.Plot().Contains({line.x1, line.y1, line.x1, line.y1}));
        EXPECT_TRUE(g.Plot().Contains({line.x2, line.y2, line.x2, line.y2}));
    }
}

// The text export of a calculated 300-minute dive, byte for byte against tests/data.
TEST(SaturationExport, A300MinuteDiveMatchesItsGoldenTable) {
    auto workspace = EmptyWorkspace();
    workspace->settings.maxHScale = 300;
    workspace->settings.surfaceInterval = 60;
    workspace->profile.points[workspace->profile.nextPoint++] = {4, 25, 68, 0};
    workspace->profile.points[workspace->profile.nextPoint++] = {230, 25, 68, 0};
    InMemorySettingsStore store;
    ScriptedUi ui;
    mnuCalcSaturation(*workspace, store, ui);
    std::string text;
    for (const std::string& line : SaturationTable(*workspace, "."))
        text += line + "\r\n";
    ExpectGolden("saturation_300_minutes.txt", text);
    EXPECT_GT(workspace->computed.computedCount, 300);
}

// Keeps every cell poked into it as a line "row column text"; refuses one cell if asked to.
class RecordingSheet : public SpreadsheetLink {
  public:
    bool Poke(int row, int column, std::string_view text) override {
        cells +=
            std::to_string(row) + " " + std::to_string(column) + " " + std::string(text) + "\n";
        return !(row == refuseRow && column == refuseColumn);
    }
    std::optional<Failure> Finish() override {
        finished = true;
        return std::nullopt;
    }
    bool Open() override { return opens; }
    std::string Location() const override { return "/daten/tg-Gewebesättigung.xlsx"; }
    std::string cells;
    int refuseRow = -1, refuseColumn = -1;
    bool finished = false;
    bool opens = true;
};

// Titles, then one row per minute without compartment 0; where the file is, also when no program
// opens it; a refused cell asks whether to stop.
TEST(SpreadsheetExport, TitlesRowsWhereTheFileIsAndARefusedCell) {
    auto workspace = EmptyWorkspace();
    workspace->model.firstCompartment = 0;
    SetDepths(*workspace, {10, 20});
    workspace->computed.records[2].pTotal[16] = 1.25;
    ScriptedUi ui;
    RecordingSheet sheet;
    ASSERT_TRUE(ExportSaturationToSpreadsheet(*workspace, ui, sheet));
    ExpectGolden("golden/saturation_sheet.txt", sheet.cells);
    Transcript t;
    t.Note("geschrieben: abgeschlossen, Fortschritt", sheet.finished, ui.lastProgress, ui.Said());
    RecordingSheet unopened;
    unopened.opens = false;
    const bool written = ExportSaturationToSpreadsheet(*workspace, ui, unopened);
    t.Note("kein Programm öffnet sie", written, ui.Said());
    for (const Answer answer : {Answer::No, Answer::Yes}) {  // go on, then stop
        RecordingSheet refusing;
        refusing.refuseRow = refusing.refuseColumn = 2;
        ui.answers = {answer};
        const bool done = ExportSaturationToSpreadsheet(*workspace, ui, refusing);
        t.Note("Zelle 2/2 abgelehnt", done, refusing.finished, ui.Said());
    }
    // Beside the profile, named after it; into the profile folder without a file.
    t.Note("Arbeitsmappe", SaturationWorkbookPath("/daten/tg12.mrp", "/profile", "20261206-021500"),
           SaturationWorkbookPath("", "/profile", "20261206-021500"));
}

TEST(BarGraph, LeadingCompartmentScaleBarsAndLines) {
    auto workspace = EmptyWorkspace();
    ComputedMinute& record = workspace->computed.records[5];
    record.pTotal.fill(0.5);
    record.pTotal[3] = 2.0;
    record.pTotal[9] = 2.0;
    record.n2Percent = 78;
    EXPECT_EQ(LeadingCompartment(*workspace, 5), 9);  // the smaller a of the slower one
    record.pTotal[9] = 0.5;
    EXPECT_EQ(LeadingCompartment(*workspace, 5), 3);
    // A surface minute weights both gases equally (0.001 each): a = (0.8618 + 1.1919) / 2 < 2.
    record.n2Percent = 0;
    EXPECT_EQ(LeadingCompartment(*workspace, 5), 3);
    record.pTotal.fill(0);
    EXPECT_EQ(LeadingCompartment(*workspace, 5), -1);

    // The scale, the bars and the pressure lines of minute 2.
    workspace->settings.airPressure = 1013;
    workspace->computed.records[2].depth = 90;  // 10.107 bar, rounded to 10
    workspace->computed.records[2].pTotal.fill(3);
    workspace->computed.records[2].toleratedPressure = 1.2;
    workspace->computed.computedCount = 3;
    EXPECT_EQ(BarPressureScale(*workspace), 11);
    RecordingCanvas canvas(9000, 6500);
    DrawCompartmentBars(canvas, *workspace, 2);  // 16 bars (compartment 0 is off), 11 bar lines
    ExpectGolden("golden/compartment_bars.txt", canvas.Dump());
}

TEST(BarGraph, PressureLinesAreLabelledBesideThemApartAndClearOfTheBars) {
    auto workspace = EmptyWorkspace();
    workspace->settings.airPressure = 1013;
    ComputedMinute& record = workspace->computed.records[2];
    record.depth = 10;  // 2.02 bar
    record.pTotal.fill(1.9);
    const CanvasFont font{workspace->settings.picDiveFontName, 8, false};
    const double textHeight = TextHeight(font);
    for (const double tolerated : {2.0, 0.5}) {  // lines 50 units apart, then far apart
        record.toleratedPressure = tolerated;
        RecordingCanvas canvas(9000, 6500);
        DrawCompartmentBars(canvas, *workspace, 2);
        double barsEnd = 0;
        std::map<std::int32_t, double> lineY;  // the pressure lines by their colour
        for (const Call& line : canvas.Of(Call::kLine)) {
            if (line.x1 == line.x2 && line.y1 == 6000) {
                barsEnd = std::max(barsEnd, line.x1 + line.width * 15 / 2.0);
            } else if (line.y1 == line.y2 && line.colour != 14935011) {
                lineY[line.colour] = line.y1;
            }
        }
        std::map<std::string, Call> labels;
        for (const Call& text : canvas.Of(Call::kText))
            labels[text.text] = text;
        const Call& ambient = labels.at("p.amb");
        const Call& toleratedLabel = labels.at("p.amb.tol");
        for (const Call* label : {&ambient, &toleratedLabel}) {
            EXPECT_GT(label->x1, barsEnd);
            EXPECT_LE(label->x1 + TextWidth(label->text, font), canvas.Width());
            EXPECT_NEAR(label->y1 + textHeight / 2, lineY.at(label->colour), textHeight / 2);
        }
        EXPECT_GE(toleratedLabel.y1 - ambient.y1, textHeight);  // the higher pressure above
        if (tolerated == 0.5) {
            EXPECT_DOUBLE_EQ(ambient.y1 + textHeight / 2, lineY.at(ambient.colour));
        }
        DrawBarGraphHint(canvas, workspace->settings);  // the hint alone, never over the bars
        EXPECT_TRUE(canvas.Of(Call::kLine).empty());
        EXPECT_EQ(canvas.Texts().size(), 3u);
    }
}

}  // namespace
}  // namespace marelos
