#include "bar_graph.h"

#include <algorithm>

#include "core/engine/tissues.h"
#include "core/graphics/analysis_graphs.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"

namespace marelos {

int LeadingCompartment(const Workspace& workspace, int minute) {
    const ComputedMinute& record =
        workspace.computed
            .records[static_cast<std::size_t>(std::clamp(minute, 0, ComputedProfile::kTableEnd))];
    const ModelParameters& model = workspace.model;
    const double fN2 = record.n2Percent / 100 + 0.001;
    const double fHe = record.hePercent / 100 + 0.001;
    int leading = -1;
    double greatest = 0;
    for (int c = model.firstCompartment; c <= kLastCompartment; ++c) {
        const double a = (model.aN2[c] * fN2 + model.aHe[c] * fHe) / (fN2 + fHe);
        const double b = (model.bN2[c] * fN2 + model.bHe[c] * fHe) / (fN2 + fHe);
        const double tolerated = (record.pTotal[c] - a) * b;
        if (tolerated > greatest) {
            greatest = tolerated;
            leading = c;
        }
    }
    return leading;
}

double BarPressureScale(const Workspace& workspace) {
    double largest = 0;
    for (int k = 1; k <= 1000; ++k) {
        const double pressure = RoundHalfEven(
            AmbientPressure(workspace.computed.records[k].depth, workspace.settings.airPressure));
        if (pressure > largest) largest = pressure;
    }
    return 1 + largest;
}

void DrawCompartmentBars(Canvas& canvas, const Workspace& workspace, int minute) {
    const Settings& settings = workspace.settings;
    canvas.Clear(16777215);
    const double width = canvas.Width();
    const double h = canvas.Height() - 500;
    const double pitch = Int((width - 1000) / 17);
    const double scale = BarPressureScale(workspace);
    const auto height = [&](double pressure) { return (1 - pressure / scale) * h; };
    const ComputedMinute& record =
        workspace.computed
            .records[static_cast<std::size_t>(std::clamp(minute, 0, ComputedProfile::kTableEnd))];
    const CanvasFont font{settings.picDiveFontName, 8, false};
    const int leading = LeadingCompartment(workspace, minute);
    for (int c = workspace.model.firstCompartment; c <= kLastCompartment; ++c) {
        const double x = (c + 1) * pitch + 500;
        if (c == leading) {
            // A dashed line: short pieces from the top margin down to the bottom line.
            for (double y = 250; y < h; y += 120)
                canvas.Line(x, y, x, std::min(y + 60, h), 1, 0);
            canvas.Text(x + 60, 250, "FG", font, 0);
        }
        // Pen widths are pixels, so the bar is about two thirds of its slot wide.
        canvas.Line(x, h, x, height(record.pTotal[c]),
                    std::max(1, static_cast<int>(Int(pitch / 20))), CompartmentColour(c));
    }
    for (int k = 1; k <= static_cast<int>(scale); ++k) {
        canvas.Line(500, height(k), width - 200, height(k), 1, 14935011);
        canvas.Text(20, std::max(0.0, height(k) - 120), FormatGeneral(k) + " bar", font, 0);
    }
    const double tolerated = height(record.toleratedPressure);
    canvas.Line(500, tolerated, width - 200, tolerated, 1, CompartmentColour(2));
    canvas.Text(width - 1100, tolerated - 200, "p.amb.tol", font, CompartmentColour(2));
    const double ambient = height(AmbientPressure(record.depth, settings.airPressure));
    canvas.Line(500, ambient, width - 200, ambient, 1, CompartmentColour(1));
    canvas.Text(width - 1100, ambient + 20, "p.amb", font, CompartmentColour(1));
    canvas.Text(500, h + 150, "FG = Führungsgewebe", font, 0);
}

void DrawBarGraphHint(Canvas& canvas, const Settings& settings) {
    const CanvasFont font{settings.picDiveFontName, 13, false};
    canvas.Text(400, 1000, "In das Tauchgangsdiagramm klicken, um", font, 0);
    canvas.Text(400, 1300, "die Gewebesättigung und Informationen", font, 0);
    canvas.Text(400, 1600, "zum Führungsgewebe anzusehen.", font, 0);
}

}  // namespace marelos
