#include "platform/qt_settings_store.h"

#include <gtest/gtest.h>

#include "core/settings/settings.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

// The file written into the test's own folder, as the store's path.
QString WriteFile(const TempFolder& dir, const std::string& name, const std::string& content) {
    return QString::fromStdString(PutFile(dir.File(name), content));
}

QByteArray ReadFile(const QString& path) {
    return QByteArray::fromStdString(FileBytes(path.toStdString()));
}

TEST(QtSettingsStore, LivesAsMarelos31IniInTheConfigFolderOfXdgConfigHome) {
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    ASSERT_FALSE(configHome.isEmpty());
    EXPECT_EQ(QtSettingsStore::DefaultFilePath(), QString(configHome) + "/Marelos31.ini");
    QtSettingsStore store;
    store.WriteSetting("Values", "TankSize", "12");
    EXPECT_TRUE(ReadFile(QString(configHome) + "/Marelos31.ini").contains("TankSize=12"));
}

TEST(QtSettingsStore, ReadsAndWritesWithoutRegardToCaseInTheFilesSpelling) {
    const TempFolder dir("ini");
    const QString path = WriteFile(dir, "s.ini", "[warnings]\nppo2hi=1\n");
    Transcript t;
    {
        QtSettingsStore store(path);
        t.Note("gelesen", store.ReadSetting("Warnings", "PPO2Hi"),
               store.ReadSetting("Values", "PPO2Hi"));
        store.WriteSetting("WARNINGS", "PpO2Hi", "0");
        store.WriteSetting("Warnings", "PpO2Lo", "1");  // a new key in the section's spelling
        store.WriteSetting("Values", "MaxPPO2", "1.4");
        t.Note("geschrieben", store.ReadSetting("values", "maxppo2"),
               store.ReadSetting("WARNINGS", "ppo2lo"));
    }
    t.Note("die Datei", ReadFile(path).toStdString());  // one [warnings], ppo2hi=0 as spelled
}

// A file edited by hand: garbage lines are skipped, of two lines for one key the later counts,
// blanks around a value go, and the load rules make numbers of what is left. A cylinder typed by
// hand keeps the ";" between its fields, quoted or not; a ";" after a space starts a comment.
TEST(QtSettingsStore, AHandEditedFileLoadsByTheLoadRulesAndKeepsItsCylinders) {
    const TempFolder dir("ini");
    const QString path = WriteFile(
        dir, "s.ini",
        "Unsinn ohne Abschnitt\n[Unbekannt]\nx=1\n[Values]\nAirConsumption=15,5\nDecoModel=2\n"
        "DecoModel=4\nairpressure=  950  \n=ohne Schlüssel\n\x01\x02\xff\nConstantppO2=1,3\n"
        "TankSize=12 ; Liter\n[decompression]\nSharp1stStep=true\n[Settings]\n"
        "FileStoragePath=/home/jörg/Tauchgänge/\n[Cylinders]\nCylinder1=D12;24;232;21/0\n"
        "cylinder2=\"S80;11.1;207;50/0\"\nCylinder3=S40;5.7;207;100/0\nCylinder3=\n");
    const QByteArray typed = ReadFile(path);
    QtSettingsStore store(path);
    Transcript t;
    t.Note("gelesen", store.ReadSetting("Values", "AirConsumption"),
           store.ReadSetting("Decompression", "Sharp1stStep"),
           store.ReadSetting("Values", "TankSize"), store.ReadSetting("Cylinders", "Cylinder1"),
           store.ReadSetting("cylinders", "Cylinder2"), store.ReadSetting("Cylinders", "Cylinder3"),
           LoadGasPlanSettings(store).cylinders.size());
    EXPECT_EQ(ReadFile(path), typed);  // reading never writes the file
    // Loading writes what is missing; any write keeps the hand-typed values whole, quoted from
    // then on.
    const Settings s = LoadSettings(store, "/opt/marelos");
    t.Note("geladen", s.airConsumption, s.decoModel, s.airPressure, s.constantPpO2,
           s.fileStoragePath, store.ReadSetting("Values", "DecoMode"),
           QtSettingsStore(path).ReadSetting("Cylinders", "Cylinder1"));
    store.WriteSetting("Cylinders", "Cylinder1", "D7;7;200;32/0");
    t.Note("die Flasche geschrieben", store.ReadSetting("Cylinders", "Cylinder1"),
           QtSettingsStore(path).ReadSetting("Cylinders", "Cylinder1"));
}

// The values of tests/data/platform/ini_values.txt, one a line, written and read back.
TEST(QtSettingsStore, ValuesWithSpecialCharactersComeBackUnchanged) {
    const TempFolder dir("ini");
    const QString path = QString::fromStdString(dir.File("s.ini"));
    const auto values = DataRows("platform/ini_values.txt");
    {
        QtSettingsStore store(path);
        for (std::size_t i = 0; i < values.size(); ++i)
            store.WriteSetting("Files", std::to_string(i), values[i][0]);
    }
    QtSettingsStore reopened(path);
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(reopened.ReadSetting("Files", std::to_string(i)), values[i][0]);
}

}  // namespace
}  // namespace marelos
