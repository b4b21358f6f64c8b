#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/command_line.h"

namespace marelos {

// What the command that `args` choose needs of Qt (see CommandNeeds), so that the program
// makes the application it needs before it runs; the core application for a command line that
// is wrong, which the run refuses.
CommandNeeds NeedsOf(const std::vector<std::string>& args);

// marelos-cli: the program's engine without a window. `args` are the arguments after the
// program name; `programFolder` stands in for the folder the program runs from. Returns the
// exit code: 0 done, 1 the work failed, 2 the command line was wrong, 3 a dive could not be
// calculated to its end.
int RunCli(const std::vector<std::string>& args, const std::string& programFolder,
           std::ostream& out, std::ostream& err);

// The exit code once everything is written: a command's output that did not reach standard
// output in full (a full disk, a closed pipe) fails the run, with a message on `err`.
int FinishOutput(std::ostream& out, std::ostream& err, int code);

}  // namespace marelos
