#include "desktop_file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace marelos {

bool DesktopFileSystem::HasTrash() const {
    // The user's trash, or the folder it is made in when the first file is deleted.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) return false;
    QFileInfo place(QDir(data).filePath("Trash"));
    while (!place.exists() && !place.isRoot())
        place = QFileInfo(place.absolutePath());
    return place.isDir() && place.isWritable();
}

std::optional<Failure> DesktopFileSystem::MoveToTrash(const std::string& path) {
    // The trash is made in the user's data folder, which a fresh account may not have yet.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile file(QString::fromStdString(path));
    if (file.moveToTrash()) return std::nullopt;
    return Failure{FailureKind::WriteError, path, file.errorString().toStdString()};
}

}  // namespace marelos
