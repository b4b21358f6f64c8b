// A hand-edited settings file: every line "Section/Key=value" is one stored setting.
#include <cstdlib>

#include "core/settings/memory_settings_store.h"
#include "core/settings/settings.h"
#include "core/text/codepage.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace marelos;
    InMemorySettingsStore store;
    for (const std::string& line : SplitLines(fuzz::AsText(data, size))) {
        const std::size_t slash = line.find('/');
        const std::size_t equals = line.find('=', slash == std::string::npos ? 0 : slash);
        if (slash == std::string::npos || equals == std::string::npos) continue;
        store.WriteSetting(line.substr(0, slash), line.substr(slash + 1, equals - slash - 1),
                           line.substr(equals + 1));
    }
    const Settings loaded = LoadSettings(store, "/opt/marelos");
    StepwiseForCalculation(store);
    StepwiseForOutputs(store);
    StartUpPictureMilliseconds(store);
    // Once in their stored form (numbers with 15 significant digits), the running values survive
    // being written and loaded again.
    const auto reload = [](const Settings& settings) {
        InMemorySettingsStore written;
        WriteSettings(written, settings);
        return LoadSettings(written, "/opt/marelos");
    };
    const Settings stored = reload(loaded);
    if (!(reload(stored) == stored)) std::abort();
    return 0;
}
