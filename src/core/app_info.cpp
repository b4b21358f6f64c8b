#include "app_info.h"

#include "core/text/paths.h"

namespace marelos {

std::string ApplicationName() {
    return "Marelos" + std::to_string(kVersionMajor) + std::to_string(kVersionMinor);
}

std::string_view TitleBeforeParenthesis() {
    return kProgramTitle.substr(0, kProgramTitle.find('('));
}

std::string_view TitleWithoutBuild() {
    std::string_view title = TitleBeforeParenthesis();
    if (!title.empty() && title.back() == ' ') title.remove_suffix(1);
    return title;
}

std::string BuildLine() {
    return std::string(TitleBeforeParenthesis()) + " (Build " + std::to_string(kVersionMajor) +
           "." + std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision) + ")";
}

std::string WindowCaption(std::string_view status, std::string_view fileName) {
    std::string caption(TitleWithoutBuild());
    if (!status.empty()) caption += " - " + std::string(status);
    caption += " - ";
    caption += fileName.empty() ? std::string("Unbenannte Datei") : ShortenPath(fileName);
    return caption;
}

}  // namespace marelos
