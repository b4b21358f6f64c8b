#include "core/graphics/bar_graph.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "core/graphics/analysis_graphs.h"
#include "core/graphics/graph_layout.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/graphics_queries.h"

namespace marelos {
namespace {

using Call = RecordingCanvas::Call;

TEST(BarGraph, LeadingCompartmentUsesTheGasOfTheMinute) {
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}));
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
}

TEST(BarGraph, ScaleBarsAndLines) {
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}));
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
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}));
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
