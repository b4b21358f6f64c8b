#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <map>
#include <regex>
#include <sstream>

#include "app/divecomputers/frm_aladin_import.h"
#include "app/divecomputers/kora_windows.h"
#include "app/divecomputers/vyper_windows.h"
#include "cli/cli.h"
#include "core/settings/memory_settings_store.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"
#include "tests/gui/main_window.h"
#include "tests/gui/simulated_device.h"

namespace marelos {
namespace {

void Click(QWidget* window, const char* name) {
    auto* button = window->findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    ASSERT_TRUE(button->isEnabled()) << name;
    button->click();
}

TEST(frmKORA4, AFaultyKoraEndsOrMarksTheLoadWithTheMessageAndTheWindowStaysUsable) {
    InMemorySettingsStore store;
    ScriptedUi ui;
    int shown = 0;
    const auto window = [&](const SimulatedDevice& kora) {
        store.WriteSetting("CommPort", "Device", kora.device);
        return std::make_unique<frmKORA4>(
            Settings{}, store, ui, [&](const ProfileSnapshot&) { ++shown; }, nullptr, 100);
    };
    // Silent from inside the first dive: nothing is listed, and the bar shows no progress.
    SimulatedDevice silent("kora", {"--silent-from", "100"});
    const auto w = window(silent);
    Transcript t;
    t.Note("geöffnet", ui.Said());
    Click(w.get(), "cmdLoadDives");
    ASSERT_EQ(ui.boxes.size(), 1u);  // the count of lost bytes after it depends on the timing
    EXPECT_TRUE(ui.boxes[0].text.starts_with(kKoraSilentMessage)) << ui.boxes[0].text;
    ui.boxes[0].text.resize(kKoraSilentMessage.size());
    t.Note("stumm", ui.Said(), w->findChild<QListWidget*>("lstDives")->count(),
           w->findChild<QProgressBar*>("pgbLoad")->value(),
           w->findChild<QPushButton*>("cmdLoadDives")->isEnabled(),
           w->findChild<QPushButton*>("cmdStop")->isEnabled());

    // Closing the window while a read waits stops the load, and the window closes after it.
    w->show();
    QTimer::singleShot(50, w.get(), [&] { w->findChild<QPushButton*>("cmdClose")->click(); });
    Click(w.get(), "cmdLoadDives");
    t.Note("geschlossen", w->isVisible(), ui.Said());

    // A byte of the second dive fails its checksum: the dive is marked and not shown.
    SimulatedDevice damaged("kora", {"--bad-checksum", "160"});
    const auto v = window(damaged);
    Click(v.get(), "cmdLoadDives");
    auto* list = v->findChild<QListWidget*>("lstDives");
    t.Note("Prüfsumme", Items(list));
    list->setCurrentRow(1);
    Click(v.get(), "cmdShowDive");
    t.Note("Tauchgang 2", ui.Said(), shown);
}

TEST(frmKORASettings, ReadsTheFieldsAndSetsTheClockInTheDevice) {
    QTemporaryDir dir;
    const QString image = dir.filePath("eeprom.txt");
    SimulatedDevice kora("kora", {"--save", image});
    QtSerialLink port;
    ASSERT_FALSE(port.Open(kora.device, LineSettings{}));
    KoraLink link(port,
                  [&](std::size_t count, int ms) { WaitForBytesWithEvents(port, count, ms); });
    ScriptedUi ui;
    const auto clock = [] { return KoraClock{6, 12, 2026, 4, 9}; };
    frmKORASettings window(link, ui, ",", clock, nullptr);
    const QString before =
        window.windowTitle() + "\n" + Shown(*window.findChild<QObject*>("cmdSetSettings"));
    Click(&window, "cmdGetSettings");
    // every field as the device holds it: 1013 mbar, 15:42, 41,3 m, the start screen on, ...
    ExpectGolden("gui/kora_settings_fields.txt",
                 before.toStdString() + "\n" + WindowDump(window) + ui.Said());

    Click(&window, "cmdRTCSync");
    const auto lines = [&] {
        return QString::fromStdString(FileBytes(image.toStdString())).split('\n');
    };
    ASSERT_TRUE(RunUntil([&] { return lines().value(14) == "26"; }, 10000));
    EXPECT_EQ(lines().mid(12, 5), (QStringList{"6", "12", "26", "9", "4"}));
    EXPECT_TRUE(RunUntil([&] {
        return window.findChild<QLabel*>("lblStatus")->text().endsWith("06.12.2026 04:09") &&
               window.findChild<QPushButton*>("cmdRTCSync")->isEnabled();
    }));
}

// Each load of the case table, within seconds: what kora-download said, the failed bytes of the
// memory file it wrote, and what kora-dive prints of dives 1, 2 and 4 (its start) then.
TEST(KoraCli, LoadsTheSimulatedKoraAsTheCaseTableSays) {
    QTemporaryDir dir;
    const std::string image = dir.filePath("eeprom.txt").toStdString();
    Transcript t;
    t.Mask(dir.path().toStdString(), "<dir>");
    const auto run = [&](std::vector<std::string> args, const std::string& options,
                         std::size_t shown = std::string::npos) {
        for (const QString& option : QString::fromStdString(options).split(' ', Qt::SkipEmptyParts))
            args.push_back(option.toStdString());
        std::ostringstream out, err;
        const int code = RunCli(args, "/opt/marelos", out, err);
        // how many bytes a load lost before it gave up depends on the timing
        static const std::regex lost("\\d+ Bytes des Speichers kamen");
        return std::to_string(code) + " | " + out.str().substr(0, shown) + " | " +
               std::regex_replace(err.str(), lost, "<n> Bytes des Speichers kamen");
    };
    for (const std::vector<std::string>& row : DataRows("kora_download/cases.tsv")) {
        std::filesystem::remove(image);
        SimulatedDevice kora("kora", QString::fromStdString(row[0]).split(' ', Qt::SkipEmptyParts));
        QElapsedTimer clock;
        clock.start();
        t.Note("kora-download " + row[0] + " " + row.at(1),
               run({"kora-download", "--device", kora.device, image, "--settings",
                    dir.filePath("keine.ini").toStdString()},
                   row.at(1)));
        EXPECT_LT(clock.elapsed(), 30000) << row[0];  // a hanging transfer took minutes
        if (!std::filesystem::exists(image)) continue;
        const QStringList bytes = QString::fromStdString(FileBytes(image)).split('\n');
        std::vector<int> failed;
        for (int i = 0; i < bytes.size(); ++i)
            if (bytes[i] == "-1") failed.push_back(i);
        t.Note("Speicher", failed);
        for (const char* dive : {"1", "2", "4"})
            t.Note(std::string("kora-dive ") + dive, run({"kora-dive", image, dive}, "", 25));
    }
}

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

// vyper-download from the simulated Vyper with these options into `folder`, within 30 s (a
// hanging transfer took minutes); the folder stands as ORDNER in the listing.
CliRun VyperDownload(const std::string& folder, const std::string& simulator,
                     std::vector<std::string> options = {}) {
    SimulatedDevice vyper("vyper",
                          QString::fromStdString(simulator).split(' ', Qt::SkipEmptyParts));
    options.insert(options.begin(),
                   {"vyper-download", "--device", vyper.device, folder, "--settings",
                    folder + "/keine.ini", "--set", "SuuntoVyper/COMDelay=30"});
    std::ostringstream out, err;
    QElapsedTimer clock;
    clock.start();
    const int code = RunCli(options, "/opt/marelos", out, err);
    EXPECT_LT(clock.elapsed(), 30000) << simulator;
    return {code, QString::fromStdString(out.str()).replace(folder.c_str(), "ORDNER").toStdString(),
            err.str()};
}

// The dive files in the folder, each marked when it is not its golden copy.
std::vector<std::string> DiveFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".mrp") continue;
        const bool golden =
            FileBytes(entry.path()) == FileBytes(MARELOS_TEST_DATA "/vyper_download/" + name);
        names.push_back(name + (golden ? "" : " (" + FileBytes(entry.path()) + ")"));
    }
    std::sort(names.begin(), names.end());
    return names;
}

const std::vector<std::string> kVyperDives = {"Tauchgang 2003-Juli-02 09 Uhr 30.mrp",
                                              "Tauchgang 2024-August-23 11 Uhr 05.mrp",
                                              "Tauchgang 2024-August-23 15 Uhr 42.mrp"};

// A whole download with either interface writes the golden listing and files of
// tests/data/vyper_download; --dives 1 fetches the newest alone.
TEST(VyperCli, DownloadsTheSimulatedVyperAsItsGoldenFilesSay) {
    const TempFolder temp("vyper");
    for (const std::string interface : {"1", "2"}) {
        const std::string folder = temp.File("if" + interface);
        const CliRun run =
            VyperDownload(folder, "--interface " + interface, {"--interface", interface});
        EXPECT_EQ(run.code, 0) << run.err;
        ExpectGolden("vyper_download/listing_interface" + interface + ".txt", run.out);
        for (const std::string& name : kVyperDives)
            ExpectGolden("vyper_download/" + name, FileBytes(folder + "/" + name));
        EXPECT_EQ(DiveFiles(folder), kVyperDives);
    }
    const CliRun one = VyperDownload(temp.File("one"), "", {"--dives", "1"});
    EXPECT_EQ(one.code, 0);
    ExpectGolden("vyper_download/listing_newest.txt", one.out);  // one "Datum:", to the end
}

// Each fault of tests/data/vyper_download/faults.tsv ends the download with its exit code and a
// line of the listing, leaves only whole dive files, and never replaces a good file of the
// second dive with a damaged download of it.
TEST(VyperCli, EveryFaultOfTheSimulatedVyperEndsAsTheCaseTableSays) {
    const TempFolder temp("vyper");
    const std::map<std::string, std::string> dives = {
        {"oldest", kVyperDives[0]}, {"second", kVyperDives[1]}, {"newest", kVyperDives[2]}};
    int number = 0;
    for (const std::vector<std::string>& row : DataRows("vyper_download/faults.tsv")) {
        const std::string folder = temp.File("fehler" + std::to_string(++number));
        std::filesystem::create_directories(folder);
        PutFile(folder + "/" + kVyperDives[1], "eine vollständige Datei\r\n");
        const CliRun run = VyperDownload(folder, row[0]);
        SCOPED_TRACE(row[0] + "\n" + run.out + run.err);
        EXPECT_EQ(run.code, std::stoi(row.at(2)));
        EXPECT_EQ(run.err.empty(), run.code == 0);
        EXPECT_TRUE(run.code == 0 || run.out.find("Alle Tauchgänge wurden") == std::string::npos);
        EXPECT_NE(("\n" + run.out).find("\n" + row.at(3)), std::string::npos);
        std::vector<std::string> whole;
        for (const QString& dive : QString::fromStdString(row[1]).split(' ', Qt::SkipEmptyParts))
            whole.push_back(dives.at(dive.toStdString()));
        if (row[1].find("second") == std::string::npos)  // the good file stays
            whole.push_back(kVyperDives[1] + " (eine vollständige Datei\r\n)");
        std::sort(whole.begin(), whole.end());
        EXPECT_EQ(DiveFiles(folder), whole);
    }
}

// The window on a simulated Vyper with these options (or on `device` instead).
struct VyperWindow {
    explicit VyperWindow(const QStringList& options = {}, int interface = 1,
                         const std::string& device = "")
        : vyper("vyper", options) {
        store.WriteSetting("CommPort", "Device", device.empty() ? vyper.device : device);
        settings.interfaceType = static_cast<std::int16_t>(interface);
        settings.comDelay = 30;
        settings.fileStoragePath = QDir(dir.path()).filePath("tg").toStdString();
        window = std::make_unique<frmVyper>(settings, store, ui, nullptr);
        comm = window->findChild<QListWidget*>("lstVyperComm");
        files = window->findChild<QListWidget*>("lstFiles");
    }
    bool Listed(const std::string& line) const {
        const auto items = Items(comm);
        return std::find(items.begin(), items.end(), line) != items.end();
    }
    SimulatedDevice vyper;
    QTemporaryDir dir;
    InMemorySettingsStore store;
    Settings settings;
    ScriptedUi ui;
    std::unique_ptr<frmVyper> window;
    QListWidget* comm;
    QListWidget* files;
};

TEST(frmVyper, DownloadsAllDivesOfTheSimulatedVyperWithEitherInterface) {
    Transcript t;
    for (int interface : {1, 2}) {
        VyperWindow w({"--interface", QString::number(interface)}, interface);
        ASSERT_FALSE(w.vyper.device.empty());
        w.window->show();
        t.Note("geöffnet", w.ui.Said(), Items(w.comm)[0]);
        Click(w.window.get(), "cmdDownload");
        ASSERT_TRUE(RunUntil([&] { return w.Listed("abgespeichert."); }))
            << testing::PrintToString(Items(w.comm));
        // The values stand in one column behind their labels, inside the list's width; the
        // files as the command writes them.
        EXPECT_EQ(w.comm->horizontalScrollBar()->maximum(), 0);
        t.Note("Schnittstelle " + std::to_string(interface), Items(w.files),
               w.window->findChild<QLabel*>("lblErr")->text(),
               w.Listed("Temperatur auf maximaler Tiefe:  19 °C"),
               DiveFiles(w.settings.fileStoragePath));
    }
}

TEST(frmVyper, StopEndsADownloadInTheMiddleOfACommandAndTheReplaceQuestionKeepsTheFileOnEnter) {
    VyperWindow w;
    // The user stops as soon as the first answer is listed, while the command still waits: the
    // window keeps handling clicks during the command's pauses.
    bool stopped = false;
    QObject::connect(w.comm->model(), &QAbstractItemModel::rowsInserted, w.window.get(), [&] {
        if (stopped || !w.Listed("35 Zeichen empfangen. CRC OK")) return;
        stopped = true;
        Click(w.window.get(), "cmdStop");
    });
    Click(w.window.get(), "cmdDownload");
    ASSERT_TRUE(RunUntil([&] { return w.Listed("Übertragung unterbrochen."); }));
    RunUntil([] { return false; }, 1000);  // the command's pauses run out; nothing follows
    EXPECT_EQ(w.files->count(), 0) << testing::PrintToString(Items(w.files));

    VyperWindow q;
    std::filesystem::create_directories(q.settings.fileStoragePath);
    const std::string stored = PutFile(  // the first dive
        q.settings.fileStoragePath + "/Tauchgang 2024-August-23 15 Uhr 42.mrp", "gut");
    q.window->findChild<QRadioButton*>("optAsk")->setChecked(true);
    Click(q.window.get(), "cmdDownload");
    ASSERT_TRUE(RunUntil([&] { return !q.ui.questions.empty(); }));
    Click(q.window.get(), "cmdStop");
    EXPECT_EQ(q.ui.defaultAnswers, std::vector<Answer>{Answer::No});
    EXPECT_EQ(FileBytes(stored), "gut");
}

TEST(frmVyper, EscapeWhileADiveIsFetchedClosesTheWindowAndNothingMoreIsWritten) {
    VyperWindow w;
    w.window->show();
    // The third dive's first packet has arrived; its command still waits out its pauses.
    int packets = 0;
    QObject::connect(w.comm->model(), &QAbstractItemModel::rowsInserted, w.window.get(), [&] {
        if (Items(w.comm).back() == "35 Zeichen empfangen. CRC OK" && ++packets == 6)
            QTest::keyClick(w.window.get(), Qt::Key_Escape);
    });
    Click(w.window.get(), "cmdDownload");
    ASSERT_TRUE(RunUntil([&] { return !w.window->isVisible(); }));
    RunUntil([] { return false; }, 1000);  // the command's pauses run out; nothing follows
    EXPECT_EQ(
        QDir(QString::fromStdString(w.settings.fileStoragePath)).entryList(QDir::Files).size(), 2);
    EXPECT_TRUE(w.Listed("Übertragung unterbrochen."));
}

TEST(frmVyper, ASettingsReadOutWithoutAnswersOrAPortSaysSoInsteadOfListingZeros) {
    VyperWindow w({"--slow", "0.5"});  // slower than the command delay
    Click(w.window.get(), "cmdGetVyperSettings");
    ASSERT_TRUE(RunUntil(
        [&] { return w.Listed("OK.") || Items(w.comm).back().starts_with("Die Einstellungen"); }));
    EXPECT_EQ(
        std::ranges::count_if(Items(w.comm),
                              [](auto& line) { return line.starts_with("Keine gültige Antwort"); }),
        4);
    EXPECT_FALSE(w.Listed("Seriennummer:\t\t\t0000"));

    // A taken or missing port is reported, and the window stays.
    VyperWindow missing({}, 1, "/nicht/da");
    ASSERT_EQ(missing.ui.boxes.size(), 1u);
    EXPECT_EQ(missing.ui.boxes[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(missing.window->findChild<QPushButton*>("cmdClose")->isEnabled());
}

const std::string kExamples = MARELOS_SOURCE_DIR "/examples/";
const std::string kLog = kExamples + "aladin-logbuch.log";

struct ImportWindow {
    ImportWindow() : window(store, folder(), ui, nullptr) {
        store.WriteSetting("DatatrakImport", "LastPath", "/logs/");
        list = window.findChild<QListWidget*>("lstImport");
    }
    std::string folder() const { return QDir(dir.path()).filePath("tg").toStdString(); }
    int files() const {
        return QDir(QString::fromStdString(folder())).entryList(QDir::Files).size();
    }
    QTemporaryDir dir;
    InMemorySettingsStore store;
    ScriptedUi ui;
    frmAladinImport window;
    QListWidget* list;
};

TEST(frmAladinImport, ConvertsTheChosenLogListsItsDivesAndRemembersItsFolder) {
    Transcript t;
    t.Mask(kExamples, "<examples>/");
    ImportWindow w;
    w.ui.files = {kLog};
    w.window.ImportDatatrakLog();
    ASSERT_GT(w.list->count(), 3);
    t.Note("Umgewandelt", w.ui.Said(), w.store.ReadSetting("DatatrakImport", "LastPath"), w.files(),
           w.window.findChild<QPushButton*>("cmdImport")->isEnabled());
    t.Note("Liste", w.list->item(0)->text(), w.list->item(1)->text(), w.list->item(3)->text());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Escape while the first and the third record are converted; Yes stops after the dive in
    // work, and Escape during the import does not close the window.
    ImportWindow e;
    e.ui.files = {kLog};
    e.ui.answers = {Answer::No, Answer::Yes};
    e.ui.onEvents = [&] {
        if (e.ui.eventRounds == 1 || e.ui.eventRounds == 3)
            QTest::keyClick(e.list, Qt::Key_Escape);  // where the focus is
    };
    e.window.open();
    e.window.ImportDatatrakLog();
    t.Note("Escape", e.ui.Said(), e.files(), e.window.isVisible());

    // A file dialog left without a choice closes the window.
    ImportWindow n;
    n.ui.files = {std::string("*.log")};
    n.window.open();
    n.window.ImportDatatrakLog();
    t.Note("keine Wahl", n.window.isVisible(), n.list->count(),
           n.store.ReadSetting("DatatrakImport", "LastPath"));
}

}  // namespace
}  // namespace marelos
