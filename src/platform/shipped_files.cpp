#include "shipped_files.h"

#include <QDir>
#include <QFileInfo>

namespace marelos {

QString ShippedFilePath(const QString& programFolder, const QString& relativePath) {
    const QDir program(programFolder);
    const QString beside = program.filePath(relativePath);
    if (QFileInfo::exists(beside)) return beside;
    // The data folder as the installation lays it out relative to the programs' folder.
    return QDir::cleanPath(program.filePath(MARELOS_DATA_FROM_PROGRAM "/" + relativePath));
}

}  // namespace marelos
