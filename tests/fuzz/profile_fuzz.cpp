// A profile file as a user may open it: load (which calculates), the outputs that read the
// results, a save with the decompression lines, and loading the saved file again; and the same
// file planned with the bubble model.
#include "core/engine/dive_plan.h"
#include "core/planner/planner_settings.h"
#include "core/profile/profile_file.h"
#include "core/settings/memory_settings_store.h"
#include "core/settings/setting_keys.h"
#include "core/ui/unattended_ui.h"
#include "core/workspace.h"
#include "fuzz_input.h"

namespace {

// The same input once more with the planner on and the bubble model planning the ascent, with a
// decompression gas to switch to.
void PlanWithVpmb(const std::string& path) {
    using namespace marelos;
    InMemorySettingsStore store;
    WriteSetting(store, keys::kPlannerEnabled, "1");
    WriteSetting(store, keys::kPlannerModel, "VPMB");
    WriteSetting(store, DecoGasKey(1), "50/0");
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(LoadSettings(store, "/")));
    UnattendedUi ui(Answer::Yes);
    if (!ReadProfileFile(*workspace, store, ui, path)) return;
    DivePlanLines(*workspace, store, ui);
    DecompressionText(*workspace);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace marelos;
    const std::string path = fuzz::FileWith("tauchgang.mrp", fuzz::AsText(data, size));
    PlanWithVpmb(path);
    InMemorySettingsStore store;
    WriteSetting(store, keys::kStep, "True");
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(LoadSettings(store, "/")));
    UnattendedUi ui(Answer::Yes);  // "save the decompression phase too?" - yes
    if (!ReadProfileFile(*workspace, store, ui, path)) return 0;
    DivePlanLines(*workspace, store, ui);
    DecompressionText(*workspace);
    const std::string saved = (fuzz::Folder() / "gespeichert.mrp").string();
    if (!WriteProfileFile(*workspace, store, ui, saved)) return 0;
    auto reloaded = std::make_unique<Workspace>(WorkspaceFromSettings(LoadSettings(store, "/")));
    ReadProfileFile(*reloaded, store, ui, saved);
    return 0;
}
