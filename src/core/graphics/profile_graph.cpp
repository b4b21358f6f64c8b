#include "profile_graph.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/graphics/graph_layout.h"
#include "core/profile/gas_mix.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"

namespace marelos {
namespace {

constexpr std::string_view kTimeCaption = "Tauchzeit [min.]";
// The margins of 650 units hold the axis numbers and captions up to this size; a larger picture
// keeps it rather than running its numbers into the ticks and its captions off the picture.
constexpr double kLargestGraphFontSize = 10;
constexpr double kSmallestGraphFontSize = 5;

std::string N(double value) {
    return FormatGeneral(value);
}

// The number labels under the time axis: centred under their ticks, never running together.
void DrawTimeAxis(Canvas& canvas, const GraphGeometry& g, const Settings& settings,
                  const CanvasFont& font) {
    const double perMinute = (g.right - g.left) / settings.maxHScale;
    const double widestLabel = TextWidth(N(settings.maxHScale), font) + TextWidth("0", font);
    const AxisSteps steps = AxisStepsFor(TimeLabelStep(settings.maxHScale), perMinute, widestLabel);
    for (long long m = 0; m <= settings.maxHScale; m += steps.tick) {
        const double x = static_cast<double>(m) * perMinute + GraphGeometry::kMargin;
        const bool major = m % steps.label == 0;
        const double tick = major ? 150 : 100;
        canvas.Line(x, g.top, x, g.top - tick, 1, settings.crossColour);
        canvas.Line(x, g.bottom, x, g.bottom + tick, 1, settings.crossColour);
        if (major) {
            const std::string label = N(static_cast<double>(m));
            canvas.Text(x - TextWidth(label, font) / 2, g.bottom + 170, label, font,
                        settings.crossColour);
        }
        if (settings.verticalGuidelines == 1 && m >= 1) {
            canvas.Line(x, g.top, x, g.bottom, 1, settings.guidelinesColour);
        }
    }
}

void DrawDepthAxis(Canvas& canvas, const GraphGeometry& g, const Settings& settings,
                   const CanvasFont& font) {
    if (settings.maxVScale == 0) return;
    const double perMetre = Int((g.bottom - g.top) / settings.maxVScale) + 0.75;
    const AxisSteps steps =
        AxisStepsFor(settings.maxVScale <= 20 ? 1 : 5, perMetre, TextHeight(font));
    // The spacing never falls below 0.75 units, so a long axis would run far past the picture.
    const double end = std::min(static_cast<double>(settings.maxVScale),
                                (canvas.Height() - GraphGeometry::kMargin) / perMetre);
    for (long long m = 0; m <= end; m += steps.tick) {
        const double y = static_cast<double>(m) * perMetre + GraphGeometry::kMargin;
        if (settings.horizontalGuidelines == 1 && m >= 1) {
            canvas.Line(g.left + 1, y, g.right, y, 1, settings.guidelinesColour);
        }
        if (m % steps.label != 0) {
            canvas.Line(g.left - 50, y, g.left - 1, y, 1, settings.graphLineColour);
            continue;
        }
        std::string label = N(static_cast<double>(m));
        if (label.size() < 4) label.insert(0, 4 - label.size(), ' ');
        // A wide number moves left, clear of its tick.
        const double x = std::min(g.left - 550, g.left - 120 - TextWidth(label, font));
        canvas.Text(x, y - 120, label, font, settings.graphLineColour);
        canvas.Line(g.left - 100, y, g.left - 1, y, 1, settings.graphLineColour);
    }
}

// The texts beside a corner: its depth and mix, then the partial-pressure warnings, each in
// its row below the corner.
struct CornerText {
    std::string text;
    std::int32_t colour;
    int row;
};

std::vector<CornerText> CornerTexts(const ProfileLine& line, const Settings& settings) {
    std::vector<CornerText> texts;
    if (settings.showAirMix != 0) {
        texts.push_back(
            {FormatGeneral(line.depth, settings.decimalSeparator) +
                 " m (N2:" + FormatGeneral(line.n2Percent, settings.decimalSeparator) +
                 "% / He:" + FormatGeneral(line.hePercent, settings.decimalSeparator) + "% / O2:" +
                 FormatGeneral(99 - line.n2Percent - line.hePercent, settings.decimalSeparator) +
                 "%)",
             settings.profileCircleColour, 0});
    }
    for (const PressureWarning& warning : PartialPressureWarnings(line, settings))
        texts.push_back({warning.text, warning.colour, warning.colour == 32768 ? 2 : 1});
    return texts;
}

// Corner texts are placed as one block, so a corner's lines stay together and apart from the
// other corners' blocks, the axis numbers and the caption.
void DrawCornerTexts(LabelLayout& layout, Canvas& canvas, const CanvasFont& font, double x,
                     double y, const std::vector<CornerText>& texts) {
    if (texts.empty()) return;
    const double row = std::max(160.0, TextHeight(font));
    double width = 0;
    for (const CornerText& t : texts)
        width = std::max(width, TextWidth(t.text, font));
    const int firstRow = texts.front().row;
    const double height = (texts.back().row - firstRow) * row + TextHeight(font);
    const auto place = layout.Put(width, height, {x + 100, y + firstRow * row}, x, row);
    if (!place) return;
    for (const CornerText& t : texts)
        canvas.Text(place->x, place->y + (t.row - firstRow) * row, t.text, font, t.colour);
}

// The circles of the clicked corners that no line joins yet (the lines are built from the
// points only on request), so that every redraw, an undo among them, shows what the profile
// holds. Points are compared with the lines in whole minutes and metres, as they are kept.
void DrawUnjoinedPoints(Canvas& canvas, const Settings& settings, const DiveProfile& profile,
                        double xs, double ys) {
    const int last = std::min(profile.nextPoint, kProfileTableEnd - 1);
    std::set<std::pair<std::int32_t, std::int32_t>> joined;
    for (int i = 1; i <= last; ++i) {
        const ProfileLine& line = profile.lines[i];
        joined.emplace(RoundToInt32(line.tTotal), RoundToInt32(std::max(line.depth, 0.0)));
    }
    const GraphGeometry g = GraphGeometry::Of(canvas);
    for (int i = 1; i <= last; ++i) {
        const ProfilePoint& point = profile.points[i];
        if (point.time <= 0 || joined.contains({point.time, std::max(point.depth, 0)})) continue;
        const double x = RoundHalfEven(point.time * xs + g.left);
        const double y = RoundHalfEven(point.depth * ys + g.top);
        if (x <= canvas.Width() && y <= canvas.Height()) DrawPointCircle(canvas, settings, x, y);
    }
}

}  // namespace

GraphGeometry GraphGeometry::ForSize(double width, double height) {
    GraphGeometry g;
    g.right = width - kMargin;
    g.bottom = height - kMargin;
    return g;
}

std::int32_t TimeFromX(double x, const GraphGeometry& geometry, std::int32_t maxHScale) {
    const double exact = (geometry.right - geometry.left) / maxHScale;
    double perMinute = RoundHalfEven(exact);
    if (perMinute == 0) perMinute = exact;  // a plot narrower than half a unit per minute
    return RoundToInt32((x - geometry.left) / perMinute);
}

std::int32_t DepthFromY(double y, const GraphGeometry& geometry, std::int32_t maxVScale) {
    const double perMetre = (geometry.bottom - geometry.top) / maxVScale;
    return RoundToInt32((y - geometry.top) / perMetre);
}

int TimeLabelStep(std::int32_t maxHScale) {
    if (maxHScale <= 20) return 1;
    if (maxHScale <= 50) return 5;
    if (maxHScale <= 500) return 10;
    if (maxHScale <= 2000) return 100;
    if (maxHScale <= 10000) return 500;
    return 2000;
}

CanvasFont GraphFont(const Canvas& canvas, const Settings& settings) {
    return {settings.picDiveFontName,
            std::clamp(canvas.Height() / 900, kSmallestGraphFontSize, kLargestGraphFontSize),
            false};
}

Box GraphGeometry::Plot() const {
    return {left, top, right, bottom};
}

void ClippedLine(Canvas& canvas, const Box& area, double x1, double y1, double x2, double y2,
                 int width, std::int32_t colour) {
    // Liang-Barsky: the part of the segment 0 <= t <= 1 that lies inside the area.
    double from = 0;
    double to = 1;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    for (const auto& [p, q] : {std::pair{-dx, x1 - area.left}, std::pair{dx, area.right - x1},
                               std::pair{-dy, y1 - area.top}, std::pair{dy, area.bottom - y1}}) {
        if (p == 0) {
            if (q < 0) return;
            continue;
        }
        const double t = q / p;
        if (p < 0) {
            from = std::max(from, t);
        } else {
            to = std::min(to, t);
        }
    }
    if (from > to) return;
    if (from == 0 && to == 1) {
        canvas.Line(x1, y1, x2, y2, width, colour);
        return;
    }
    canvas.Line(x1 + from * dx, y1 + from * dy, x1 + to * dx, y1 + to * dy, width, colour);
}

Box TimeCaptionBox(const GraphGeometry& g, const CanvasFont& font) {
    // Left of the axis end, and further left where the font would carry it past the picture.
    const double edge = g.right + GraphGeometry::kMargin - kLabelClearance;
    const double x = std::min(g.right - 1000, edge - TextWidth(kTimeCaption, font));
    return TextBox(x, g.bottom - 300, kTimeCaption, font);
}

void DrawTimeCaption(Canvas& canvas, const GraphGeometry& g, const CanvasFont& font,
                     std::int32_t colour) {
    const Box box = TimeCaptionBox(g, font);
    canvas.Text(box.left, box.top, kTimeCaption, font, colour);
}

void DrawGrid(Canvas& canvas, const Settings& settings) {
    const GraphGeometry g = GraphGeometry::Of(canvas);
    const std::int32_t cross = settings.crossColour;
    canvas.Line(g.left, g.bottom, g.right, g.bottom, 1, cross);
    canvas.Line(g.left, g.top, g.right, g.top, 1, cross);
    canvas.Line(g.left, g.bottom, g.left, g.top, 1, cross);
    const CanvasFont font = GraphFont(canvas, settings);
    if (settings.maxHScale > 0) DrawTimeAxis(canvas, g, settings, font);
    DrawDepthAxis(canvas, g, settings, font);
    canvas.Text(200, 100, "Wassertiefe [m]", font, settings.graphLineColour);
    DrawTimeCaption(canvas, g, font, cross);
}

void DrawPointCircle(Canvas& canvas, const Settings& settings, double x, double y) {
    canvas.Circle(x, y, settings.circleDiameter, settings.circleLineWidth,
                  settings.profileCircleColour);
}

void DrawProfile(Canvas& canvas, const Settings& settings, const DiveProfile& profile) {
    canvas.Clear(settings.graphBackColour);
    DrawGrid(canvas, settings);
    if (settings.maxHScale == 0 || settings.maxVScale == 0) return;
    const GraphGeometry g = GraphGeometry::Of(canvas);
    const Box plot = g.Plot();
    const CanvasFont font = GraphFont(canvas, settings);
    LabelLayout labels(plot);
    labels.Reserve(TimeCaptionBox(g, font));
    const double xs = (g.right - g.left) / settings.maxHScale;
    const double ys = (g.bottom - g.top) / settings.maxVScale;
    double previousX = g.left;
    double previousY = g.top;
    struct Corner {
        double x;
        double y;
        const ProfileLine& line;
    };
    std::vector<Corner> labelled;
    const int last = std::min(profile.nextPoint, kProfileTableEnd - 1);
    for (int i = 1; i <= last; ++i) {
        const ProfileLine& line = profile.lines[i];
        const double x = RoundHalfEven(line.tTotal * xs + g.left);
        const double y = RoundHalfEven(line.depth * ys + g.top);
        if (!(x > previousX)) continue;
        ClippedLine(canvas, plot, previousX, previousY, x, y, settings.lineWidth,
                    settings.graphLineColour);
        previousX = x;
        previousY = y;
        // A corner beyond the axes (a file longer or deeper than they reach) gets no texts,
        // and no circle where nobody could see it.
        if (x <= canvas.Width() && y <= canvas.Height()) DrawPointCircle(canvas, settings, x, y);
        if (x <= g.right && y <= g.bottom) labelled.push_back({x, y, line});
    }
    DrawUnjoinedPoints(canvas, settings, profile, xs, ys);
    // The texts go where they cover no corner, so every circle stays visible.
    const double r = settings.circleDiameter;
    for (const Corner& corner : labelled)
        labels.Reserve({corner.x - r, corner.y - r, corner.x + r, corner.y + r});
    for (const Corner& corner : labelled) {
        DrawCornerTexts(labels, canvas, font, corner.x, corner.y,
                        CornerTexts(corner.line, settings));
    }
}

}  // namespace marelos
