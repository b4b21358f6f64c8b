#pragma once

#include <cstdint>

#include "core/graphics/canvas.h"
#include "core/graphics/graph_layout.h"
#include "core/workspace.h"

namespace marelos {

// The plot area of a picture: 650 units of margin on every side for ticks and labels.
struct GraphGeometry {
    static constexpr double kMargin = 650;

    double left = kMargin;
    double top = kMargin;
    double right = kMargin;
    double bottom = kMargin;

    static GraphGeometry ForSize(double width, double height);
    static GraphGeometry Of(const Canvas& canvas) {
        return ForSize(canvas.Width(), canvas.Height());
    }
    // The plot area inside the margins.
    Box Plot() const;
};

// The part of a line that lies within the area: curves stop at the axis ends instead of
// running through the margins, their numbers and titles.
void ClippedLine(Canvas& canvas, const Box& area, double x1, double y1, double x2, double y2,
                 int width, std::int32_t colour);

// The font of the graph texts: the picture font, its size following the picture height up to
// the size the margins hold.
CanvasFont GraphFont(const Canvas& canvas, const Settings& settings);

// Where the caption of the time axis stands: labels inside the plot keep clear of it.
Box TimeCaptionBox(const GraphGeometry& geometry, const CanvasFont& font);
// The caption "Tauchzeit [min.]" at that place.
void DrawTimeCaption(Canvas& canvas, const GraphGeometry& geometry, const CanvasFont& font,
                     std::int32_t colour);

// A picture position as a whole minute: the plot width per minute is rounded to whole units
// first, so the minute under a grid line may differ slightly from the grid's.
std::int32_t TimeFromX(double x, const GraphGeometry& geometry, std::int32_t maxHScale);
// A picture position as a whole metre.
std::int32_t DepthFromY(double y, const GraphGeometry& geometry, std::int32_t maxVScale);

// The label step of the time axis for its length: 1, 5, 10, 100, 500 or 2000 minutes.
int TimeLabelStep(std::int32_t maxHScale);

// Frame, time and depth axes with ticks and labels, guide lines and the axis captions.
void DrawGrid(Canvas& canvas, const Settings& settings);

// The whole profile picture: cleared, the grid, then the line table as a polyline with a
// circle at each corner, its mix label and partial-pressure warnings, and a circle at each
// clicked point that no line joins yet.
void DrawProfile(Canvas& canvas, const Settings& settings, const DiveProfile& profile);

// The circle of a corner point, as a click or the profile draws it.
void DrawPointCircle(Canvas& canvas, const Settings& settings, double x, double y);

}  // namespace marelos
