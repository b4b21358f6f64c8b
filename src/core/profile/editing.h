#pragma once

#include <cstdint>
#include <string>

#include "core/graphics/canvas.h"
#include "core/settings/settings_store.h"
#include "core/ui/ui.h"
#include "core/workspace.h"

namespace marelos {

// The editing of the dive on the profile graph. Positions are picture units (twips) of the
// canvas the profile is drawn on.

// mnuCalcProfile: the line table from the points, the profile drawn, and the input view.
void mnuCalcProfile(Workspace& workspace, Canvas& canvas, Ui& ui);
// mnuProfileInput: the input view (view mode 1) with its caption, the profile drawn again.
void EnterInputMode(Workspace& workspace, Canvas& canvas, Ui& ui);

// A click in the input view: checks the mix, takes the point at the clicked minute and depth
// (or offers to delete a point there), draws its circle and adds the mix to the used mixes.
// Returns true when a point was added.
bool AddPointAtClick(Workspace& workspace, Canvas& canvas, Ui& ui, double x, double y);
// Asks for every point at the clicked minute and depth whether to delete it; true when one was.
// The message list says which point went, or that none did.
bool AskDeletePointAt(Workspace& workspace, Canvas& canvas, Ui& ui, double x, double y);
// The double click: after a question, every point at or right of the minute at x goes.
void DeleteRightOfCursor(Workspace& workspace, Canvas& canvas, Ui& ui, double x);
// The last point entered goes (its entry stays, at minute 0).
void DeleteLastPoint(Workspace& workspace, Canvas& canvas, Ui& ui);
// Every point after minute m moves one minute later, or earlier.
void InsertMinute(Workspace& workspace, Canvas& canvas, Ui& ui, std::int32_t minute);
void DeleteMinute(Workspace& workspace, Canvas& canvas, Ui& ui, std::int32_t minute);
// The menu forms: ask for the minute first; 0 or no answer does nothing.
void AskInsertMinute(Workspace& workspace, Canvas& canvas, Ui& ui);
void AskDeleteMinute(Workspace& workspace, Canvas& canvas, Ui& ui);

// The axis lengths asked from the user, stored and drawn.
void SetTimeAxis(Workspace& workspace, SettingsStore& store, Canvas& canvas, Ui& ui);
void SetDepthAxis(Workspace& workspace, SettingsStore& store, Canvas& canvas, Ui& ui);

// The N2 field asked from the user: 0 to 78 per cent, cut to a whole number.
void AskN2Percent(Workspace& workspace, Ui& ui);
// The mix of the fields for every point, then the dive calculated anew.
void ApplyMixToAllPoints(Workspace& workspace, const SettingsStore& store, Canvas& canvas, Ui& ui);
// cmdNewCalc: the same after the user confirmed that the gas changes are lost.
void cmdNewCalc(Workspace& workspace, const SettingsStore& store, Canvas& canvas, Ui& ui);

// F2: the best mix for the depth under the pointer into the mix fields.
void SetBestMixAtCursor(Workspace& workspace, const Canvas& canvas, double y);
// F3: the O2 share for a constant ppO2 at the depth under the pointer; with `askPpO2` the ppO2
// is asked (the question names the cursor position text), else the stored one is used.
void SetConstantPpO2MixAtCursor(Workspace& workspace, const Canvas& canvas, Ui& ui, double y,
                                bool askPpO2, const std::string& cursorPositionText);

// The cursor readout beside the graph at a pointer position.
struct CursorReadout {
    std::string position = "---";  // lblCurPos
    std::string bestMix = "---";   // lblBestMix
    std::string ppO2 = "---";      // lblppO2
    std::int32_t ppO2Colour = 0;
    std::string ppN2 = "---";  // lblppN2
    std::int32_t ppN2Colour = 0;
};
CursorReadout ShowCursorReadout(const Workspace& workspace, const Canvas& canvas, double x,
                                double y);

// A click outside the input view: the remaining air at the minute under the pointer, in the
// message list. Returns the minute.
std::int32_t SelectCursorMinute(const Workspace& workspace, const Canvas& canvas, Ui& ui, double x);

}  // namespace marelos
