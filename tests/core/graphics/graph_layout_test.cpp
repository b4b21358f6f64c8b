#include "core/graphics/graph_layout.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/fakes/golden.h"
#include "tests/fakes/recording_canvas.h"

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

TEST(GraphLayout, LabelsMoveToTheNextFreeLineOrTheOtherSideOrStayOut) {
    LabelLayout layout({0, 0, 1000, 1000});
    layout.Reserve({0, 900, 1000, 1000});
    using Place = LabelLayout::Place;
    const auto put = [&](Place spot, double anchorX) {
        return layout.Put(300, 100, spot, anchorX, 100);
    };
    const auto first = put({100, 100}, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->y, 100);
    const auto second = put({100, 100}, 0);  // the line below
    ASSERT_TRUE(second);
    EXPECT_EQ(second->y, 200);
    const auto third = put({100, 150}, 0);  // one line down or up still overlaps: two down
    ASSERT_TRUE(third);
    EXPECT_EQ(third->y, 350);
    const auto atRightEdge = put({850, 500}, 750);  // no room on the right: left of the anchor
    ASSERT_TRUE(atRightEdge);
    EXPECT_EQ(atRightEdge->x, 750 - 100 - 300);
    const auto aboveTheReserved = put({100, 880}, 0);
    ASSERT_TRUE(aboveTheReserved);
    EXPECT_EQ(aboveTheReserved->y, 780);
    // Extents count characters, not bytes.
    const CanvasFont font{"Arial", 10, false};
    EXPECT_DOUBLE_EQ(TextWidth("Größe", font), TextWidth("Grsse", font));
    LabelLayout full({0, 0, 1000, 1000});
    full.Reserve({0, 0, 1000, 1000});
    EXPECT_FALSE(full.Put(10, 10, {100, 100}, 0, 100));
}

TEST(GraphLayout, LightTextsGetADarkShadowDarkTextsStayPlain) {
    RecordingCanvas canvas(1000, 1000);
    const CanvasFont font;
    ReadableText(canvas, 100, 100, "Tauchzeit", font, 55769);  // yellow
    ASSERT_EQ(canvas.calls.size(), 2u);
    const auto& shadow = canvas.calls[0];
    EXPECT_LT(shadow.colour & 0xFF, 0x80);  // dark, below and right of the text
    EXPECT_GT(shadow.x1, 100);
    EXPECT_GT(shadow.y1, 100);
    EXPECT_EQ(canvas.calls[1].colour, 55769);  // the text itself on top, where it was asked
    EXPECT_EQ(canvas.calls[1].x1, 100);
    canvas.calls.clear();
    ReadableText(canvas, 100, 100, "Tauchzeit", font, 4227072);  // dark green
    EXPECT_EQ(canvas.calls.size(), 1u);
}

}  // namespace
}  // namespace marelos
