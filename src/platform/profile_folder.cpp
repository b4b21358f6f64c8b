#include "profile_folder.h"

#include <QDir>
#include <QStandardPaths>

namespace marelos {

std::string WritableProfileFolder(const std::string& stored) {
    if (QDir().mkpath(QString::fromStdString(stored))) return stored;
    const QString own =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/Tauchprofile";
    QDir().mkpath(own);
    return own.toStdString();
}

}  // namespace marelos
