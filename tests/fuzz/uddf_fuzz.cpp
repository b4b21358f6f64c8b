// A dive log in the exchange format: parsed, every dive summarised and turned into a profile
// file, and the log written again must parse again.
#include <cstdlib>

#include "core/exchange/uddf_import.h"
#include "fuzz_input.h"
#include "platform/uddf_xml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace marelos;
    const Result<UddfLog> log = ParseUddf(fuzz::AsText(data, size), "fuzz.uddf");
    if (!log) return 0;
    for (std::size_t i = 0; i < log.value().dives.size(); ++i) {
        const UddfDive& dive = log.value().dives[i];
        SummarizeDive(dive, log.value().mixes);
        ImportedFileName(dive, static_cast<int>(i) + 1);
        if (!ImportProblem(dive)) (void)ImportedProfileFile(dive, log.value().mixes);
    }
    if (!ParseUddf(UddfDocument(log.value()), "fuzz.uddf")) std::abort();
    return 0;
}
