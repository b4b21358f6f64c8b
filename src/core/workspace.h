#pragma once

#include "core/settings/settings.h"

namespace marelos {

// Everything the program works on: the running settings now; the current dive, the model, the
// tissues and the results of the last calculation join it as they are built. The main window (or
// the command-line tool) owns one and passes it, or the part a function needs, explicitly.
struct Workspace {
    Settings settings;
};

}  // namespace marelos
