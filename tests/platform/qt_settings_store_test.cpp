#include "platform/qt_settings_store.h"

#include <gtest/gtest.h>

#include "core/settings/settings.h"
#include "tests/fakes/temp_folder.h"

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
    {
        QtSettingsStore store(path);
        EXPECT_EQ(store.ReadSetting("Warnings", "PPO2Hi"), "1");
        EXPECT_EQ(store.ReadSetting("Values", "PPO2Hi"), "");
        store.WriteSetting("WARNINGS", "PpO2Hi", "0");
        store.WriteSetting("Warnings", "PpO2Lo", "1");  // a new key in the section's spelling
        store.WriteSetting("Values", "MaxPPO2", "1.4");
        EXPECT_EQ(store.ReadSetting("values", "maxppo2"), "1.4");
        EXPECT_EQ(store.ReadSetting("WARNINGS", "ppo2lo"), "1");
    }
    const QByteArray written = ReadFile(path);
    for (const char* part : {"ppo2hi=0", "PpO2Lo=1", "MaxPPO2=1.4"})
        EXPECT_TRUE(written.contains(part)) << part;
    EXPECT_EQ(QString(written).count("[warnings]", Qt::CaseInsensitive), 1);
    EXPECT_FALSE(written.contains("PpO2Hi"));
}

// Garbage lines are skipped, of two lines for one key the later counts, blanks around a value
// go; the load rules then make numbers of what is left.
TEST(QtSettingsStore, AHandEditedFileWithGarbageLoadsByTheLoadRules) {
    const TempFolder dir("ini");
    QtSettingsStore store(WriteFile(dir, "s.ini",
                                    "Unsinn ohne Abschnitt\n[Unbekannt]\nx=1\n[Values]\n"
                                    "AirConsumption=15,5\nDecoModel=2\nDecoModel=4\n"
                                    "airpressure=  950  \n=ohne Schlüssel\n\x01\x02\xff\n"
                                    "ConstantppO2=1,3\n[decompression]\nSharp1stStep=true\n"
                                    "[Settings]\nFileStoragePath=/home/jörg/Tauchgänge/\n"));
    EXPECT_EQ(store.ReadSetting("Values", "AirConsumption"), "15,5");
    const Settings s = LoadSettings(store, "/opt/marelos");
    EXPECT_EQ(s.airConsumption, 15);
    EXPECT_EQ(s.decoModel, 4);
    EXPECT_EQ(s.airPressure, 950);
    EXPECT_EQ(s.constantPpO2, 1.3);
    EXPECT_EQ(s.fileStoragePath, "/home/jörg/Tauchgänge/");
    EXPECT_EQ(store.ReadSetting("Decompression", "Sharp1stStep"), "true");
    EXPECT_EQ(store.ReadSetting("Values", "DecoMode"), "3");
}

// A cylinder typed by hand keeps the ";" between its fields, quoted or not; a ";" after a
// space still starts a comment.
TEST(QtSettingsStore, HandTypedCylindersKeepTheirSemicolons) {
    const TempFolder dir("ini");
    const QString path = WriteFile(dir, "s.ini",
                                   "[Cylinders]\n"
                                   "Cylinder1=D12;24;232;21/0\n"
                                   "cylinder2=\"S80;11.1;207;50/0\"\n"
                                   "Cylinder3=S40;5.7;207;100/0\n"
                                   "Cylinder3=\n"
                                   "[Values]\nDecoModel=2 ; ZH-L16B\n");
    QtSettingsStore store(path);
    EXPECT_EQ(store.ReadSetting("Cylinders", "Cylinder1"), "D12;24;232;21/0");
    EXPECT_EQ(store.ReadSetting("cylinders", "Cylinder2"), "S80;11.1;207;50/0");
    EXPECT_EQ(store.ReadSetting("Cylinders", "Cylinder3"), "");
    EXPECT_EQ(store.ReadSetting("Values", "DecoModel"), "2");
    EXPECT_EQ(LoadGasPlanSettings(store).cylinders.size(), 2u);
    EXPECT_EQ(ReadFile(path).count(';'), 10);  // reading never writes the file
    // Any write keeps the hand-typed values whole, quoted from then on.
    store.WriteSetting("Values", "DecoModel", "3");
    EXPECT_EQ(QtSettingsStore(path).ReadSetting("Cylinders", "Cylinder1"), "D12;24;232;21/0");
    store.WriteSetting("Cylinders", "Cylinder1", "D7;7;200;32/0");
    EXPECT_EQ(store.ReadSetting("Cylinders", "Cylinder1"), "D7;7;200;32/0");
    EXPECT_EQ(QtSettingsStore(path).ReadSetting("Cylinders", "Cylinder1"), "D7;7;200;32/0");
}

TEST(QtSettingsStore, ValuesWithSpecialCharactersComeBackUnchanged) {
    const TempFolder dir("ini");
    const QString path = QString::fromStdString(dir.File("s.ini"));
    const std::vector<std::string> values = {"/home/jörg/Tauchprofile/",
                                             "a,b;c",
                                             "\"quoted\"",
                                             "  blanks  ",
                                             "100%",
                                             "@Variant(x)",
                                             "C:\\alt\\pfad"};
    {
        QtSettingsStore store(path);
        for (std::size_t i = 0; i < values.size(); ++i)
            store.WriteSetting("Files", std::to_string(i), values[i]);
    }
    QtSettingsStore reopened(path);
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(reopened.ReadSetting("Files", std::to_string(i)), values[i]);
}

}  // namespace
}  // namespace marelos
