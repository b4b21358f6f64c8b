#include "core/graphics/bar_graph.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "core/graphics/analysis_graphs.h"
#include "tests/fakes/recording_canvas.h"

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
    // A surface minute weights both gases equally (0.001 each).
    record.n2Percent = 0;
    const double a = (0.8618 * 0.001 + 1.1919 * 0.001) / 0.002;
    EXPECT_GT(2.0, a);
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
    DrawCompartmentBars(canvas, *workspace, 2);
    int bars = 0;
    int guides = 0;
    for (const Call& line : canvas.Of(Call::kLine)) {
        if (line.x1 == line.x2 && line.y1 == 6000 && line.y2 < 6000) ++bars;
        if (line.colour == 14935011) ++guides;
    }
    EXPECT_EQ(bars, 16);  // compartment 0 is off: its slot stays empty
    EXPECT_EQ(guides, 11);
    EXPECT_THAT(canvas.Texts(), ::testing::Contains("p.amb.tol"));
    EXPECT_THAT(canvas.Texts(), ::testing::Contains("FG"));
    EXPECT_THAT(canvas.Texts(), ::testing::Contains("11 bar"));
}

}  // namespace
}  // namespace marelos
