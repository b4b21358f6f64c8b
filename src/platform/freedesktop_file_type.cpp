#include "freedesktop_file_type.h"

#include <QDir>
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

}  // namespace

FreedesktopFileTypeRegistry::FreedesktopFileTypeRegistry(QString programPath)
    : programPath_(std::move(programPath)) {}

QString FreedesktopFileTypeRegistry::MimePackagePath() {
    return DataHome() + "/mime/packages/marelos-profile.xml";
}

QString FreedesktopFileTypeRegistry::DesktopEntryPath() {
    return DataHome() + "/applications/marelos.desktop";
}

bool FreedesktopFileTypeRegistry::RegisterProfileFileType() {
    const QByteArray mime =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"" +
        QByteArray(kMimeType) +
        "\">\n"
        "    <comment>Marelos Tauchprofil</comment>\n"
        "    <glob pattern=\"*.mrp\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n";
    const QByteArray desktop =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Marelos\n"
        "Comment=Tauchgänge planen und auswerten\n"
        "Exec=\"" +
        programPath_.toUtf8() +
        "\" %f\n"
        "Icon=applications-science\n"
        "Terminal=false\n"
        "Categories=Science;Education;\n"
        "MimeType=" +
        QByteArray(kMimeType) + ";\n";
    const bool written =
        WriteWhole(MimePackagePath(), mime) && WriteWhole(DesktopEntryPath(), desktop);
    if (!written) return false;
    RunIfPresent("update-mime-database", {DataHome() + "/mime"});
    RunIfPresent("update-desktop-database", {DataHome() + "/applications"});
    RunIfPresent("xdg-mime", {"default", "marelos.desktop", kMimeType});
    return true;
}

}  // namespace marelos
