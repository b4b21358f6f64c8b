#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace marelos {

// marelos-cli: the program's engine without a window. `args` are the arguments after the
// program name; `programFolder` stands in for the folder the program runs from. Returns the
// exit code: 0 done, 1 the work failed, 2 the command line was wrong.
int RunCli(const std::vector<std::string>& args, const std::string& programFolder,
           std::ostream& out, std::ostream& err);

}  // namespace marelos
