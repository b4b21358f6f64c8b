#include "cli/cli.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "core/text/codepage.h"

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
    EXPECT_EQ(run.err,
              "Die Datei konnte nicht gelesen werden: Datei oder Ordner nicht gefunden "
              "(Fehler 2) '/nicht/da.mrp'\n");
    EXPECT_EQ(RunTool({"calc", "/nicht/da.mrp"}).code, 2);  // without --json
}

TEST(Cli, JsonStaysValidUtf8ForAPathThatIsNot) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/tauch\xFFgang.mrp";
    std::filesystem::copy_file(MARELOS_SOURCE_DIR "/examples/luft-30m-25min.mrp", path);
    const CliRun run = RunTool({"calc", path, "--settings", "/nicht/da.ini", "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(IsValidUtf8(run.out));
    const nlohmann::json parsed = nlohmann::json::parse(run.out);
    EXPECT_EQ(parsed["messages"][0], "Lade: " + dir.path().toStdString() + "/tauch\uFFFDgang.mrp");
    std::filesystem::remove(path);  // a name Qt cannot remove
}

TEST(Cli, OutputThatCannotBeWrittenFailsTheRun) {
    std::ostringstream fine;
    std::ostringstream err;
    EXPECT_EQ(FinishOutput(fine, err, 0), 0);
    EXPECT_EQ(FinishOutput(fine, err, 2), 2);
    std::ostream broken(nullptr);  // as standard output on a full disk
    EXPECT_EQ(FinishOutput(broken, err, 0), 1);
    EXPECT_EQ(FinishOutput(broken, err, 2), 2);
    const std::string message = "Die Ausgabe konnte nicht vollständig geschrieben werden.\n";
    EXPECT_EQ(err.str(), message + message);
}

TEST(Cli, OutputCommandsPrintTheProgramsTexts) {
    const std::string example = MARELOS_SOURCE_DIR "/examples/luft-30m-25min.mrp";
    const std::vector<std::string> empty = {"--settings", "/nicht/da.ini"};
    const auto run = [&](std::vector<std::string> args) {
        args.insert(args.end(), empty.begin(), empty.end());
        return RunTool(args);
    };
    // A cabin pressure the tissues never get below: no time, and still valid JSON.
    const CliRun never = run({"nofly", example, "--set", "Values/CabinPressure=300", "--json"});
    EXPECT_TRUE(never.out.starts_with("{\"minutes\":null,\"message\":\"")) << never.out;
    const CliRun nofly = run({"nofly", example, "--json"});
    EXPECT_EQ(nofly.code, 0);
    EXPECT_TRUE(nofly.out.starts_with("{\"minutes\":"));
    EXPECT_NE(nofly.out.find("\"message\":\"Die Flugverbotszeit"), std::string::npos);

    const CliRun plan = run({"plan", example});
    EXPECT_TRUE(plan.out.starts_with("Abtauchen auf  \t30 m\tZeit: 3 min.\t"));
    EXPECT_NE(
        plan.out.find("Dekostufe: \t3 m\tZeit: 9 min.\tGesamtzeit: 40 min.\t N2: 78%\tHe: 0%\n"),
        std::string::npos);

    EXPECT_EQ(
        run({"decotext", example}).out,
        "Dekompressionstufen:\n\n1 min. @ 6m\n9 min. @ 3m\nGesamte Dekompressionzeit: 10 min.\n");
    EXPECT_EQ(run({"decolines", example}).out,
              "6\t3\t28\t78\t0\n6\t1\t29\t78\t0\n6\t1\t30\t78\t0\n3\t1\t31\t78\t0\n"
              "3\t9\t40\t78\t0\n0\t1\t41\t78\t0\n");
    EXPECT_EQ(run({"bestmix", "0"}).out, "Best Mix für 0 m Wassertiefe: O2=100%  N2=0%  He=0%  \n");
    EXPECT_EQ(run({"altitude", "1013", "1000"}).out, "Luftdruck (Höhe) = 893 mbar.\n");
    EXPECT_EQ(
        run({"mixlimits", "--set", "values/o2percent=100", "--set", "values/n2percent=0"}).out,
        "Hyperoxiegefahr in Tiefen > 6 m\n");
    EXPECT_EQ(run({"blend", "21", "35", "44", "200"}).out,
              "1. Füllschritt: Sauerstoff\t23.15 bar\n2. Füllschritt:  Helium\t88 bar\n"
              "3. Füllschritt:  Luft aus Kompressor\t89.74 bar\nSumme\t200.89 bar\n");
    EXPECT_EQ(run({"bestmix"}).code, 2);
    EXPECT_EQ(run({"plan", "/nicht/da.mrp"}).code, 1);
}

TEST(Cli, DecoTableIsWrittenAsAFile) {
    QTemporaryDir dir;
    const std::string in = QDir(dir.path()).filePath("tiefen.txt").toStdString();
    const std::string out = QDir(dir.path()).filePath("tabelle.txt").toStdString();
    {
        QFile file(QString::fromStdString(in));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("12 10 20\r\n");
    }
    const CliRun run = RunTool({"decotable", in, out, "--settings", "/nicht/da.ini"});
    ASSERT_EQ(run.code, 0) << run.err;
    QFile table(QString::fromStdString(out));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    const QByteArray bytes = table.readAll();
    EXPECT_TRUE(bytes.startsWith("Dekompressionstabelle nach B\xFChlmann\r\n\r\n"));
    EXPECT_TRUE(bytes.endsWith("Tiefe: 12 m\r\nGZ\t\r\n10\t\r\n20\t\r\n\r\n"));
    EXPECT_EQ(RunTool({"decotable", "/nicht/da.txt", out}).code, 1);
}

TEST(Cli, ADiveThatCannotBeCalculatedEndsWithItsReasonAndExitCode3) {
    QTemporaryDir dir;
    const std::string deep = QDir(dir.path()).filePath("tief.mrp").toStdString();
    const std::string depths = QDir(dir.path()).filePath("tiefen.txt").toStdString();
    const std::string table = QDir(dir.path()).filePath("tabelle.txt").toStdString();
    for (const auto& [path, bytes] :
         {std::pair{deep, "600\t60\t60\t78\t0\r\n600\t340\t400\t78\t0\r\n"},
          std::pair{depths, "12 10\r\n99999 10\r\n"}}) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const std::vector<std::string> staged = {"--settings", "/nicht/da.ini", "--set",
                                             "Decompression/Step=True"};
    const auto run = [&](std::vector<std::string> args) {
        args.insert(args.end(), staged.begin(), staged.end());
        return RunTool(args);
    };
    for (const auto& args : std::vector<std::vector<std::string>>{{"decotext", deep},
                                                                  {"decolines", deep},
                                                                  {"plan", deep},
                                                                  {"nofly", deep, "--json"},
                                                                  {"calc", deep, "--json"}}) {
        const CliRun stopped = run(args);
        EXPECT_EQ(stopped.code, 3) << args[0];
        EXPECT_TRUE(stopped.err.starts_with("Der Tauchgang konnte nicht vollständig berechnet"))
            << args[0] << ": " << stopped.err;
        EXPECT_NE(stopped.err.find("tiefer als 300 m"), std::string::npos) << args[0];
        EXPECT_EQ(stopped.out.find("Dekostufe"), std::string::npos) << args[0];
    }
    EXPECT_TRUE(run({"decotext", deep}).out.empty());

    const CliRun cells = run({"decotable", depths, table});
    EXPECT_EQ(cells.code, 3);
    EXPECT_TRUE(cells.err.starts_with("Zeile 2, Grundzeit 10: Der Tauchgang konnte nicht"))
        << cells.err;
    EXPECT_TRUE(QFile::exists(QString::fromStdString(table)));
    EXPECT_NE(RunTool({"--help"}).out.find("  3  ein Tauchgang konnte nicht vollständig"),
              std::string::npos);
}

}  // namespace
}  // namespace marelos

namespace marelos {
namespace {

TEST(Cli, UddfImportWritesAProfilePerDiveAndExportGoesBackIntoTheSameProfile) {
    QTemporaryDir dir;
    const std::string folder = QDir(dir.path()).filePath("profile").toStdString();
    const std::string log = MARELOS_SOURCE_DIR "/tests/data/uddf_logbook_three_dives.uddf";
    const CliRun first = RunTool({"uddf-import", log, folder});
    ASSERT_EQ(first.code, 0) << first.err;
    const std::string imported = folder + "/Tauchgang 2024-Juni-01 14 Uhr 40.mrp";
    EXPECT_NE(first.out.find(imported + "\n"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("Tauchgang 3 nicht importiert: ohne Profilpunkte"), std::string::npos);
    // A second import keeps what is there.
    EXPECT_NE(RunTool({"uddf-import", log, folder}).out.find("bereits vorhanden"),
              std::string::npos);

    const std::string exported = QDir(dir.path()).filePath("zurueck.uddf").toStdString();
    ASSERT_EQ(RunTool({"uddf-export", imported, exported, "--settings", "/nicht/da.ini"}).code, 0);
    const std::string again = QDir(dir.path()).filePath("wieder").toStdString();
    ASSERT_EQ(RunTool({"uddf-import", exported, again}).code, 0);
    const auto bytes = [](const std::string& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    EXPECT_EQ(bytes(again + "/Tauchgang 2024-Juni-01 14 Uhr 40.mrp"), bytes(imported));

    EXPECT_EQ(RunTool({"uddf-import", "/nicht/da.uddf", folder}).code, 1);
    EXPECT_EQ(RunTool({"uddf-import", MARELOS_SOURCE_DIR "/examples/trimix-60m.mrp", folder}).code,
              1);
    EXPECT_EQ(RunTool({"uddf-export", imported}).code, 2);
}

}  // namespace
}  // namespace marelos

namespace marelos {
namespace {

TEST(Cli, VyperDecodeWritesTheDiveFileAndListsItsSummary) {
    QTemporaryDir dir;
    const std::string folder = QDir(dir.path()).filePath("tg").toStdString();
    const CliRun run =
        RunTool({"vyper-decode", MARELOS_SOURCE_DIR "/tests/data/vyper_dive_nitrox.txt", folder,
                 "/tmp/vy/prev.mrp"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("Datum: \t\t\t\t23-08-24\n")) << run.out;
    EXPECT_TRUE(
        run.out.ends_with("O2-Anteil: \t\t\t\t32%\nAufzeichnungsintervall: \t\t\t\t20 s\n"
                          "Tauchgang 2024-August-23 09 Uhr 42.mrp\n"))
        << run.out;
    const auto bytes = [](const std::string& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    EXPECT_EQ(bytes(folder + "/Tauchgang 2024-August-23 09 Uhr 42.mrp"),
              bytes(MARELOS_SOURCE_DIR "/tests/data/vyper_dive_nitrox.mrp"));

    const std::string shortDump = QDir(dir.path()).filePath("kurz.txt").toStdString();
    QFile file(QString::fromStdString(shortDump));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("9 165 1 2 3\n");
    file.close();
    const CliRun tooShort = RunTool({"vyper-decode", shortDump, folder});
    EXPECT_EQ(tooShort.code, 1);
    EXPECT_EQ(tooShort.out, "ErrorCount: 1\n");
}

}  // namespace
}  // namespace marelos

namespace marelos {
namespace {

// The example log against its golden listing and two of its files (an air and a nitrox dive);
// MARELOS_UPDATE_GOLDEN=1 writes them anew after a deliberate change.
TEST(Cli, DatatrakConvertsTheExampleLogAsItsGoldenFilesSay) {
    const std::string log = MARELOS_SOURCE_DIR "/examples/aladin-logbuch.log";
    const std::string golden = MARELOS_SOURCE_DIR "/tests/data/datatrak/";
    QTemporaryDir dir;
    const std::string folder = QDir(dir.path()).filePath("tg").toStdString();
    CliRun run = RunTool({"datatrak", log, folder});
    ASSERT_EQ(run.code, 0) << run.err;
    run.out.replace(run.out.find(log), log.size(), "LOG");
    const auto bytes = [](const std::string& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    };
    const std::vector<std::string> files = {"listing.txt",
                                            "aladin-logbuch Luft Datatrak TG 0002.mrp",
                                            "aladin-logbuch Nitrox Datatrak TG 0007.mrp"};
    for (const std::string& name : files) {
        const std::string written = name == files[0] ? run.out : bytes(folder + "/" + name);
        if (std::getenv("MARELOS_UPDATE_GOLDEN") != nullptr) {
            QFile out(QString::fromStdString(golden + name));
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(written.data(), static_cast<qint64>(written.size()));
        }
        EXPECT_EQ(written, bytes(golden + name)) << name;
    }
    EXPECT_EQ(QDir(QString::fromStdString(folder)).entryList(QDir::Files).size(), 48);
    EXPECT_EQ(RunTool({"datatrak", "/nicht/da.log", folder}).code, 1);
    EXPECT_EQ(RunTool({"datatrak", log}).code, 2);
}

}  // namespace
}  // namespace marelos
