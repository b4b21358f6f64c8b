#include "core/graphics/profile_graph.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/fakes/golden.h"
#include "tests/fakes/graphics_queries.h"

namespace marelos {
namespace {

using Call = RecordingCanvas::Call;

TEST(ProfileGraph, PositionsBecomeWholeMinutesAndMetres) {
    const GraphGeometry g = GraphGeometry::ForSize(5300, 4300);  // a plot 4000 x 3000 units
    EXPECT_EQ(TimeFromX(g.left + 670, g, 60), 10);  // 67 units per minute after rounding
    EXPECT_EQ(TimeFromX(g.left + 636, g, 60), 9);   // 9.49 minutes
    EXPECT_EQ(TimeFromX(g.left, g, 60), 0);
    EXPECT_EQ(TimeFromX(g.left - 5, g, 60), 0);
    EXPECT_EQ(DepthFromY(g.top + 1800, g, 50), 30);  // 60 units per metre
    EXPECT_EQ(DepthFromY(g.top + 1829, g, 50), 30);
    EXPECT_EQ(DepthFromY(g.top + 1831, g, 50), 31);
}

// Grids of several axis lengths, with and without guide lines, and two profiles with their
// corner texts and warnings, every drawing call against tests/data.
TEST(ProfileGraph, DrawingsMatchTheirGoldenFile) {
    std::string dump;
    Settings settings;
    settings.crossColour = 77;
    for (const int length : {60, 45, 15}) {  // time labels every 10, 5 and 1 minutes
        RecordingCanvas canvas(9300, 6300);
        settings.maxHScale = length;
        DrawGrid(canvas, settings);
        dump += "# grid of " + std::to_string(length) + " minutes\n" + canvas.Dump();
    }
    EXPECT_EQ(TimeLabelStep(501), 100);
    EXPECT_EQ(TimeLabelStep(6000), 500);
    settings = Settings{};
    settings.graphLineColour = 5;
    settings.guidelinesColour = 6;
    RecordingCanvas canvas(9300, 6300);
    settings.maxVScale = 50;
    DrawGrid(canvas, settings);
    dump += "# depth labels, no guide lines\n" + canvas.Dump();
    canvas.calls.clear();
    settings.maxVScale = 20;
    settings.horizontalGuidelines = 1;
    settings.verticalGuidelines = 1;
    DrawGrid(canvas, settings);
    dump += "# guide lines every metre and minute\n" + canvas.Dump();
    RecordingCanvas small(2000, 1800);  // the font follows the height, never below 5 points
    DrawGrid(small, settings);
    dump += "# small picture\n" + small.Dump();

    settings = Settings{};
    settings.maxHScale = 60;
    settings.maxVScale = 50;
    settings.graphBackColour = 123;
    settings.showAirMix = 1;
    DiveProfile profile;
    profile.lines[1] = {10, 0, 0, 78, 0};  // tTotal 0: not drawn
    profile.lines[2] = {30, 3, 3, 78, 0};
    profile.lines[3] = {40, 0, 3, 78, 0};  // the same time: not drawn
    profile.lines[4] = {30, 22, 25, 78, 0};
    profile.nextPoint = 5;
    RecordingCanvas narrow(6650, 4300);  // a plot 5350 x 3000 units: corners at half units
    DrawProfile(narrow, settings, profile);
    dump += "# profile, circles only where time advances\n" + narrow.Dump();
    settings = Settings{};
    settings.warnPpO2Hi = settings.warnPpN2 = 1;
    settings.maxVScale = 80;
    profile = DiveProfile{};
    profile.lines[1] = {70, 7, 7, 78, 0};
    profile.nextPoint = 2;
    DrawProfile(canvas, settings, profile);
    dump += "# ppO2 and ppN2 warnings below the corner\n" + canvas.Dump();
    settings.maxHScale = 0;
    DrawProfile(canvas, settings, profile);
    dump += "# no time axis: the grid only\n" + canvas.Dump();
    ExpectGolden("golden/profile_graph.txt", dump);
}

// The estimated boxes of the texts drawn in these colours.
std::vector<Box> TextBoxes(const RecordingCanvas& canvas, std::initializer_list<int> colours) {
    return TextBoxesWhere(canvas, [&](const Call& text) {
        return std::find(colours.begin(), colours.end(), text.colour) != colours.end();
    });
}

TEST(ProfileGraph, AxesOfAnyLengthCostPixelsNotMinutesAndKeepTheirLabelsApart) {
    Settings settings;
    settings.crossColour = 77;
    settings.graphLineColour = 5;
    settings.verticalGuidelines = settings.horizontalGuidelines = 1;
    for (const auto& [width, height] : {std::pair{9300.0, 6300.0}, std::pair{4000.0, 2500.0}}) {
        for (const std::int32_t length : {15, 60, 6000, 1'000'000'000}) {
            RecordingCanvas canvas(width, height);
            settings.maxHScale = length;
            settings.maxVScale = length;
            DrawGrid(canvas, settings);
            EXPECT_LT(canvas.calls.size(), 3 * (width + height) / kMinTickSpacing) << length;
            const std::vector<Box> time = TextBoxes(canvas, {77});
            const std::vector<Box> depth = TextBoxes(canvas, {5});
            EXPECT_GE(time.size(), 3u) << length;  // the caption and at least two numbers
            EXPECT_FALSE(AnyTwoOverlap(time)) << width << " / " << length;
            EXPECT_FALSE(AnyTwoOverlap(depth)) << width << " / " << length;
        }
    }
}

TEST(ProfileGraph, CornerTextsOfACrowdedProfileStayApartAndInsideThePlot) {
    Settings settings;
    settings.showAirMix = 1;
    settings.profileCircleColour = 99;
    settings.warnPpO2Hi = settings.warnPpN2 = 1;
    settings.maxPpO2 = 0.5;  // every corner warns twice
    settings.maxPpN2 = 1;
    DiveProfile profile;
    for (int i = 1; i <= 40; ++i)  // a corner every minute, close to the bottom of the axis
        profile.lines[i] = {i % 2 == 0 ? 48.0 : 46.0, 1, static_cast<double>(i), 50, 30};
    profile.lines[41] = {30, 30, 70, 50, 30};  // beyond the time axis
    profile.nextPoint = 42;
    RecordingCanvas canvas(9300, 6300);
    DrawProfile(canvas, settings, profile);
    const GraphGeometry g = GraphGeometry::Of(canvas);
    const std::vector<Box> corners = TextBoxes(canvas, {99, 255, 32768});
    EXPECT_GE(corners.size(), 3u);  // some corners keep their texts
    EXPECT_FALSE(AnyTwoOverlap(corners));
    const Box caption = TimeCaptionBox(g, GraphFont(canvas, settings));
    for (const Box& box : corners) {
        EXPECT_TRUE(g.Plot().Contains(box));
        EXPECT_FALSE(box.Intersects(caption));
        for (const Call& circle : canvas.Of(Call::kCircle))
            EXPECT_FALSE(box.Intersects({circle.x1, circle.y1, circle.x1 + 1, circle.y1 + 1}));
    }
    // The line to the corner beyond the axis stops at the axis end.
    for (const Call& line : canvas.Of(Call::kLine))
        EXPECT_LE(line.x2, g.right + 1e-9);
}

}  // namespace
}  // namespace marelos
