// DataTrak logs of any bytes: the walk lists and converts without reading past the log, and
// every dive it converts becomes one file.
#include <cstdlib>

#include "core/divecomputers/datatrak_log.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace marelos;
    const DatatrakConversion c = ConvertDatatrakLog(fuzz::AsText(data, size), "/a/log.log", "/tg");
    if (static_cast<std::size_t>(c.outcome.written) != c.files.size()) std::abort();
    for (const DatatrakFile& file : c.files) {
        if (file.lines.size() < 14) std::abort();  // header, end mark and twelve comment lines
    }
    return 0;
}
