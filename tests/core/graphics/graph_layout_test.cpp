#include "core/graphics/graph_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "core/graphics/picture_record.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

TEST(GraphLayout, AxisStepsKeepTheWantedLabelsWhileThereIsRoom) {
    for (const std::vector<std::string>& row : DataRows("cases/axis_steps.tsv")) {
        const AxisSteps steps =
            AxisStepsFor(std::stoi(row.at(0)), std::stod(row.at(1)), std::stod(row.at(2)));
        EXPECT_EQ(steps.tick, std::stoll(row.at(3))) << row[0] << " / " << row[1];
        EXPECT_EQ(steps.label, std::stoll(row.at(4))) << row[0] << " / " << row[1];
    }
    // An axis squeezed to nothing keeps its origin only.
    EXPECT_GT(AxisStepsFor(10, 0, 300).tick, 1'000'000'000);
}

TEST(GraphLayout, AxisStepsNeverCrowdOnAnyScale) {
    for (const int wanted : {1, 5, 10, 100, 500, 2000}) {
        for (double units = 1e-6; units < 1e4; units *= 1.37) {
            const AxisSteps steps = AxisStepsFor(wanted, units, 250);
            EXPECT_GE(steps.label * units, 250);
            EXPECT_TRUE(steps.tick == 1 || steps.tick * units >= kMinTickSpacing);
            EXPECT_EQ(steps.label % steps.tick, 0);
            EXPECT_EQ(steps.label % wanted, 0);
        }
    }
}

// Labels of 300 x 100 units move to the next free line or the other side of the anchor (100 units
// away), or stay out; a light text gets a dark shadow below and right of it, a dark one none.
TEST(GraphLayout, LabelsMoveToTheNextFreeLineOrTheOtherSideOrStayOutAndLightTextsGetAShadow) {
    Transcript t;
    LabelLayout layout({0, 0, 1000, 1000});
    layout.Reserve({0, 900, 1000, 1000});
    // Where wanted; the same again; one line down or up still overlaps; no room on the right;
    // above the reserved band.
    for (const auto& [x, y, anchorX] : std::vector<std::array<double, 3>>{
             {100, 100, 0}, {100, 100, 0}, {100, 150, 0}, {850, 500, 750}, {100, 880, 0}}) {
        const auto placed = layout.Put(300, 100, {x, y}, anchorX, 100);
        t.Note(std::to_string(x) + " " + std::to_string(y),
               placed ? std::to_string(placed->x) + " " + std::to_string(placed->y) : "(nichts)");
    }
    LabelLayout full({0, 0, 1000, 1000});
    full.Reserve({0, 0, 1000, 1000});
    t.Note("kein Platz", full.Put(10, 10, {100, 100}, 0, 100).has_value());
    // Extents count characters, not bytes.
    const CanvasFont font{"Arial", 10, false};
    EXPECT_DOUBLE_EQ(TextWidth("Größe", font), TextWidth("Grsse", font));

    RecordingCanvas canvas(1000, 1000);
    ReadableText(canvas, 100, 100, "Tauchzeit", CanvasFont{}, 55769);  // yellow
    t.Note("gelb", canvas.Dump());
    canvas.calls.clear();
    ReadableText(canvas, 100, 100, "Tauchzeit", CanvasFont{}, 4227072);  // dark green
    t.Note("dunkelgrün", canvas.Dump());
}

TEST(PictureRecord, PaintsWhatWasDrawnSinceTheLastClearingInItsOrder) {
    PictureRecord record;
    record.Line(0, 0, 100, 100, 1, 255);  // covered by the clearing below
    record.Clear(0xFF0000);
    record.Circle(50, 60, 30, 2, 0x00FF00);
    record.Text(2000, 100, "tg.mrp", CanvasFont{"DejaVu Sans", 10, true}, 0);
    record.Line(1, 2, 3, 4, 3, 0x123456);

    RecordingCanvas page(9000, 6000);
    record.PaintOn(page);
    EXPECT_EQ(page.Dump(),
              "B 0 0 0 0 0 16711680\nO 50 60 30 0 2 65280\n"
              "T 2000 100 0 0 0 0 DejaVu Sans 10b tg.mrp\nL 1 2 3 4 3 1193046\n");
}

}  // namespace
}  // namespace marelos
