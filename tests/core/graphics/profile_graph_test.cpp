#include "core/graphics/profile_graph.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/fakes/graphics_queries.h"

namespace marelos {
namespace {

using Call = RecordingCanvas::Call;
using ::testing::Contains;
using ::testing::Not;

// The labels of the time axis: texts in the frame colour below the bottom edge.
std::vector<std::string> TimeLabels(const RecordingCanvas& canvas, std::int32_t cross) {
    const GraphGeometry g = GraphGeometry::Of(canvas);
    std::vector<std::string> labels;
    for (const Call& call : CallsWhere(canvas, Call::kText, [&](const Call& text) {
             return text.colour == cross && text.y1 > g.bottom && text.y1 < g.bottom + 400;
         }))
        labels.push_back(call.text);
    return labels;
}

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

TEST(ProfileGraph, TimeLabelsFollowTheAxisLength) {
    Settings settings;
    settings.crossColour = 77;
    for (const auto& [length, step] : {std::pair{60, 10}, std::pair{45, 5}, std::pair{15, 1}}) {
        RecordingCanvas canvas(9300, 6300);
        settings.maxHScale = length;
        DrawGrid(canvas, settings);
        std::vector<std::string> expected;
        for (int minute = 0; minute <= length; minute += step)
            expected.push_back(std::to_string(minute));
        EXPECT_EQ(TimeLabels(canvas, 77), expected);
    }
    EXPECT_EQ(TimeLabelStep(501), 100);
    EXPECT_EQ(TimeLabelStep(6000), 500);
}

TEST(ProfileGraph, DepthLabelsArePaddedAndGuideLinesOptional) {
    Settings settings;
    settings.graphLineColour = 5;
    settings.guidelinesColour = 6;
    RecordingCanvas canvas(9300, 6300);
    settings.maxVScale = 50;
    DrawGrid(canvas, settings);
    const std::vector<std::string> texts = canvas.Texts();
    EXPECT_THAT(texts, Contains("   5"));
    EXPECT_THAT(texts, Contains("  50"));
    EXPECT_THAT(texts, Not(Contains("   6")));
    EXPECT_THAT(texts, Contains("Wassertiefe [m]"));
    EXPECT_THAT(texts, Contains("Tauchzeit [min.]"));
    for (const Call& line : canvas.Of(Call::kLine))
        EXPECT_NE(line.colour, 6);
    // Guide lines at every metre after 0 and every minute after 0.
    canvas.calls.clear();
    settings.maxVScale = 20;
    settings.horizontalGuidelines = 1;
    settings.verticalGuidelines = 1;
    DrawGrid(canvas, settings);
    int guides = 0;
    for (const Call& line : canvas.Of(Call::kLine))
        guides += line.colour == 6;
    EXPECT_EQ(guides, 20 + 60);
    EXPECT_THAT(canvas.Texts(), Contains("   7"));
    // The font follows the picture height, never below 5 points.
    EXPECT_DOUBLE_EQ(canvas.Of(Call::kText).front().font.size, 7);
    RecordingCanvas small(2000, 1800);
    DrawGrid(small, settings);
    EXPECT_DOUBLE_EQ(small.Of(Call::kText).front().font.size, 5);
}

TEST(ProfileGraph, TheProfileIsAPolylineWithCirclesOnlyWhereTimeAdvances) {
    Settings settings;
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
    RecordingCanvas canvas(6650, 4300);  // a plot 5350 x 3000 units
    DrawProfile(canvas, settings, profile);
    EXPECT_EQ(canvas.calls.front().kind, Call::kClear);
    EXPECT_EQ(canvas.calls.front().colour, 123);
    const std::vector<Call> circles = canvas.Of(Call::kCircle);
    ASSERT_EQ(circles.size(), 2u);
    const GraphGeometry g = GraphGeometry::Of(canvas);
    EXPECT_EQ(circles[0].x1, 918);  // 650 + 3 x 89.17 = 917.5, rounded halves to even
    EXPECT_EQ(circles[0].y1, g.top + 30 * 60);
    EXPECT_DOUBLE_EQ(circles[0].x2, 30);  // the radius
    // The polyline starts at the surface at minute 0 and joins the drawn corners.
    bool fromStart = false;
    bool betweenCorners = false;
    for (const Call& line : canvas.Of(Call::kLine)) {
        fromStart |= line.x1 == g.left && line.y1 == g.top && line.x2 == circles[0].x1 &&
                     line.y2 == circles[0].y1;
        betweenCorners |= line.x1 == circles[0].x1 && line.x2 == circles[1].x1;
    }
    EXPECT_TRUE(fromStart);
    EXPECT_TRUE(betweenCorners);
    EXPECT_THAT(canvas.Texts(), Contains("30 m (N2:78% / He:0% / O2:21%)"));
    EXPECT_THAT(canvas.Texts(), Not(Contains("40 m (N2:78% / He:0% / O2:21%)")));
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

TEST(ProfileGraph, WarningsStandBelowTheCorner) {
    Settings settings;
    settings.warnPpO2Hi = settings.warnPpN2 = 1;
    settings.maxVScale = 80;
    DiveProfile profile;
    profile.lines[1] = {70, 7, 7, 78, 0};
    profile.nextPoint = 2;
    RecordingCanvas canvas(9300, 6300);
    DrawProfile(canvas, settings, profile);
    const Call circle = canvas.Of(Call::kCircle).at(0);
    int warnings = 0;
    for (const Call& text : canvas.Of(Call::kText)) {
        if (text.colour == 255) {
            EXPECT_DOUBLE_EQ(text.y1, circle.y1 + 160);
            ++warnings;
        }
        if (text.colour == 32768) {
            EXPECT_DOUBLE_EQ(text.y1, circle.y1 + 320);
            EXPECT_DOUBLE_EQ(text.x1, circle.x1 + 100);
            ++warnings;
        }
    }
    EXPECT_EQ(warnings, 2);
}

}  // namespace
}  // namespace marelos
