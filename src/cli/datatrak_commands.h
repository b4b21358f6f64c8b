#pragma once

#include "cli/command_line.h"

namespace marelos {

// marelos-cli datatrak LOG OUTDIR: converts an Aladin DataTrak log as the import window does,
// writing the profile files into OUTDIR (existing ones are replaced) and printing the listed
// lines, the closing message last. A log that cannot be read, is too large, or a file that
// cannot be written ends with the message on `err` and exit code 1.
void AddDatatrakCommand(CommandSet& commands);

}  // namespace marelos
