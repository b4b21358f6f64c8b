#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace marelos {

// marelos-cli datatrak LOG OUTDIR: converts an Aladin DataTrak log as the import window does,
// writing the profile files into OUTDIR (existing ones are replaced) and printing the listed
// lines, the closing message last. A log that cannot be read, is too large, or a file that
// cannot be written ends with the message on `err` and exit code 1.
// Returns the exit code, or -1 when `command` is not this one or its operands do not fit.
int RunDatatrakCommand(const std::string& command, const std::vector<std::string>& operands,
                       std::ostream& out, std::ostream& err);

}  // namespace marelos
