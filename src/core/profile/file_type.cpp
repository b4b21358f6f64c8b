#include "file_type.h"

#include "core/settings/setting_keys.h"

namespace marelos {

void RegisterProfileFileType(FileTypeRegistry& registry, SettingsStore& store) {
    registry.RegisterProfileFileType();
    WriteSetting(store, keys::kTypeAssigned, "Done");
}

void AskToRegisterProfileFileType(FileTypeRegistry& registry, SettingsStore& store, Ui& ui) {
    const std::string assigned = ReadSetting(store, keys::kTypeAssigned);
    if (assigned == "Done" || assigned == "No" || registry.ProfileFileTypeKnown()) return;
    const Answer answer = ui.Ask(
        "Wollen sie den Dateityp '.mrp' mit Marelos verknüpfen, so dass Sie Tauchprofile aus dem "
        "Dateimanager durch Dopelklicken öffnen können?",
        Buttons::YesNo);
    if (answer == Answer::Yes) {
        RegisterProfileFileType(registry, store);
    } else {
        WriteSetting(store, keys::kTypeAssigned, "No");
    }
}

}  // namespace marelos
