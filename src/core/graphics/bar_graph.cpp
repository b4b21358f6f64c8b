#include "bar_graph.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/engine/tissues.h"
#include "core/graphics/analysis_graphs.h"
#include "core/graphics/graph_layout.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"

namespace marelos {
namespace {

constexpr std::int32_t kWhite = 16777215;
constexpr double kLeft = 500;      // the margin of the pressure scale's labels
constexpr double kLabelGap = 100;  // between the last bar and the labels of the lines

// The label of a pressure line, beside the line's end.
struct LineLabel {
    double lineY = 0;
    std::string text;
    std::int32_t colour = 0;
    double top = 0;  // where the text goes
};

// Each label is centred on its line; when the lines lie closer than a line of text, the labels
// move apart around their middle, the upper line's label above. Both stay inside the picture.
void PlaceLabels(LineLabel& a, LineLabel& b, double textHeight, double pictureHeight) {
    LineLabel& upper = a.lineY <= b.lineY ? a : b;
    LineLabel& lower = a.lineY <= b.lineY ? b : a;
    upper.top = upper.lineY - textHeight / 2;
    lower.top = lower.lineY - textHeight / 2;
    if (lower.top - upper.top < textHeight) {
        const double middle = (upper.lineY + lower.lineY) / 2;
        upper.top = middle - textHeight;
        lower.top = middle;
    }
    const double lowest = pictureHeight - textHeight;
    if (lower.top > lowest) {
        upper.top -= lower.top - lowest;
        lower.top = lowest;
    }
    if (upper.top < 0) {
        lower.top -= upper.top;
        upper.top = 0;
    }
}

// Every step-th bar of the scale is labelled, so that the labels never run together.
int PressureLabelStep(double unitsPerBar, double textHeight) {
    for (const int step : {1, 2, 5, 10, 20, 50}) {
        if (step * unitsPerBar >= textHeight) return step;
    }
    return 100;
}

}  // namespace

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
    canvas.Clear(kWhite);
    const double h = canvas.Height() - 500;
    const CanvasFont font{settings.picDiveFontName, 8, false};
    const double textHeight = TextHeight(font);
    // Half a slot after the last bar, then a column for the labels of the pressure lines, with
    // room to spare at the right for fonts wider than the estimate.
    const double pitch =
        Int((canvas.Width() - kLeft - 3 * kLabelGap - TextWidth("p.amb.tol", font)) / 17.5);
    const double labelX = kLeft + 17.5 * pitch + kLabelGap;
    const double lineEnd = labelX - kLabelGap / 2;
    const double scale = BarPressureScale(workspace);
    const auto height = [&](double pressure) { return (1 - pressure / scale) * h; };
    const ComputedMinute& record =
        workspace.computed
            .records[static_cast<std::size_t>(std::clamp(minute, 0, ComputedProfile::kTableEnd))];
    const int leading = LeadingCompartment(workspace, minute);
    for (int c = workspace.model.firstCompartment; c <= kLastCompartment; ++c) {
        const double x = (c + 1) * pitch + kLeft;
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
    const int labelStep = PressureLabelStep(h / scale, textHeight);
    for (int k = 1; k <= static_cast<int>(scale); ++k) {
        canvas.Line(kLeft, height(k), lineEnd, height(k), 1, 14935011);
        if (k % labelStep != 0) continue;
        canvas.Text(20, std::max(0.0, height(k) - textHeight / 2), FormatGeneral(k) + " bar", font,
                    0);
    }
    LineLabel tolerated{height(record.toleratedPressure), "p.amb.tol", CompartmentColour(2)};
    LineLabel ambient{height(AmbientPressure(record.depth, settings.airPressure)), "p.amb",
                      CompartmentColour(1)};
    PlaceLabels(tolerated, ambient, textHeight, canvas.Height());
    for (const LineLabel* label : {&tolerated, &ambient}) {
        canvas.Line(kLeft, label->lineY, lineEnd, label->lineY, 1, label->colour);
        // A short lead from the line's end to a label that had to move off the line.
        const double centre = label->top + textHeight / 2;
        if (std::abs(centre - label->lineY) > 1) {
            canvas.Line(lineEnd, label->lineY, labelX - kLabelGap / 4, centre, 1, label->colour);
        }
        canvas.Text(labelX, label->top, label->text, font, label->colour);
    }
    canvas.Text(kLeft, h + 150, "FG = Führungsgewebe", font, 0);
}

void DrawBarGraphHint(Canvas& canvas, const Settings& settings) {
    // The hint takes the picture rather than covering the bars; the next click into the dive
    // graph draws them again.
    canvas.Clear(kWhite);
    const CanvasFont font{settings.picDiveFontName, 13, false};
    canvas.Text(400, 1000, "In das Tauchgangsdiagramm klicken, um", font, 0);
    canvas.Text(400, 1300, "die Gewebesättigung und Informationen", font, 0);
    canvas.Text(400, 1600, "zum Führungsgewebe anzusehen.", font, 0);
}

}  // namespace marelos
