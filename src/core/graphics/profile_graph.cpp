#include "profile_graph.h"

#include <algorithm>
#include <string>

#include "core/profile/gas_mix.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"

namespace marelos {
namespace {

std::string N(double value) {
    return FormatGeneral(value);
}

CanvasFont GraphFont(const Canvas& canvas, const Settings& settings) {
    return {settings.picDiveFontName, std::max(canvas.Height() / 900, 5.0), false};
}

void DrawTimeAxis(Canvas& canvas, const GraphGeometry& g, const Settings& settings,
                  const CanvasFont& font) {
    const double perMinute = (g.right - g.left) / settings.maxHScale;
    const int step = TimeLabelStep(settings.maxHScale);
    for (int m = 0; m <= settings.maxHScale; ++m) {
        const double x = m * perMinute + GraphGeometry::kMargin;
        const bool major = m % step == 0;
        const double tick = major ? 150 : 100;
        canvas.Line(x, g.top, x, g.top - tick, 1, settings.crossColour);
        canvas.Line(x, g.bottom, x, g.bottom + tick, 1, settings.crossColour);
        if (major) {
            const std::string label = N(m);
            canvas.Text(x - ApproximateTextWidth(label, font) / 2, g.bottom + 170, label, font,
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
    const int step = settings.maxVScale <= 20 ? 1 : 5;
    for (int m = 0; m <= settings.maxVScale; ++m) {
        const double y = m * perMetre + GraphGeometry::kMargin;
        if (settings.horizontalGuidelines == 1 && m >= 1) {
            canvas.Line(g.left + 1, y, g.right, y, 1, settings.guidelinesColour);
        }
        if (m % step != 0) {
            canvas.Line(g.left - 50, y, g.left - 1, y, 1, settings.graphLineColour);
            continue;
        }
        std::string label = N(m);
        if (label.size() < 4) label.insert(0, 4 - label.size(), ' ');
        canvas.Text(g.left - 550, y - 120, label, font, settings.graphLineColour);
        canvas.Line(g.left - 100, y, g.left - 1, y, 1, settings.graphLineColour);
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
    canvas.Text(g.right - 1000, g.bottom - 300, "Tauchzeit [min.]", font, cross);
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
    const CanvasFont font = GraphFont(canvas, settings);
    const double xs = (g.right - g.left) / settings.maxHScale;
    const double ys = (g.bottom - g.top) / settings.maxVScale;
    double previousX = g.left;
    double previousY = g.top;
    const int last = std::min(profile.nextPoint, kProfileTableEnd - 1);
    for (int i = 1; i <= last; ++i) {
        const ProfileLine& line = profile.lines[i];
        const double x = RoundHalfEven(line.tTotal * xs + g.left);
        const double y = RoundHalfEven(line.depth * ys + g.top);
        if (!(x > previousX)) continue;
        canvas.Line(previousX, previousY, x, y, settings.lineWidth, settings.graphLineColour);
        DrawPointCircle(canvas, settings, x, y);
        if (settings.showAirMix != 0) {
            canvas.Text(x + 100, y,
                        N(line.depth) + " m (N2:" + N(line.n2Percent) +
                            "% / He:" + N(line.hePercent) +
                            "% / O2:" + N(99 - line.n2Percent - line.hePercent) + "%)",
                        font, settings.profileCircleColour);
        }
        for (const PressureWarning& warning : PartialPressureWarnings(line, settings)) {
            const double offset = warning.colour == 32768 ? 320 : 160;
            canvas.Text(x + 100, y + offset, warning.text, font, warning.colour);
        }
        previousX = x;
        previousY = y;
    }
}

}  // namespace marelos
