#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/graphics/canvas.h"
#include "core/ui/spreadsheet_link.h"
#include "core/ui/ui.h"
#include "core/workspace.h"

namespace marelos {

// Compartment k (1..16) is drawn in colour k everywhere; 0 for any other number.
std::int32_t CompartmentColour(int compartment);

// The analysis graphs' kinds: 1 tissue pressures, 2 pressure ratio, 3 computed profile.
enum class TissueGas { Total, Nitrogen, Helium };

// The top of the pressure axis in whole bar: above the largest total tissue pressure (kind 1)
// or the largest ambient pressure (kind 2) of the calculation; 1 for anything else.
int AxisMaximum(int kind, const Workspace& workspace);

// Clears the picture and draws the time axis (0..xMax minutes) and the pressure axis
// (0..yMax bar) with ticks, numbers and the titles; `pressureTitle` names the vertical axis.
void DrawAnalysisAxes(Canvas& canvas, const Settings& settings, int yMax, int xMax,
                      std::string_view pressureTitle = "Druck [bar]");
void DrawAnalysisLegend(Canvas& canvas, int kind, const Workspace& workspace);
void DrawTissueCurves(Canvas& canvas, TissueGas gas, int yMax, int xMax,
                      const Workspace& workspace);
void DrawPressureRatio(Canvas& canvas, int yMax, int xMax, const Workspace& workspace);

// A whole tissue graph (kind 1) or the pressure-ratio graph (kind 2).
void DrawTissueGraph(Canvas& canvas, TissueGas gas, const Workspace& workspace);
void DrawPressureRatioGraph(Canvas& canvas, const Workspace& workspace);

// The colour of the computed depth line for a gas: the profile colour, or with several colours
// purple for helium mixes, olive for nitrogen mixes and blue for oxygen.
std::int32_t GasLineColour(const Settings& settings, double n2Percent, double hePercent);

// The computed profile on the grid of the profile graph, with the dive computer's marks when
// `showWarnings`.
void DrawComputedProfile(Canvas& canvas, const Workspace& workspace, bool showWarnings);
// The computed profile with the ascent speed of each minute and a summary.
void DrawAscentSpeeds(Canvas& canvas, const Workspace& workspace);
// The computed depth line over whatever the picture shows.
void OverlayComputedProfile(Canvas& canvas, const Workspace& workspace);

// The depths of a calculation kept for a later comparison.
struct KeptProfile {
    std::int32_t count = 0;
    std::vector<double> depths;  // records 0..6000
};
KeptProfile KeepProfile(const ComputedProfile& computed);
// The computed profile, and the kept one over it in red.
void DrawProfileComparison(Canvas& canvas, const Workspace& workspace, const KeptProfile& kept,
                           bool showWarnings);

// The dive values near the right edge of the graph, one below the other, each in the colour of
// a compartment: the number, site and date from the comment of the profile file, the oxygen
// doses, the maximum depth and the dive time.
void DrawDiveValues(Canvas& canvas, const Workspace& workspace);

// The CNS day dose over the dive, with its decay at the surface.
void DrawCnsDayGraph(Canvas& canvas, const Workspace& workspace);

// The tissue pressures of the calculation as a table: minute, depth, tolerated pressure and the
// total pressure of every compartment in use, numbers with the given decimal separator.
std::vector<std::string> SaturationTable(const Workspace& workspace,
                                         std::string_view decimalSeparator);

// The tissue pressures of the calculation cell by cell into a spreadsheet: titles in row 1,
// then one row per minute with minute, depth, tolerated pressure and compartments 1 to 16.
// Pending events run after every cell; when the spreadsheet refuses a cell (or the user presses
// Escape) the user is asked whether to stop. The finished sheet is opened; where it is kept goes
// to the message list, and into a message when no spreadsheet program opens it. Returns false
// when the export did not finish.
bool ExportSaturationToSpreadsheet(Workspace& workspace, Ui& ui, SpreadsheetLink& link);

// Where an export of the tissue pressures goes: beside the profile file, named after it, or
// into the profile folder for a profile without a file; `stamp` keeps every export apart.
std::string SaturationWorkbookPath(const std::string& profileFile, const std::string& profileFolder,
                                   const std::string& stamp);

}  // namespace marelos
