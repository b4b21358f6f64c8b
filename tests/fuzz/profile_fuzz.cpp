// A profile file as a user may open it: load (which calculates), the outputs that read the
// results, a save with the decompression lines, and loading the saved file again; once with the
// described decompression and twice with the planner (EAN50 and oxygen as decompression gases),
// with Bühlmann and with VPM-B.
#include "core/engine/dive_plan.h"
#include "core/profile/profile_file.h"
#include "core/settings/memory_settings_store.h"
#include "core/settings/setting_keys.h"
#include "core/ui/unattended_ui.h"
#include "core/workspace.h"
#include "fuzz_input.h"

namespace {

void OpenOutputSaveAndReopen(const std::string& path, marelos::SettingsStore& store) {
    using namespace marelos;
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(LoadSettings(store, "/")));
    UnattendedUi ui(Answer::Yes);  // "save the decompression phase too?" - yes
    if (!ReadProfileFile(*workspace, store, ui, path)) return;
    DivePlanLines(*workspace, store, ui);
    DecompressionText(*workspace);
    const std::string saved = (fuzz::Folder() / "gespeichert.mrp").string();
    if (!WriteProfileFile(*workspace, store, ui, saved)) return;
    auto reloaded = std::make_unique<Workspace>(WorkspaceFromSettings(LoadSettings(store, "/")));
    ReadProfileFile(*reloaded, store, ui, saved);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace marelos;
    const std::string path = fuzz::FileWith("tauchgang.mrp", fuzz::AsText(data, size));
    InMemorySettingsStore store;
    WriteSetting(store, keys::kStep, "True");
    OpenOutputSaveAndReopen(path, store);
    store.WriteSetting("Planner", "Enabled", "1");
    store.WriteSetting("Planner", "DecoGas1", "50/0");
    store.WriteSetting("Planner", "DecoGas2", "100/0");
    OpenOutputSaveAndReopen(path, store);
    store.WriteSetting("Planner", "Model", "VPMB");
    OpenOutputSaveAndReopen(path, store);
    return 0;
}
