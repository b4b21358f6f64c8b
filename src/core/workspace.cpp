#include "workspace.h"

#include "core/engine/tissues.h"
#include "core/profile/gas_mix.h"

namespace marelos {

Workspace WorkspaceFromSettings(const Settings& settings) {
    Workspace workspace;
    workspace.settings = settings;
    workspace.model = ModelFromSettings(settings);
    workspace.mix = {settings.o2PercentText, settings.n2PercentText, settings.hePercentText};
    workspace.mixList = MixPresets();
    return workspace;
}

void NewProfile(Workspace& workspace) {
    DiveProfile& profile = workspace.profile;
    profile.changed = false;
    profile.markCount = 0;
    profile.fileName.clear();
    ResetPoints(profile, workspace.computed);
    ClearLines(profile);
    InitTissues(workspace.tissues, workspace.settings.initialPpN2, workspace.settings.airPressure);
    ClearMarks(profile);
    workspace.view.mode = 1;
}

}  // namespace marelos
