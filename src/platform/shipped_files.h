#pragma once

#include <QString>

namespace marelos {

// Where the program finds a file it ships, such as "hilfe/marelos-hilfe.html": beside the
// program when it runs from its build folder, else in the data folder of its installation
// (share/marelos beside bin/). When the file is in neither place, the installed path, so that a
// message can name where it belongs.
QString ShippedFilePath(const QString& programFolder, const QString& relativePath);

}  // namespace marelos
