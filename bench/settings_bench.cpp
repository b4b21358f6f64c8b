// Loading the settings is on the start-up path of the program.
#include <benchmark/benchmark.h>

#include "core/settings/memory_settings_store.h"
#include "core/settings/settings.h"

namespace {

void BM_LoadSettingsFromFullStore(benchmark::State& state) {
    marelos::InMemorySettingsStore store;
    marelos::WriteSettings(store, marelos::Settings{});
    for (auto _ : state)
        benchmark::DoNotOptimize(marelos::LoadSettings(store, "/opt/marelos"));
}
BENCHMARK(BM_LoadSettingsFromFullStore);

}  // namespace
