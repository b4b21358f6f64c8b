#include "analysis_graphs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>

#include "core/engine/dive_plan.h"
#include "core/engine/tissues.h"
#include "core/graphics/profile_graph.h"
#include "core/profile/dive_comment.h"
#include "core/text/number_format.h"
#include "core/text/rounding.h"
#include "core/ui/spreadsheet_link.h"
#include "core/ui/ui.h"

namespace marelos {
namespace {

constexpr std::array<std::int32_t, 17> kCompartmentColours = {
    0,       10485760, 255,   4227072, 4227327, 55769,    0,       8388736, 8388863,
    8421376, 4194432,  32896, 61952,   8421631, 15132160, 8404992, 8421504};

std::string N(double value) {
    return FormatGeneral(value);
}

int LastRecord(const ComputedProfile& computed) {
    return std::min(computed.computedCount, ComputedProfile::kTableEnd) - 1;
}

// Record j of the computed profile on the grid of the profile graph.
struct ProfileScale {
    GraphGeometry g;
    double xs;
    double ys;

    ProfileScale(const Canvas& canvas, const Settings& settings)
        : g(GraphGeometry::Of(canvas)),
          xs((g.right - g.left) / settings.maxHScale),
          ys((g.bottom - g.top) / settings.maxVScale) {}

    double X(double minute) const { return RoundHalfEven(minute * xs + g.left); }
    double Y(double depth) const { return RoundHalfEven(depth * ys + g.top); }
};

void DrawDepthLine(Canvas& canvas, const Workspace& workspace, bool gasColours) {
    const Settings& settings = workspace.settings;
    const ProfileScale scale(canvas, settings);
    double x = scale.g.left;
    double y = scale.g.top;
    for (int j = 1; j <= LastRecord(workspace.computed); ++j) {
        const ComputedMinute& record = workspace.computed.records[j];
        const double nextX = scale.X(j);
        const double nextY = scale.Y(record.depth);
        const std::int32_t colour =
            gasColours ? GasLineColour(settings, record.n2Percent, record.hePercent)
                       : settings.outProfileColour;
        ClippedLine(canvas, scale.g.Plot(), x, y, nextX, nextY, settings.lineWidth, colour);
        x = nextX;
        y = nextY;
    }
}

// A block of text rows (a legend, the dive values) at its wanted left edge, or further left so
// that its widest row ends inside the picture; it stays right of the depth axis with room for
// a colour sample, and where even that is too narrow, its font gets smaller.
struct TextBlock {
    double x;
    CanvasFont font;
};
TextBlock FitTextBlock(const Canvas& canvas, CanvasFont font, double wantedX,
                       const std::vector<std::string>& rows) {
    constexpr double kSampleRoom = 250;
    const auto widest = [&] {
        double width = 0;
        for (const std::string& row : rows)
            width = std::max(width, TextWidth(row, font));
        return width;
    };
    const double left = GraphGeometry::kMargin + kSampleRoom;
    const double right = canvas.Width() - kLabelClearance;
    if (const double width = widest(); width > right - left && width > 0)
        font.size = std::max(5.0, font.size * (right - left) / width);
    return {std::max(left, std::min(wantedX, right - widest())), font};
}

bool IsWarningMark(const std::string& text) {
    return text == "ERR" || text == "CEIL" || text == "ATT" || text == "SLOW";
}

void DrawMarks(Canvas& canvas, const Workspace& workspace) {
    const ProfileScale scale(canvas, workspace.settings);
    const CanvasFont font = GraphFont(canvas, workspace.settings);
    const DiveProfile& profile = workspace.profile;
    std::vector<std::pair<double, double>> labelled;
    for (int j = 1; j <= LastRecord(workspace.computed); ++j) {
        for (int k = 0; k <= std::min<int>(profile.markCount, kMarkTableEnd); ++k) {
            const ProfileMark& mark = profile.marks[k];
            if (mark.minute != j) continue;
            const double x = scale.X(j);
            const double y = scale.Y(workspace.computed.records[j].depth);
            const bool close = std::any_of(labelled.begin(), labelled.end(), [&](const auto& q) {
                return y <= q.second + 500 && x <= q.first + 500;
            });
            canvas.Text(x, close ? y + 160 : y, mark.text, font,
                        IsWarningMark(mark.text) ? 255 : 26112);
            labelled.emplace_back(x, y);
        }
    }
}

}  // namespace

std::int32_t CompartmentColour(int compartment) {
    return compartment >= 1 && compartment <= 16
               ? kCompartmentColours[static_cast<std::size_t>(compartment)]
               : 0;
}

int AxisMaximum(int kind, const Workspace& workspace) {
    const ComputedProfile& computed = workspace.computed;
    const int last = std::min(computed.computedCount, ComputedProfile::kTableEnd);
    double largest = 0;
    if (kind == 1) {
        for (int j = 1; j <= last; ++j) {
            for (int c = workspace.model.firstCompartment; c <= kLastCompartment; ++c) {
                largest = std::max(largest, computed.records[j].pTotal[c]);
            }
        }
    } else if (kind == 2) {
        for (int j = 1; j <= last; ++j) {
            largest = std::max(largest, AmbientPressure(computed.records[j].depth,
                                                        workspace.settings.airPressure));
        }
    } else {
        return 1;
    }
    return RoundToInt32(Int(largest) + 1);
}

void DrawAnalysisAxes(Canvas& canvas, const Settings& settings, int yMax, int xMax,
                      std::string_view pressureTitle) {
    canvas.Clear(settings.graphBackColour);
    const GraphGeometry g = GraphGeometry::Of(canvas);
    const std::int32_t cross = settings.crossColour;
    canvas.Line(g.left, g.bottom, g.right, g.bottom, 1, cross);
    canvas.Line(g.left, g.top, g.left, g.bottom, 1, cross);
    const CanvasFont font = GraphFont(canvas, settings);
    if (xMax > 0) {
        const double px = Int((g.right - g.left) / xMax);
        const AxisSteps steps =
            AxisStepsFor(TimeLabelStep(xMax), px, TextWidth(N(xMax), font) + TextWidth("0", font));
        for (long long i = 0; i <= xMax; i += steps.tick) {
            const double x = g.left + static_cast<double>(i) * px;
            if (i % steps.label == 0) {
                canvas.Line(x, g.bottom, x, g.bottom + 150, 1, cross);
                canvas.Text(x, g.bottom + 150, N(static_cast<double>(i)), font, cross);
            } else {
                canvas.Line(x, g.bottom, x, g.bottom + 100, 1, cross);
            }
        }
    }
    DrawTimeCaption(canvas, g, font, cross);
    if (yMax > 0) {
        const double py = Int((g.bottom - g.top) / yMax);
        const AxisSteps steps = AxisStepsFor(yMax <= 20 ? 1 : 5, py, TextHeight(font));
        for (long long i = 0; i <= yMax; i += steps.tick) {
            const double y = g.bottom - static_cast<double>(i) * py;
            if (i % steps.label == 0) {
                canvas.Line(g.left - 150, y, g.left + 10, y, 1, cross);
                // A wide number moves left, clear of its tick.
                const std::string label = N(static_cast<double>(i));
                canvas.Text(std::min(g.left - 350, g.left - 170 - TextWidth(label, font)), y - 120,
                            label, font, cross);
            } else {
                canvas.Line(g.left - 100, y, g.left + 10, y, 1, cross);
            }
        }
    }
    canvas.Text(200, 100, pressureTitle, font, cross);
}

void DrawAnalysisLegend(Canvas& canvas, int kind, const Workspace& workspace) {
    const Settings& settings = workspace.settings;
    struct Row {
        std::string text;
        std::int32_t colour;
    };
    std::vector<Row> rows;
    double wantedX = 4000;
    double firstY = 300;
    if (kind == 1) {
        for (int c = 1; c <= kCompartmentCount; ++c) {
            if (settings.showCompartment[c] != 1) continue;
            rows.push_back(
                {"Komp. " + N(c) + " (T1/2 N2: " +
                     FormatGeneral(workspace.model.halfTimeN2[c], settings.decimalSeparator) +
                     " min.)",
                 CompartmentColour(c)});
        }
        wantedX = canvas.Width() - 3000;
        firstY = 400;
    } else if (kind == 2) {
        rows = {{"Momentaner Umgebungsdruck auf Tauchtiefe (p.amb)", CompartmentColour(1)},
                {"Minimaler Umgebungsdruck, der nicht unterschritten werden darf (p.amb.tol) ",
                 CompartmentColour(2)}};
    }
    std::vector<std::string> texts;
    for (const Row& row : rows)
        texts.push_back(row.text);
    const CanvasFont font = GraphFont(canvas, settings);
    const TextBlock block = FitTextBlock(canvas, font, wantedX, texts);
    // Below the axis caption at the top left, which a large font makes taller.
    firstY = std::max(firstY, 100 + TextHeight(font) + kLabelClearance);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double y = firstY + static_cast<double>(i) * 300;
        canvas.Text(block.x, y, rows[i].text, block.font, settings.crossColour);
        canvas.Line(block.x - 200, y + 100, block.x - 100, y + 100, settings.lineWidth,
                    rows[i].colour);
    }
}

void DrawTissueCurves(Canvas& canvas, TissueGas gas, int yMax, int xMax,
                      const Workspace& workspace) {
    if (yMax <= 0 || xMax <= 0) return;
    const Settings& settings = workspace.settings;
    const GraphGeometry g = GraphGeometry::Of(canvas);
    const double px = Int((g.right - g.left) / xMax);
    const double py = Int((g.bottom - g.top) / yMax);
    for (int c = workspace.model.firstCompartment; c <= kLastCompartment; ++c) {
        if (settings.showCompartment[c] != 1) continue;
        double x = g.left;
        double y = gas == TissueGas::Helium ? g.bottom
                                            : g.bottom - RoundHalfEven(py * settings.initialPpN2);
        for (int j = 1; j <= LastRecord(workspace.computed); ++j) {
            const ComputedMinute& record = workspace.computed.records[j];
            const double pressure = gas == TissueGas::Total      ? record.pTotal[c]
                                    : gas == TissueGas::Nitrogen ? record.pN2[c]
                                                                 : record.pHe[c];
            const double nextX = g.left + j * px;
            const double nextY = g.bottom - Int(pressure * py);
            ClippedLine(canvas, g.Plot(), x, y, nextX, nextY, settings.lineWidth,
                        CompartmentColour(c));
            x = nextX;
            y = nextY;
        }
    }
}

void DrawPressureRatio(Canvas& canvas, int yMax, int xMax, const Workspace& workspace) {
    if (yMax <= 0 || xMax <= 0) return;
    const Settings& settings = workspace.settings;
    const GraphGeometry g = GraphGeometry::Of(canvas);
    const double px = Int((g.right - g.left) / xMax);
    const double py = Int((g.bottom - g.top) / yMax);
    const ComputedProfile& computed = workspace.computed;
    for (int curve = 1; curve <= 2; ++curve) {
        double x = g.left;
        double y =
            curve == 1
                ? g.bottom - AmbientPressure(computed.records[0].depth, settings.airPressure) * py
                : g.bottom - computed.records[1].toleratedPressure * py;
        for (int j = 1; j <= LastRecord(computed); ++j) {
            const double pressure =
                curve == 1 ? AmbientPressure(computed.records[j].depth, settings.airPressure)
                           : computed.records[j].toleratedPressure;
            const double nextX = g.left + j * px;
            const double nextY = g.bottom - Int(pressure * py);
            ClippedLine(canvas, g.Plot(), x, y, nextX, nextY, settings.lineWidth,
                        CompartmentColour(curve));
            x = nextX;
            y = nextY;
        }
    }
}

void DrawTissueGraph(Canvas& canvas, TissueGas gas, const Workspace& workspace) {
    const int yMax = AxisMaximum(1, workspace);
    DrawAnalysisAxes(canvas, workspace.settings, yMax, workspace.settings.maxHScale);
    DrawAnalysisLegend(canvas, 1, workspace);
    DrawTissueCurves(canvas, gas, yMax, workspace.settings.maxHScale, workspace);
}

void DrawPressureRatioGraph(Canvas& canvas, const Workspace& workspace) {
    const int yMax = AxisMaximum(2, workspace);
    DrawAnalysisAxes(canvas, workspace.settings, yMax, workspace.settings.maxHScale);
    DrawPressureRatio(canvas, yMax, workspace.settings.maxHScale, workspace);
    DrawAnalysisLegend(canvas, 2, workspace);
}

std::int32_t GasLineColour(const Settings& settings, double n2Percent, double hePercent) {
    if (settings.useMultiColorLine == 0) return settings.outProfileColour;
    if (Int(hePercent) > 0) return 8388736;
    if (Int(n2Percent) > 0) return 8421376;
    return 10485760;
}

void DrawComputedProfile(Canvas& canvas, const Workspace& workspace, bool showWarnings) {
    canvas.Clear(workspace.settings.graphBackColour);
    DrawGrid(canvas, workspace.settings);
    DrawDepthLine(canvas, workspace, true);
    if (showWarnings) DrawMarks(canvas, workspace);
}

void DrawAscentSpeeds(Canvas& canvas, const Workspace& workspace) {
    const Settings& settings = workspace.settings;
    canvas.Clear(settings.graphBackColour);
    DrawGrid(canvas, settings);
    DrawDepthLine(canvas, workspace, true);
    const ProfileScale scale(canvas, settings);
    const CanvasFont font{settings.picDiveFontName, 8, false};
    // The summary's widest line, and its place: above the axis caption on a low picture.
    constexpr std::string_view kWidestSummary = "Kleinste Aufstiegsgeschwindigkeit: 9999 m/min.";
    const TextBlock summary = FitTextBlock(canvas, {settings.picDiveFontName, 11, true},
                                           canvas.Width() - 6000, {std::string(kWidestSummary)});
    const Box caption = TimeCaptionBox(scale.g, GraphFont(canvas, settings));
    const double summaryY =
        std::min(4500.0, caption.top - 500 - TextHeight(summary.font) - kLabelClearance);
    // Speed labels keep clear of each other, the axis caption and the summary lines below.
    LabelLayout labels(scale.g.Plot());
    labels.Reserve(caption);
    labels.Reserve({summary.x, summaryY, summary.x + TextWidth(kWidestSummary, summary.font),
                    summaryY + 500 + TextHeight(summary.font)});
    const ComputedProfile& computed = workspace.computed;
    std::int16_t largest = 0;
    std::int16_t smallest = 999;
    std::int16_t sum = 0;
    std::int16_t count = 0;
    std::int16_t previous = 0;
    std::int32_t colour = 0;
    for (int j = 1; j <= LastRecord(computed); ++j) {
        const double depth = computed.records[j].depth;
        if (!(depth >= 1)) continue;
        const double x = RoundHalfEven(j * scale.xs + scale.g.left + 100);
        const double y = RoundHalfEven(depth * scale.ys + scale.g.top);
        const double v = depth - computed.records[j + 1].depth;
        if (v > 0 && v != previous) {
            if (v > largest) largest = RoundToInt16(v);
            if (v < smallest) smallest = RoundToInt16(v);
            sum = RoundToInt16(sum + v);
            count = RoundToInt16(count + 1.0);
            if (v < 4) colour = 4227072;
            if (v >= 3 && v < 6) colour = 8404992;
            if (v >= 7 && v <= 10) colour = 8388736;
            if (v > 10) colour = 255;
            if (!(Int(v) - 1 <= previous && previous <= Int(v) + 1)) {
                const std::string text =
                    "v=" + FormatGeneral(Int(v * 10) / 10, settings.decimalSeparator) + " m/min.";
                const auto place = labels.Put(TextWidth(text, font), TextHeight(font), {x, y},
                                              x - 100, TextHeight(font));
                if (place) canvas.Text(place->x, place->y, text, font, colour);
            }
        }
        previous = RoundToInt16(v);
    }
    if (count == 0) return;
    const std::int32_t first = CompartmentColour(1);
    const std::string lines[] = {"Größe Aufstiegsgeschwindigkeit: " + N(largest) + " m/min.",
                                 "Kleinste Aufstiegsgeschwindigkeit: " + N(smallest) + " m/min.",
                                 "Mittlere Aufstiegsgeschwindigkeit: " +
                                     N(Int(static_cast<double>(sum) / count)) + " m/min."};
    for (int row = 0; row < 3; ++row)
        canvas.Text(summary.x, summaryY + 250 * row, lines[row], summary.font, first);
}

void OverlayComputedProfile(Canvas& canvas, const Workspace& workspace) {
    DrawDepthLine(canvas, workspace, false);
}

KeptProfile KeepProfile(const ComputedProfile& computed) {
    KeptProfile kept;
    kept.count = computed.computedCount;
    kept.depths.reserve(computed.records.size());
    for (const ComputedMinute& record : computed.records)
        kept.depths.push_back(record.depth);
    return kept;
}

void DrawProfileComparison(Canvas& canvas, const Workspace& workspace, const KeptProfile& kept,
                           bool showWarnings) {
    DrawComputedProfile(canvas, workspace, showWarnings);
    const ProfileScale scale(canvas, workspace.settings);
    double x = scale.g.left;
    double y = scale.g.top;
    const int last = std::min<int>(kept.count, static_cast<int>(kept.depths.size())) - 1;
    for (int j = 1; j <= last; ++j) {
        const double nextX = scale.X(j);
        const double nextY = scale.Y(kept.depths[static_cast<std::size_t>(j)]);
        ClippedLine(canvas, scale.g.Plot(), x, y, nextX, nextY, 1, 255);
        x = nextX;
        y = nextY;
    }
}

void DrawDiveValues(Canvas& canvas, const Workspace& workspace) {
    DiveComment comment;
    if (const auto fields = ReadDiveComment(workspace.profile.fileName)) {
        const CommentFields& f = fields.value();
        comment = {f[0], f[1], f[2], f[3], f[4]};
    }
    const std::vector<std::string> texts =
        DiveValueTexts(workspace.computed, comment, workspace.settings.decimalSeparator);
    const TextBlock block = FitTextBlock(canvas, {workspace.settings.picDiveFontName, 8, false},
                                         canvas.Width() - 4200, texts);
    double y = 900;
    int colour = 1;
    for (const std::string& text : texts) {
        ReadableText(canvas, block.x, y, text, block.font, CompartmentColour(colour++));
        y += 220;
    }
}

void DrawCnsDayGraph(Canvas& canvas, const Workspace& workspace) {
    const Settings& settings = workspace.settings;
    DrawAnalysisAxes(canvas, settings, 100, settings.maxHScale, "ZNS-Tagesdosis [%]");
    if (settings.maxHScale <= 0) return;
    const GraphGeometry g = GraphGeometry::Of(canvas);
    const double px = Int((g.right - g.left) / settings.maxHScale);
    const double py = Int((g.bottom - g.top) / 100);
    const double decay = std::pow(0.5, 1.0 / 90);
    double dose = 0;
    double x = g.left;
    double y = g.bottom;
    const ComputedProfile& computed = workspace.computed;
    const int last = std::min(computed.computedCount, ComputedProfile::kTableEnd);
    for (int j = 1; j <= last; ++j) {
        const double share = computed.records[j].cnsDay;
        dose = share == 0 ? dose * decay : dose + share;
        const double nextX = g.left + j * px;
        const double nextY = g.bottom - Int(py * dose);
        ClippedLine(canvas, g.Plot(), x, y, nextX, nextY, settings.lineWidth, CompartmentColour(1));
        x = nextX;
        y = nextY;
    }
}

std::vector<std::string> SaturationTable(const Workspace& workspace,
                                         std::string_view decimalSeparator) {
    const int first = workspace.model.firstCompartment;
    std::string header = "Zeit [min]\tTiefe [m]\tMin. Umgebungsdruck [bar]\t";
    for (int c = first; c <= kLastCompartment; ++c)
        header += "Kompartiment " + N(c) + "\t";
    std::vector<std::string> table = {header};
    const auto number = [&](double value) { return FormatGeneral(value, decimalSeparator); };
    for (int j = 1; j <= LastRecord(workspace.computed); ++j) {
        const ComputedMinute& record = workspace.computed.records[j];
        std::string row = number(j) + "\t" + number(record.depth) + "\t" +
                          number(record.toleratedPressure) + "\t";
        for (int c = first; c <= kLastCompartment; ++c)
            row += number(record.pTotal[c]) + "\t";
        table.push_back(row);
    }
    return table;
}

bool ExportSaturationToSpreadsheet(Workspace& workspace, Ui& ui, SpreadsheetLink& link) {
    std::vector<std::string> titles = {"Zeit [min]", "Tiefe [m]", "Min. Umgebungsdruck [bar]"};
    for (int c = 1; c <= kCompartmentCount; ++c)
        titles.push_back("Kompartiment " + N(c));
    workspace.cancelRequested = false;
    // After every cell: let events run, and on a refusal or Escape ask whether to stop.
    const auto poke = [&](int row, int column, const std::string& text) {
        if (!link.Poke(row, column, text)) workspace.cancelRequested = true;
        ui.ProcessPendingEvents();
        if (!workspace.cancelRequested) return true;
        if (ui.Ask("Wollen Sie abbrechen?", Buttons::YesNo) == Answer::Yes) {
            ui.ShowSysMsg("Ausgabe abgebrochen.");
            return false;
        }
        workspace.cancelRequested = false;
        return true;
    };
    for (std::size_t column = 0; column < titles.size(); ++column) {
        if (!poke(1, static_cast<int>(column + 1), titles[column])) return false;
    }
    const int last = LastRecord(workspace.computed);
    ui.StartProgress(std::max(last, 0));
    for (int j = 1; j <= last; ++j) {
        const ComputedMinute& record = workspace.computed.records[j];
        if (!poke(j + 1, 1, N(j)) || !poke(j + 1, 2, N(record.depth)) ||
            !poke(j + 1, 3, N(record.toleratedPressure))) {
            ui.ResetProgress();
            return false;
        }
        for (int c = 1; c <= kCompartmentCount; ++c) {
            if (!poke(j + 1, c + 3, N(record.pTotal[c]))) {
                ui.ResetProgress();
                return false;
            }
        }
        ui.ShowProgress(j);
    }
    ui.ResetProgress();
    if (const auto failure = link.Finish()) {
        ui.ShowMessage(FailureMessage(*failure), MessageIcon::Critical);
        return false;
    }
    ui.ShowSysMsg("Gewebesättigung gespeichert: " + link.Location());
    if (!link.Open()) {
        ui.ShowMessage("Die Gewebesättigung wurde in der Datei " + link.Location() +
                           " gespeichert. Es konnte aber kein Tabellenprogramm gestartet werden, "
                           "um sie zu öffnen.",
                       MessageIcon::Information);
    }
    return true;
}

std::string SaturationWorkbookPath(const std::string& profileFile, const std::string& profileFolder,
                                   const std::string& stamp) {
    const std::string name = "Gewebesättigung-" + stamp + ".xlsx";
    if (profileFile.empty()) return (std::filesystem::path(profileFolder) / name).string();
    const std::filesystem::path profile(profileFile);
    return (profile.parent_path() / (profile.stem().string() + "-" + name)).string();
}

}  // namespace marelos
