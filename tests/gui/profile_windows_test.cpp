#include "app/profile/profile_windows.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include "core/settings/memory_settings_store.h"
#include "platform/freedesktop_file_type.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

QByteArray Read(const QString& path) {
    return QByteArray::fromStdString(FileBytes(path.toStdString()));
}

TEST(frmDiveComment, FieldsByNameGasButtonsLastValuesAndSavingTwice) {
    QTemporaryDir dir;
    const QString path = dir.filePath("tg.mrp");
    PutFile(path.toStdString(), "30\t3\t3\t78\t0\r\n# END OF PROFILE #\r\nAtemgas(e): Luft\r\n");
    InMemorySettingsStore store;
    store.WriteSetting("DiveComments", "LastCountry", "Kroatien");
    ScriptedUi ui;
    frmDiveComment window(store, ui, nullptr);
    Transcript t;
    t.Mask(dir.path().toStdString(), "<dir>");
    const auto field = [&](const char* name) { return window.findChild<QLineEdit*>(name)->text(); };
    ASSERT_TRUE(window.OpenDiveComment(path.toStdString()));
    t.Note("Gase", field("txt11"));
    window.findChild<QPushButton*>("cmdNitrox")->click();
    window.findChild<QPushButton*>("cmdCountry")->click();
    t.Note("Nitrox, Land", field("txt11"), field("txt1"));
    window.findChild<QLineEdit*>("txtDiveNum")->setText("3");
    window.findChild<QPlainTextEdit*>("txt12")->setPlainText("erste Zeile\nzweite Zeile");
    window.cmdSave();
    window.cmdSave();
    const QByteArray saved = Read(path);
    t.Note("zweimal gespeichert: Ende, Nummer, Bemerkungen", saved.count("# END OF PROFILE #"),
           saved.count("TG-Nummer: 3\r\n"),
           saved.contains("Bemerkungen: erste Zeile zweite Zeile\r\n"));
    EXPECT_FALSE(window.OpenDiveComment(dir.filePath("fehlt.mrp").toStdString()));
    t.Note("fehlt", ui.lines.back());
}

TEST(frmEditProfile, ShowsTheProfileAndSavesTheTextWithoutHeader) {
    QTemporaryDir dir;
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}));
    workspace->profile.lines[1] = {30, 3, 3, 78, 0};
    workspace->profile.nextPoint = 2;
    ScriptedUi ui;
    frmEditProfile window(*workspace, ui, nullptr);
    Transcript t;
    t.Note("gezeigt", window.text()->toPlainText());
    const QString saved = dir.filePath("text.mrp");
    ui.files = {saved.toStdString()};
    window.SaveTextFile();
    EXPECT_EQ(Read(saved), "30\t3\t3\t78\t0\r\n");
    const QString prf = dir.filePath("alt.prf");
    PutFile(prf.toStdString(), "12 4 4 78 0\r\n");
    ui.files = {prf.toStdString()};
    window.LoadTextFile();
    t.Note("geladen", window.text()->toPlainText());
}

// Sets an environment variable for the life of one test.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const QString& value) : name_(name), old_(qgetenv(name)) {
        qputenv(name, value.toUtf8());
    }
    ~ScopedVariable() { qputenv(name_, old_); }

  private:
    const char* name_;
    QByteArray old_;
};

// The user's own registration writes the files the package installs, in the user's data folder;
// either makes the type known, and then the program does not ask.
TEST(FileTypeRegistration, WritesThePackagedFilesUnderTheDataFolderAndKnowsAnInstalledType) {
    QTemporaryDir home;
    QTemporaryDir system;
    const ScopedVariable dataHome("XDG_DATA_HOME", home.path());
    const ScopedVariable dataDirs("XDG_DATA_DIRS", system.path());
    FreedesktopFileTypeRegistry registry("/opt/marelos/bin/marelos");
    EXPECT_FALSE(registry.ProfileFileTypeKnown());

    // As the package lays them out: only both files together are a registration.
    const std::string packaged = MARELOS_SOURCE_DIR "/packaging/";
    QDir(system.path()).mkpath("mime/packages");
    QDir(system.path()).mkpath("applications");
    PutFile(system.filePath("mime/packages/marelos-profile.xml").toStdString(),
            FileBytes(packaged + "marelos-profile.xml"));
    EXPECT_FALSE(registry.ProfileFileTypeKnown());
    PutFile(system.filePath("applications/marelos.desktop").toStdString(),
            FileBytes(packaged + "marelos.desktop"));
    EXPECT_TRUE(registry.ProfileFileTypeKnown());

    QDir(system.path()).removeRecursively();
    ASSERT_TRUE(registry.RegisterProfileFileType());
    EXPECT_TRUE(registry.ProfileFileTypeKnown());
    EXPECT_EQ(Read(FreedesktopFileTypeRegistry::MimePackagePath()),
              Read(QString::fromStdString(packaged + "marelos-profile.xml")));
    EXPECT_EQ(Read(FreedesktopFileTypeRegistry::IconPath()),
              Read(QString::fromStdString(packaged + "marelos.svg")));
    Transcript t;  // the type's file below the data folder, and the desktop entry whole
    t.Mask(home.path().toStdString(), "<daten>");
    t.Note("Typ, Eintrag", FreedesktopFileTypeRegistry::MimePackagePath(),
           Read(FreedesktopFileTypeRegistry::DesktopEntryPath()));
}

}  // namespace
}  // namespace marelos
