// A Vyper dive's bytes as the link collects them, of any content: the conversion reads no byte
// outside them, and a dive it does not refuse is one a Vyper can have made.
#include <cstdlib>
#include <string>

#include "core/divecomputers/vyper_dive.h"

namespace {

// A data line: whole depth, t.delta 1, the minute, N2 % and He 0.
bool PlausibleLine(const std::string& line, int minute) {
    std::size_t at = 0;
    const int depth = std::stoi(line, &at);
    if (depth < 0 || depth > 150 || line.substr(at, 3) != "\t1\t") return false;
    std::size_t next = 0;
    const std::string rest = line.substr(at + 3);
    if (std::stoi(rest, &next) != minute) return false;
    const int n2 = std::stoi(rest.substr(next + 1));
    return n2 >= 99 - 50 && n2 <= 99 - 21 && line.ends_with("\t0");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace marelos;
    const auto dive = ConvertVyperDive({data, size}, "/tg/vorher.mrp");
    if (!dive) {
        if (size >= 16) std::abort();  // only 15 bytes or fewer are no dive
        return 0;
    }
    if (dive->summaryLines.size() != 9 || dive->fileLines.empty()) std::abort();
    if (!dive->impossible.empty()) {
        if (VyperRefusalLine(*dive).empty()) std::abort();
        return 0;
    }
    if (!dive->name.starts_with("Tauchgang ") || dive->name.size() > 40) std::abort();
    int minute = 0;
    for (std::size_t i = 1; i < dive->fileLines.size(); ++i) {
        const std::string& line = dive->fileLines[i];
        if (line == "# END OF PROFILE #") break;
        if (line.starts_with("; ")) continue;  // a mark
        if (!PlausibleLine(line, minute++)) std::abort();
    }
    return 0;
}
