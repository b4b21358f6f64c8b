#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace marelos {

// marelos-cli vyper-decode DUMPFILE OUTDIR [PREVIOUS]: the bytes of one downloaded dive, written
// as decimal numbers, become a profile file in OUTDIR (an existing one is replaced); the dive's
// summary lines and then the file name are printed. Returns the exit code, or -1 when `command`
// is another one or its operands do not fit.
int RunVyperCommand(const std::string& command, const std::vector<std::string>& operands,
                    std::ostream& out, std::ostream& err);

}  // namespace marelos
