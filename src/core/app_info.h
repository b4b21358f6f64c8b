#pragma once

#include <string>
#include <string_view>

namespace marelos {

// The program's own identity: the caption of every message box, the base of the window caption
// and the name of the settings store all derive from these values.
inline constexpr std::string_view kProgramTitle = "Marelos 3 Beta (Build 3.1.0)";
inline constexpr int kVersionMajor = 3;
inline constexpr int kVersionMinor = 1;
inline constexpr int kVersionRevision = 0;

// "Marelos" followed by major and minor version digits: a new minor version starts with an
// empty settings store.
std::string ApplicationName();

// The title up to, but not including, its first "(" (the trailing blank stays): "Marelos 3 Beta ".
std::string_view TitleBeforeParenthesis();

// The title up to the blank before its "(": "Marelos 3 Beta".
std::string_view TitleWithoutBuild();

// The first line of the message list: the title before its "(" followed by the build number.
std::string BuildLine();

// The main window caption: the title without its build, then " - " and the status when there is
// one, then " - " and the shortened file name, or "Unbenannte Datei" for an untitled profile.
std::string WindowCaption(std::string_view status, std::string_view fileName);

}  // namespace marelos
