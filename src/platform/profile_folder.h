#pragma once

#include <string>

namespace marelos {

// The folder profiles are written to: the stored one, made when it is missing. The program's
// folder may be read-only (an installed program), so a folder that cannot be made gives way to
// "Tauchprofile" in the user's data folder.
std::string WritableProfileFolder(const std::string& stored);

}  // namespace marelos
