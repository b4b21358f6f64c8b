#pragma once

#include <string>
#include <vector>

#include "core/engine/computed_profile.h"
#include "core/engine/model_parameters.h"
#include "core/engine/tissues.h"
#include "core/profile/dive_profile.h"
#include "core/settings/settings.h"

namespace marelos {

// The texts of the three mix fields of the main window, as typed.
struct GasMixFields {
    std::string o2 = "21";
    std::string n2 = "78";
    std::string he = "0";
};

// What the main graph shows: 1 profile input, 2 analysis graph, 4 decompression tables; and
// which analysis graph: 1 tissue pressures, 2 pressure ratio, 3 computed profile.
struct ViewState {
    int mode = 1;
    int graphKind = 3;
};

// Everything the program works on: the running settings, the model, the tissues, the current
// dive and the results of the last calculation. The main window (or the command-line tool) owns
// one and passes it, or the part a function needs, explicitly.
struct Workspace {
    Settings settings;
    ModelParameters model;
    TissueState tissues;
    DiveProfile profile;
    ComputedProfile computed;
    GasMixFields mix;
    std::vector<std::string> mixList;  // presets and used mixes
    ViewState view;
    bool cancelRequested = false;  // set by the Escape key, polled by long work
};

// A workspace as the program starts with these settings: the model of the stored model and
// progressivity, the mix fields from the stored mix texts, the mix presets, and the start point.
Workspace WorkspaceFromSettings(const Settings& settings);

// A new, empty profile: no file, no points (not even the start point), no lines, no marks,
// tissues at the surface state, nothing computed, and the profile input view. (Asking whether a
// changed profile is to be saved first is the window's part.)
void NewProfile(Workspace& workspace);

}  // namespace marelos
