#include "platform/shipped_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/fakes/temp_folder.h"

namespace marelos {
namespace {

void PutFileAndFolders(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    PutFile(path.toStdString(), "<html></html>");
}

// The build folder keeps the help beside the program; an installation keeps it in
// share/marelos beside bin/.
TEST(ShippedFiles, BesideTheProgramFirstThenInTheInstallationsDataFolder) {
    const QTemporaryDir prefix;
    const QString bin = prefix.filePath("bin");
    const QString help = "hilfe/marelos-hilfe.html";
    const QString installed = prefix.filePath("share/marelos/" + help);
    EXPECT_EQ(ShippedFilePath(bin, help), installed);  // in neither place: where it belongs
    PutFileAndFolders(installed);
    EXPECT_EQ(ShippedFilePath(bin, help), installed);
    PutFileAndFolders(bin + "/" + help);
    EXPECT_EQ(ShippedFilePath(bin, help), bin + "/" + help);
}

}  // namespace
}  // namespace marelos
