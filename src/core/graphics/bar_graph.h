#pragma once

#include "core/graphics/canvas.h"
#include "core/workspace.h"

namespace marelos {

// The leading compartment at a minute of the calculation, with a and b weighted by the gas
// breathed in that minute: the greatest tolerated pressure above 0, the lower-numbered among
// equals; -1 when no compartment tolerates a pressure above 0.
int LeadingCompartment(const Workspace& workspace, int minute);

// The top of the bar scale: 1 + the largest ambient pressure of records 1 to 1000, each
// rounded to a whole bar.
double BarPressureScale(const Workspace& workspace);

// The compartment state at a minute: a bar of total inert-gas pressure per compartment, the
// leading compartment marked "FG", the pressure scale, and the tolerated and ambient pressure
// as lines labelled right of the bars, the labels apart even when the lines nearly meet.
void DrawCompartmentBars(Canvas& canvas, const Workspace& workspace, int minute);

// The hint of an idle bar graph, alone in the picture: where to click to see a minute.
void DrawBarGraphHint(Canvas& canvas, const Settings& settings);

}  // namespace marelos
