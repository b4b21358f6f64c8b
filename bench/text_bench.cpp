// The text helpers run for every field of every line read from a profile file or a log.
#include <benchmark/benchmark.h>

#include <string>

#include "core/text/codepage.h"
#include "core/text/fields.h"
#include "core/text/number_format.h"
#include "core/text/val.h"

namespace {

void BM_ValDecimal(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(marelos::Val("  -123.456E-2 m"));
}
BENCHMARK(BM_ValDecimal);

void BM_GetFieldOfDataLine(benchmark::State& state) {
    const std::string line = "30\t5\t25\t78\t0";
    for (auto _ : state) {
        for (int field = 1; field <= 5; ++field) {
            benchmark::DoNotOptimize(marelos::GetField(line, field));
        }
    }
}
BENCHMARK(BM_GetFieldOfDataLine);

void BM_FormatGeneral(benchmark::State& state) {
    double value = 2.02343;
    for (auto _ : state) {
        benchmark::DoNotOptimize(marelos::FormatGeneral(value * 0.78));
        value += 1e-9;
    }
}
BENCHMARK(BM_FormatGeneral);

// A 6000-line profile file as it comes from disk: decoding plus line splitting.
void BM_DecodeAndSplitProfileFile(benchmark::State& state) {
    std::string file;
    for (int i = 0; i < 6000; ++i)
        file += std::to_string(i % 60) + "\t1\t" + std::to_string(i) + "\t78\t0\r\n";
    file +=
        "Ort: Überlingen, 12 \xB0"
        "C\r\n";  // Windows-1252 bytes force the second pass
    for (auto _ : state) {
        benchmark::DoNotOptimize(marelos::SplitLines(marelos::DecodeTextBytes(file)));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_DecodeAndSplitProfileFile);

}  // namespace
