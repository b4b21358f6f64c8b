// The import of a large dive log: 100 dives of 50 minutes with a sample every 2 seconds (about
// 11 MB), read, resampled and written as profile files.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>

#include "core/exchange/uddf_import.h"
#include "core/text/number_format.h"
#include "core/text/text_file.h"
#include "platform/uddf_xml.h"

namespace marelos {
namespace {

UddfLog HundredDives() {
    UddfLog log;
    log.mixes.push_back({"nx32", "EAN32", 0.32, 0.68, 0, 0});
    for (int d = 0; d < 100; ++d) {
        UddfDive dive;
        dive.id = "d" + std::to_string(d);
        dive.dateTime = "2024-07-" + PadZero(1 + d % 28, 2) + "T" + PadZero(d % 24, 2) + ":" +
                        PadZero(d % 60, 2) + ":00";
        dive.site = "Platz " + std::to_string(d);
        for (int t = 0; t <= 3000; t += 2) {
            const double depth = t < 2700 ? 25 + 5 * std::sin(t / 300.0) : 25.0 * (3000 - t) / 300;
            dive.waypoints.push_back(
                {double(t), std::round(depth * 100) / 100, t == 0 ? "nx32" : "", 290.0});
        }
        log.dives.push_back(std::move(dive));
    }
    return log;
}

void BM_ImportHundredDivesOfTwoSecondSamples(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / "marelos_uddf_bench";
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "log.uddf").string();
    WriteFileBytes(file, UddfDocument(HundredDives()));
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
    for (auto _ : state) {
        const Result<UddfLog> log = ReadUddfFile(file);
        for (int i = 0; i < static_cast<int>(log.value().dives.size()); ++i) {
            benchmark::DoNotOptimize(ImportDive(log.value(), i, (folder / "out").string(), true));
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ImportHundredDivesOfTwoSecondSamples)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace marelos
