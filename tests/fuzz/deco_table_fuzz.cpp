// The input text of the decompression table generator: depths and bottom times.
#include "core/engine/deco_table.h"
#include "core/settings/memory_settings_store.h"
#include "core/text/codepage.h"
#include "core/ui/unattended_ui.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace marelos;
    InMemorySettingsStore store;
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(LoadSettings(store, "/")));
    UnattendedUi ui;
    BuildDecoTable(*workspace, store, ui, SplitLines(DecodeTextBytes(fuzz::AsText(data, size))));
    return 0;
}
