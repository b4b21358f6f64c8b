#include "cli/cli.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sstream>

namespace marelos {
namespace {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun RunTool(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCli(args, "/opt/marelos", out, err);
    return {code, out.str(), err.str()};
}

TEST(Cli, SettingsShowsTheLoadedValuesWithOverridesAndNeverWritesTheFile) {
    QTemporaryDir dir;
    const QString ini = QDir(dir.path()).filePath("s.ini");
    {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Values]\nDecoMode=0\nTankSize=10\n");
    }
    const CliRun run = RunTool({"settings", "--settings", ini.toStdString(), "--set",
                                "values/tankpressure=300", "--set", "View/LineWidth=-2"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Values/DecoMode=3\n"), std::string::npos);
    EXPECT_NE(run.out.find("Values/TankSize=10\n"), std::string::npos);
    EXPECT_NE(run.out.find("Values/TankPressure=300\n"), std::string::npos);
    EXPECT_NE(run.out.find("View/LineWidth=1\n"), std::string::npos);
    EXPECT_NE(run.out.find("Settings/FileStoragePath=/opt/marelos/Tauchprofile\n"),
              std::string::npos);
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "[Values]\nDecoMode=0\nTankSize=10\n");
}

TEST(Cli, WrongCommandLinesAreRefusedWithExitCode2) {
    EXPECT_EQ(RunTool({}).code, 2);
    EXPECT_EQ(RunTool({"rechnen"}).code, 2);
    EXPECT_EQ(RunTool({"settings", "--set", "ohneGleich"}).code, 2);
    EXPECT_EQ(RunTool({"settings", "--set"}).code, 2);
    EXPECT_EQ(RunTool({"settings", "--unbekannt"}).code, 2);
    // A settings file that does not exist is an empty store.
    const CliRun missing = RunTool({"settings", "--settings", "/nicht/da.ini"});
    EXPECT_EQ(missing.code, 0);
    EXPECT_NE(missing.out.find("Values/TankSize=15\n"), std::string::npos);
    EXPECT_EQ(RunTool({"settings", "zuviel"}).code, 2);
    const CliRun version = RunTool({"--version"});
    EXPECT_EQ(version.out, "Marelos 3 Beta (Build 3.1.0)\n");
}

TEST(Cli, CalcPrintsTheCalculatedDiveAsJson) {
    const std::string example = MARELOS_SOURCE_DIR "/examples/luft-30m-25min.mrp";
    const CliRun run = RunTool({"calc", example, "--settings", "/nicht/da.ini", "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(
        run.out.starts_with("{\"messages\":[\"Lade: " + example + "\",\"Berechne Profil\","));
    EXPECT_NE(run.out.find("\"lines\":[{\"depth\":30,\"tDelta\":3,\"tTotal\":3,\"n2Percent\":78,"
                           "\"hePercent\":0},{\"depth\":30,\"tDelta\":22,"),
              std::string::npos);
    EXPECT_NE(run.out.find("\"stops\":[{\"index\":2,\"depth\":6,\"time\":1},"
                           "{\"index\":1,\"depth\":3,\"time\":9}]"),
              std::string::npos);
    EXPECT_NE(run.out.find("\"totals\":{\"otu\":18,\"cnsDive\":7,\"cnsDay\":2,\"maxDepth\":30,"
                           "\"diveMinutes\":25,\"violations\":0}}"),
              std::string::npos);
    // The store's settings count: a continuous ascent writes no stops.
    const CliRun continuous = RunTool({"calc", example, "--settings", "/nicht/da.ini", "--set",
                                       "decompression/step=False", "--json"});
    EXPECT_NE(continuous.out.find("\"stops\":[]"), std::string::npos);
}

TEST(Cli, CalcOfAFileThatCannotBeReadSaysSoOnStandardError) {
    const CliRun run = RunTool({"calc", "/nicht/da.mrp", "--json"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(run.err, "Die Datei /nicht/da.mrp konnte nicht gelesen werden.\n");
    EXPECT_EQ(RunTool({"calc", "/nicht/da.mrp"}).code, 2);  // without --json
}

}  // namespace
}  // namespace marelos
