// The dive series: a list of "hours|profile" entries. The first line of the input gives the
// surface intervals of two entries (separated by a blank), the rest is the profile they name.
#include <string>

#include "core/profile/repetitive_dives.h"
#include "core/settings/memory_settings_store.h"
#include "core/ui/unattended_ui.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace marelos;
    const std::string_view bytes = fuzz::AsText(data, size);
    const std::size_t lineEnd = std::min(bytes.find('\n'), bytes.size());
    const std::string_view hours = bytes.substr(0, lineEnd);
    const std::string profile =
        fuzz::FileWith("serie.mrp", bytes.substr(std::min(lineEnd + 1, bytes.size())));
    const std::size_t blank = std::min(hours.find(' '), hours.size());
    const std::vector<std::string> entries = {
        std::string(hours.substr(0, blank)) + "|" + profile,
        std::string(hours.substr(std::min(blank + 1, hours.size()))) + "|" + profile,
    };
    InMemorySettingsStore store;
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(LoadSettings(store, "/")));
    UnattendedUi ui;
    CalcDiveSeries(*workspace, ui, entries, (fuzz::Folder() / "serie.txt").string());
    return 0;
}
