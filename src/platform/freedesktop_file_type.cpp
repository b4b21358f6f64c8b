#include "freedesktop_file_type.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace marelos {
namespace {

bool WriteWhole(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(content);
    return file.commit();
}

// Runs a desktop tool when it is installed; its result does not matter for the program.
void RunIfPresent(const QString& program, const QStringList& arguments) {
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty()) return;
    QProcess process;
    process.start(found, arguments);
    process.waitForFinished(10000);
}

QString DataHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

// A file the program carries as a resource: the same bytes the package installs.
QByteArray Shipped(const QString& name) {
    QFile file(":/marelos/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

constexpr const char* kMimePackage = "mime/packages/marelos-profile.xml";
constexpr const char* kDesktopEntry = "applications/marelos.desktop";

}  // namespace

FreedesktopFileTypeRegistry::FreedesktopFileTypeRegistry(QString programPath)
    : programPath_(std::move(programPath)) {}

QString FreedesktopFileTypeRegistry::MimePackagePath() {
    return DataHome() + "/" + kMimePackage;
}

QString FreedesktopFileTypeRegistry::DesktopEntryPath() {
    return DataHome() + "/" + kDesktopEntry;
}

QString FreedesktopFileTypeRegistry::IconPath() {
    return DataHome() + "/icons/hicolor/scalable/apps/marelos.svg";
}

bool FreedesktopFileTypeRegistry::ProfileFileTypeKnown() const {
    const auto located = [](const char* name) {
        return !QStandardPaths::locate(QStandardPaths::GenericDataLocation, name).isEmpty();
    };
    return located(kMimePackage) && located(kDesktopEntry);
}

bool FreedesktopFileTypeRegistry::RegisterProfileFileType() {
    const QByteArray mime = Shipped("marelos-profile.xml");
    const QByteArray icon = Shipped("marelos.svg");
    if (mime.isEmpty() || icon.isEmpty()) return false;
    const QByteArray desktop =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Marelos\n"
        "Comment=Tauchgänge planen und auswerten\n"
        "Exec=\"" +
        programPath_.toUtf8() +
        "\" %f\n"
        "Icon=marelos\n"
        "Terminal=false\n"
        "Categories=Science;Education;\n"
        "MimeType=" +
        QByteArray(kMimeType) + ";\n";
    const bool written = WriteWhole(MimePackagePath(), mime) && WriteWhole(IconPath(), icon) &&
                         WriteWhole(DesktopEntryPath(), desktop);
    if (!written) return false;
    RunIfPresent("update-mime-database", {DataHome() + "/mime"});
    RunIfPresent("update-desktop-database", {DataHome() + "/applications"});
    RunIfPresent("xdg-mime", {"default", "marelos.desktop", kMimeType});
    return true;
}

}  // namespace marelos
