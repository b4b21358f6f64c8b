#include "workspace.h"

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

}  // namespace marelos
