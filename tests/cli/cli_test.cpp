#include "cli/cli.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "core/text/codepage.h"
#include "tests/fakes/temp_folder.h"

namespace marelos {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

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

// The same command with a settings file that does not exist: the settings are the defaults;
// `more` follows the arguments.
CliRun RunWithDefaults(std::vector<std::string> args, const std::vector<std::string>& more = {}) {
    args.insert(args.end(), more.begin(), more.end());
    args.insert(args.end(), {"--settings", "/nicht/da.ini"});
    return RunTool(args);
}

const std::string kExample = MARELOS_SOURCE_DIR "/examples/luft-30m-25min.mrp";

TEST(Cli, SettingsShowsTheLoadedValuesWithOverridesAndNeverWritesTheFile) {
    const TempFolder temp("cli");
    const std::string ini = PutFile(temp.File("s.ini"), "[Values]\nDecoMode=0\nTankSize=10\n");
    const CliRun run = RunTool({"settings", "--settings", ini, "--set", "values/tankpressure=300",
                                "--set", "View/LineWidth=-2"});
    EXPECT_EQ(run.code, 0) << run.err;
    for (const char* line :
         {"Values/DecoMode=3\n", "Values/TankSize=10\n", "Values/TankPressure=300\n",
          "View/LineWidth=1\n", "Settings/FileStoragePath=/opt/marelos/Tauchprofile\n"})
        EXPECT_THAT(run.out, HasSubstr(line));
    EXPECT_EQ(FileBytes(ini), "[Values]\nDecoMode=0\nTankSize=10\n");
    // A settings file that does not exist is an empty store.
    EXPECT_THAT(RunWithDefaults({"settings"}).out, HasSubstr("Values/TankSize=15\n"));
}

TEST(Cli, WrongCommandLinesAreRefusedWithExitCode2AndAGermanReason) {
    const std::string device = "--device";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"rechnen"}, "Unbekannter Befehl: rechnen"},
        {{"settings", "--set", "ohneGleich"},
         "--set: erwartet Abschnitt/Schlüssel=Wert, nicht: ohneGleich"},
        {{"settings", "--set"}, "Die Angabe --set hat nicht die erwartete Zahl von Werten."},
        {{"settings", "--unbekannt"}, "Unbekannte oder überzählige Angabe: --unbekannt"},
        {{"settings", "zuviel"}, "Unbekannte oder überzählige Angabe: zuviel"},
        {{"nofly", "/nicht/da.mrp"}, "Es fehlt: --json"},
        {{"bestmix"}, "Es fehlt: TIEFE"},
        {{"vyper-download", device, "/nicht/da", "tg", "--dives", "abc"},
         "--dives: erwartet eine ganze Zahl von 0 bis 9999, nicht: abc"},
        {{"vyper-download", device, "/nicht/da", "tg", "--dives", "1e30"},
         "--dives: erwartet eine ganze Zahl von 0 bis 9999, nicht: 1e30"},
        {{"vyper-download", device, "/nicht/da", "tg", "--interface", "3"},
         "--interface: erwartet eine ganze Zahl von 1 bis 2, nicht: 3"},
        {{"kora-download", device, "/nicht/da", "abbild.txt", "--timeout", "0"},
         "--timeout: erwartet eine ganze Zahl von 1 bis 60000, nicht: 0"},
    };
    for (const auto& [args, reason] : cases) {
        const CliRun run = RunTool(args);
        EXPECT_EQ(run.code, 2) << ::testing::PrintToString(args);
        EXPECT_THAT(run.err, StartsWith(reason + "\n")) << ::testing::PrintToString(args);
    }
    EXPECT_EQ(RunTool({}).code, 2);
    // The ends of each range are taken: the missing device, not the option, ends these runs.
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"vyper-download", device, "/nicht/da", "tg", "--dives", "0", "--interface", "1"},
             {"vyper-download", device, "/nicht/da", "tg", "--dives", "9999", "--interface", "2"},
             {"kora-download", device, "/nicht/da", "abbild.txt", "--timeout", "1"},
             {"kora-download", device, "/nicht/da", "abbild.txt", "--timeout", "60000"}})
        EXPECT_EQ(RunTool(args).code, 1) << ::testing::PrintToString(args);
    EXPECT_EQ(RunTool({"--version"}).out, "Marelos 3 Beta (Build 3.1.0)\n");
}

// The help speaks German throughout: the parser's own words are translated too.
TEST(Cli, HelpListsTheCommandsInGerman) {
    const CliRun help = RunTool({"--help"});
    EXPECT_EQ(help.code, 0);
    for (const char* part : {"Aufruf: marelos-cli [ANGABEN] [BEFEHL]", "\nBefehle:\n  calc ",
                             "\n  kora-download ", "  3  ein Tauchgang konnte nicht vollständig"})
        EXPECT_THAT(help.out, HasSubstr(part));
    const CliRun download = RunTool({"vyper-download", "--help"});
    EXPECT_EQ(download.code, 0);
    EXPECT_THAT(download.out, HasSubstr("--device PFAD (Pflicht)"));
    for (const std::string& text : {help.out, download.out, RunTool({"blend", "1"}).err}) {
        for (const char* english : {"Usage", "Options", "Subcommands", "Positionals", "REQUIRED",
                                    "TEXT", "INT", "help message", "required"})
            EXPECT_THAT(text, ::testing::Not(HasSubstr(english))) << text;
    }
}

TEST(Cli, CalcOfAFileThatCannotBeReadSaysSoOnStandardError) {
    const CliRun run = RunTool({"calc", "/nicht/da.mrp", "--json"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(run.err,
              "Die Datei konnte nicht gelesen werden: Datei oder Ordner nicht gefunden "
              "(Fehler 2) '/nicht/da.mrp'\n");
    EXPECT_EQ(RunWithDefaults({"plan", "/nicht/da.mrp"}).code, 1);
    EXPECT_EQ(RunWithDefaults({"decotable", "/nicht/da.txt", "/nicht/tabelle.txt"}).code, 1);
}

TEST(Cli, JsonStaysValidUtf8ForAPathThatIsNot) {
    const TempFolder temp("cli");
    const std::string path = temp.File("tauch\xFFgang.mrp");
    std::filesystem::copy_file(kExample, path);
    const CliRun run = RunWithDefaults({"calc", path, "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(IsValidUtf8(run.out));
    const nlohmann::json parsed = nlohmann::json::parse(run.out);
    EXPECT_EQ(parsed["messages"][0], "Lade: " + temp.File("tauch\uFFFDgang.mrp"));
}

// The text of "calc" says what its JSON says: the messages, the lines, a record per minute,
// the stops and the totals.
TEST(Cli, CalcWithoutJsonPrintsTheResultAsText) {
    const CliRun text = RunWithDefaults({"calc", kExample});
    ASSERT_EQ(text.code, 0) << text.err;
    const nlohmann::json json =
        nlohmann::json::parse(RunWithDefaults({"calc", kExample, "--json"}).out);
    // The example's numbers are whole: the same digits in either decimal separator.
    const auto Whole = [](const nlohmann::json& value) {
        return std::to_string(value.get<long long>());
    };
    std::string expected;
    for (const auto& message : json["messages"])
        expected += message.get<std::string>() + "\n";
    expected += "\nProfilzeilen\nTiefe\tt\tTgesamt\tN2%\tHe%\n";
    for (const auto& line : json["lines"]) {
        expected += Whole(line["depth"]) + "\t" + Whole(line["tDelta"]) + "\t" +
                    Whole(line["tTotal"]) + "\t" + Whole(line["n2Percent"]) + "\t" +
                    Whole(line["hePercent"]) + "\n";
    }
    EXPECT_THAT(text.out, StartsWith(expected + "\nMinutenwerte"));
    const std::size_t records = text.out.find("\nMinutenwerte");
    const std::size_t stops = text.out.find("\n\nDekostufen\nTiefe m\tMinuten\n");
    ASSERT_NE(stops, std::string::npos);
    // a heading, a column line and one line per record
    const auto lines =
        std::count(text.out.begin() + records + 1, text.out.begin() + stops + 1, '\n');
    EXPECT_EQ(static_cast<std::size_t>(lines), json["records"].size() + 2);
    std::string tail;
    ASSERT_FALSE(json["stops"].empty());
    for (const auto& stop : json["stops"])
        tail += Whole(stop["depth"]) + "\t" + Whole(stop["time"]) + "\n";
    const nlohmann::json& totals = json["totals"];
    tail += "\nSummen\nOTU\t" + Whole(totals["otu"]) + "\nCNS Tauchgang %\t" +
            Whole(totals["cnsDive"]) + "\nCNS Tag %\t" + Whole(totals["cnsDay"]) +
            "\nMaximale Tiefe m\t" + Whole(totals["maxDepth"]) + "\nTauchzeit min\t" +
            Whole(totals["diveMinutes"]) + "\nMinuten über dem Toleranzdruck\t" +
            Whole(totals["violations"]) + "\n";
    EXPECT_TRUE(text.out.ends_with(tail)) << text.out.substr(stops);
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

// What "calc --json", "plan", "decotext", "decolines", "nofly" and "decotable" print or write is
// compared with the reference calculation on random dives in ctest; here the commands that it
// does not run, and a no-fly time that never comes.
TEST(Cli, OutputCommandsPrintTheProgramsTexts) {
    // A cabin pressure the tissues never get below: no time, and still valid JSON.
    EXPECT_THAT(
        RunWithDefaults({"nofly", kExample, "--set", "Values/CabinPressure=300", "--json"}).out,
        StartsWith("{\"minutes\":null,\"message\":\""));
    EXPECT_EQ(RunWithDefaults({"airuse", kExample}).out,
              "Luftverbrauch für diesen TG (AMV: 15l/min bei 1 bar): 1845 Liter.\n");
    EXPECT_EQ(RunWithDefaults({"avgdepth", kExample}).out,
              "Durchschnittliche Tiefe dieses Tauchgangs: 20.5 m\n");
    EXPECT_EQ(RunWithDefaults({"bestmix", "0"}).out,
              "Best Mix für 0 m Wassertiefe: O2=100%  N2=0%  He=0%  \n");
    EXPECT_EQ(RunWithDefaults({"altitude", "1013", "1000"}).out, "Luftdruck (Höhe) = 893 mbar.\n");
    EXPECT_EQ(RunWithDefaults(
                  {"mixlimits", "--set", "values/o2percent=100", "--set", "values/n2percent=0"})
                  .out,
              "Hyperoxiegefahr in Tiefen > 6 m\n");
    EXPECT_EQ(RunWithDefaults({"blend", "21", "35", "44", "200"}).out,
              "1. Füllschritt: Sauerstoff\t23.15 bar\n2. Füllschritt:  Helium\t88 bar\n"
              "3. Füllschritt:  Luft aus Kompressor\t89.74 bar\nSumme\t200.89 bar\n");
}

// The planner's schedule, whether or not the planner is on, in the JSON that scripts rely on; the
// text is the run-time table; a plan that cannot be completed prints no stops (exit code 3).
TEST(Cli, ScheduleHasTheContractsJsonAndTheRunTimeTable) {
    const std::vector<std::string> ean50 = {"--set", "Planner/DecoGas1=50/0", "--set",
                                            "Planner/GFLow=40"};
    const CliRun run = RunWithDefaults({"schedule", kExample, "--json"}, ean50);
    ASSERT_EQ(run.code, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["model"], "ZH-L16C GF 40/85");
    EXPECT_TRUE(json["complete"]);
    ASSERT_GE(json["stops"].size(), 2u);
    EXPECT_GT(json["stops"][0]["depth"], json["stops"][1]["depth"]);  // deepest first
    EXPECT_EQ(json["stops"].back()["o2"], 50);
    EXPECT_EQ(json["switches"][0]["depth"], 21);
    EXPECT_GE(json["runtime"], json["stops"].back()["runtime"]);
    EXPECT_EQ(json["settings"]["Planner/DecoGas1"], "50/0");
    EXPECT_TRUE(json["warnings"].is_array());
    EXPECT_THAT(RunWithDefaults({"schedule", kExample}, ean50).out,
                StartsWith("Laufzeittabelle (ZH-L16C GF 40/85)\n"));
    const TempFolder temp("cli");
    const std::string deep = PutFile(temp.path() / "tief.mrp",
                                     "100\t5\t5\t78\t0\r\n"
                                     "100\t5000\t5005\t78\t0\r\n");
    const CliRun endless = RunWithDefaults({"schedule", deep, "--json"});
    EXPECT_EQ(endless.code, 3);
    EXPECT_EQ(endless.out, "");
    EXPECT_THAT(endless.err, HasSubstr("Maximale Array-Größe erreicht."));
}

// The gas plan of the example with the planner, a twin set of air and an EAN50 stage: the
// object of the documented contract, the settings of the call in it, also with the planner off.
TEST(Cli, GasPrintsTheCylindersReserveTurnAndWarnings) {
    const std::vector<std::string> set = {"--set", "Planner/DecoGas1=50/0",
                                          "--set", "Cylinders/Cylinder1=D12;24;232;21/0",
                                          "--set", "Cylinders/Cylinder3=S80;11.1;207;50/0"};
    const auto gas = [&](std::vector<std::string> more) {
        more.insert(more.begin(), set.begin(), set.end());
        return RunWithDefaults({"gas", kExample}, more);
    };
    const CliRun real = gas({"--json"});
    ASSERT_EQ(real.code, 0) << real.err;
    const auto plan = nlohmann::ordered_json::parse(real.out);
    std::vector<std::string> keys;
    for (const auto& item : plan.items())
        keys.push_back(item.key());
    EXPECT_THAT(keys,
                ::testing::ElementsAre("cylinders", "minimumGasLitres", "warnings", "realGas"));
    ASSERT_EQ(plan["cylinders"].size(), 2u);
    const auto& d12 = plan["cylinders"][0];
    keys.clear();
    for (const auto& item : d12.items())
        keys.push_back(item.key());
    EXPECT_THAT(keys, ::testing::ElementsAre("name", "litres", "fill", "o2", "he", "usedLitres",
                                             "usedBar", "endBar", "reserveBar", "turnBar"));
    EXPECT_EQ(d12["name"], "D12");
    EXPECT_EQ(d12["fill"], 232);
    EXPECT_NEAR(d12["usedBar"].get<double>() + d12["endBar"].get<double>(), 232, 0.11);
    EXPECT_FALSE(plan["cylinders"][1].contains("turnBar"));  // the bottom cylinder's only
    EXPECT_EQ(plan["realGas"], true);
    EXPECT_GT(plan["minimumGasLitres"].get<double>(), 0);

    // As an ideal gas the bar are the litres × 1.01325 / 24, and fewer than as a real one.
    const auto ideal = nlohmann::json::parse(gas({"--set", "Planner/RealGas=0", "--json"}).out);
    const auto& d12Ideal = ideal["cylinders"][0];
    EXPECT_EQ(ideal["realGas"], false);
    EXPECT_NEAR(d12Ideal["usedBar"].get<double>(),
                d12Ideal["usedLitres"].get<double>() * 1.01325 / 24, 0.06);
    EXPECT_LT(d12Ideal["usedBar"].get<double>(), d12["usedBar"].get<double>());

    const CliRun text = gas({});
    EXPECT_THAT(text.out, StartsWith("Gasplanung (reales Gas, ideales Gas in Klammern)\n"));
    EXPECT_THAT(text.out, HasSubstr("Umkehrdruck"));
    EXPECT_THAT(text.out, HasSubstr("Laufzeittabelle"));

    // Like schedule, the command plans with the planner whether or not it is on.
    const CliRun off = RunWithDefaults({"gas", kExample, "--set", "Planner/Enabled=0", "--json"});
    EXPECT_EQ(off.code, 0) << off.err;
    EXPECT_EQ(nlohmann::json::parse(off.out)["cylinders"].size(), 0u);
}

TEST(Cli, ADiveThatCannotBeCalculatedEndsWithItsReasonAndExitCode3) {
    const TempFolder temp("cli");
    const std::string deep =
        PutFile(temp.File("tief.mrp"), "600\t60\t60\t78\t0\r\n600\t340\t400\t78\t0\r\n");
    const std::string depths = PutFile(temp.File("tiefen.txt"), "12 10\r\n99999 10\r\n");
    const std::string table = temp.File("tabelle.txt");
    const auto run = [](const std::vector<std::string>& args) {
        return RunWithDefaults(args, {"--set", "Decompression/Step=True"});
    };
    for (const auto& args : std::vector<std::vector<std::string>>{{"decotext", deep},
                                                                  {"decolines", deep},
                                                                  {"plan", deep},
                                                                  {"nofly", deep, "--json"},
                                                                  {"calc", deep, "--json"},
                                                                  {"calc", deep}}) {
        const CliRun stopped = run(args);
        EXPECT_EQ(stopped.code, 3) << args[0];
        EXPECT_THAT(stopped.err, StartsWith("Der Tauchgang konnte nicht vollständig berechnet"))
            << args[0];
        EXPECT_THAT(stopped.err, HasSubstr("tiefer als 300 m")) << args[0];
        EXPECT_THAT(stopped.out, ::testing::Not(HasSubstr("Dekostufe"))) << args[0];
    }
    EXPECT_TRUE(run({"decotext", deep}).out.empty());

    const CliRun cells = run({"decotable", depths, table});
    EXPECT_EQ(cells.code, 3);
    EXPECT_THAT(cells.err, StartsWith("Zeile 2, Grundzeit 10: Der Tauchgang konnte nicht"));
    EXPECT_TRUE(std::filesystem::exists(table));
}

TEST(Cli, UddfImportWritesAProfilePerDiveAndExportGoesBackIntoTheSameProfile) {
    const TempFolder temp("cli");
    const std::string folder = temp.File("profile");
    const std::string log = MARELOS_SOURCE_DIR "/tests/data/uddf_logbook_three_dives.uddf";
    const CliRun first = RunTool({"uddf-import", log, folder});
    ASSERT_EQ(first.code, 0) << first.err;
    const std::string imported = folder + "/Tauchgang 2024-Juni-01 14 Uhr 40.mrp";
    EXPECT_THAT(first.out, HasSubstr(imported + "\n"));
    EXPECT_THAT(first.out, HasSubstr("Tauchgang 3 nicht importiert: ohne Profilpunkte"));
    // A second import keeps what is there.
    EXPECT_THAT(RunTool({"uddf-import", log, folder}).out, HasSubstr("bereits vorhanden"));

    const std::string exported = temp.File("zurueck.uddf");
    ASSERT_EQ(RunWithDefaults({"uddf-export", imported, exported}).code, 0);
    const std::string again = temp.File("wieder");
    ASSERT_EQ(RunTool({"uddf-import", exported, again}).code, 0);
    EXPECT_EQ(FileBytes(again + "/Tauchgang 2024-Juni-01 14 Uhr 40.mrp"), FileBytes(imported));

    EXPECT_EQ(RunTool({"uddf-import", "/nicht/da.uddf", folder}).code, 1);
    EXPECT_EQ(RunTool({"uddf-import", MARELOS_SOURCE_DIR "/examples/trimix-60m.mrp", folder}).code,
              1);
    EXPECT_EQ(RunTool({"uddf-export", imported}).code, 2);
}

TEST(Cli, VyperDecodeWritesTheDiveFileAndListsItsSummary) {
    const TempFolder temp("cli");
    const std::string folder = temp.File("tg");
    const CliRun run =
        RunTool({"vyper-decode", MARELOS_SOURCE_DIR "/tests/data/vyper_dive_nitrox.txt", folder,
                 "/tmp/vy/prev.mrp"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_THAT(run.out, StartsWith("Datum: \t\t\t\t23-08-24\n"));
    EXPECT_TRUE(
        run.out.ends_with("O2-Anteil: \t\t\t\t32%\nAufzeichnungsintervall: \t\t\t\t20 s\n"
                          "Tauchgang 2024-August-23 09 Uhr 42.mrp\n"))
        << run.out;
    EXPECT_EQ(FileBytes(folder + "/Tauchgang 2024-August-23 09 Uhr 42.mrp"),
              FileBytes(MARELOS_SOURCE_DIR "/tests/data/vyper_dive_nitrox.mrp"));

    const CliRun tooShort =
        RunTool({"vyper-decode", PutFile(temp.File("kurz.txt"), "9 165 1 2 3\n"), folder});
    EXPECT_EQ(tooShort.code, 1);
    EXPECT_EQ(tooShort.out, "ErrorCount: 1\n");
}

// The example log against its golden listing and two of its files (an air and a nitrox dive);
// MARELOS_UPDATE_GOLDEN=1 writes them anew after a deliberate change.
TEST(Cli, DatatrakConvertsTheExampleLogAsItsGoldenFilesSay) {
    const std::string log = MARELOS_SOURCE_DIR "/examples/aladin-logbuch.log";
    const std::string golden = MARELOS_SOURCE_DIR "/tests/data/datatrak/";
    const TempFolder temp("cli");
    const std::string folder = temp.File("tg");
    CliRun run = RunTool({"datatrak", log, folder});
    ASSERT_EQ(run.code, 0) << run.err;
    run.out.replace(run.out.find(log), log.size(), "LOG");
    const std::vector<std::string> files = {"listing.txt",
                                            "aladin-logbuch Luft Datatrak TG 0002.mrp",
                                            "aladin-logbuch Nitrox Datatrak TG 0007.mrp"};
    for (const std::string& name : files) {
        const std::string written = name == files[0] ? run.out : FileBytes(folder + "/" + name);
        if (std::getenv("MARELOS_UPDATE_GOLDEN") != nullptr) PutFile(golden + name, written);
        EXPECT_EQ(written, FileBytes(golden + name)) << name;
    }
    const auto entries = std::filesystem::directory_iterator(folder);
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 48);
    EXPECT_EQ(RunTool({"datatrak", "/nicht/da.log", folder}).code, 1);
    EXPECT_EQ(RunTool({"datatrak", log}).code, 2);
}

}  // namespace
}  // namespace marelos
