// The walk through a DataTrak log of 250 kB (the example log's dives repeated, about 230 dives
// of 20-second samples), listed and converted into profile file texts without the disk.
#include <benchmark/benchmark.h>

#include "core/divecomputers/datatrak_log.h"
#include "core/text/text_file.h"

namespace marelos {
namespace {

std::string LogOf250Kilobytes() {
    const std::string example =
        ReadFileBytes(MARELOS_SOURCE_DIR "/examples/aladin-logbuch.log").value();
    std::string log = example;
    while (log.size() < 250000)  // the last copy is cut off in the middle of a dive
        log += example.substr(12, 250000 - log.size());
    log[6] = log[7] = '\xFF';  // the header counts them all, so the walk reaches the end
    return log;
}

void BM_DatatrakWalkOf250Kilobytes(benchmark::State& state) {
    const std::string log = LogOf250Kilobytes();
    state.counters["bytes"] = static_cast<double>(log.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(ConvertDatatrakLog(log, "/logs/aladin.log", "/tg"));
}
BENCHMARK(BM_DatatrakWalkOf250Kilobytes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace marelos
