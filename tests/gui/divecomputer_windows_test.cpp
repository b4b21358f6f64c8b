#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <sstream>

#include "app/divecomputers/frm_aladin_import.h"
#include "app/divecomputers/kora_windows.h"
#include "app/divecomputers/vyper_windows.h"
#include "cli/cli.h"
#include "core/settings/memory_settings_store.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/temp_folder.h"
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

TEST(frmKORA4, ADiveOfTheSimulatedKoraBecomesTheProfileAsAStepThatCanBeUndone) {
    SimulatedDevice kora("kora");
    ASSERT_FALSE(kora.device.empty());
    InMemorySettingsStore store;
    store.WriteSetting("CommPort", "Device", kora.device);
    MainWindow main(store);
    std::vector<std::string> listed;
    OnNextModal("frmSelectDC", [&](QWidget& select) {
        EXPECT_EQ(select.windowTitle(), "Computer auswählen");
        EXPECT_EQ(select.findChild<QPushButton*>("cmdSuuntoVper")->text(), "Suunto Vyper");
        OnNextModal("frmKORA4", [&](QWidget& window) {
            EXPECT_FALSE(window.findChild<QPushButton*>("cmdShowDive")->isEnabled());
            Click(&window, "cmdLoadDives");
            listed = Items(window.findChild<QListWidget*>("lstDives"));
            EXPECT_EQ(window.findChild<QLabel*>("lblDives")->text(), "4");
            window.findChild<QListWidget*>("lstDives")->setCurrentRow(1);
            Click(&window, "cmdShowDive");
            Click(&window, "cmdClose");
        });
        Click(&select, "cmdKORA4");
    });
    main.Trigger("mnuDiveComputer");

    EXPECT_EQ(listed, (std::vector<std::string>{"Tauchgang Nr. 1", "Tauchgang Nr. 2",
                                                "Tauchgang Nr. 3", "Tauchgang Nr. 4"}));
    // 37 samples, two of them without depth: 35 minutes, the 28 m sample after the gap at
    // minute 10.
    const DiveProfile& profile = main.workspace->profile;
    EXPECT_EQ(profile.nextPoint, 36);
    EXPECT_EQ(profile.lines[10], (ProfileLine{28, 1, 10, 78, 0}));
    EXPECT_EQ(main.workspace->settings.maxVScale, 42);  // the deepest point above the time axis
    EXPECT_EQ(store.ReadSetting("Settings", "MaxHScale"), "35");
    EXPECT_TRUE(profile.fileName.empty());
    EXPECT_TRUE(profile.changed);

    main.Trigger("mnuUndo");
    EXPECT_EQ(profile.nextPoint, 2);  // the start point of the new profile
    EXPECT_EQ(profile.lines[10], ProfileLine{});
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
    EXPECT_TRUE(ui.boxes.empty());
    Click(w.get(), "cmdLoadDives");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].text.starts_with(kKoraSilentMessage)) << ui.boxes[0].text;
    EXPECT_EQ(ui.boxes[0].icon, MessageIcon::Critical);
    EXPECT_EQ(w->findChild<QListWidget*>("lstDives")->count(), 0);
    EXPECT_EQ(w->findChild<QProgressBar*>("pgbLoad")->value(), 0);
    EXPECT_TRUE(w->findChild<QPushButton*>("cmdLoadDives")->isEnabled());
    EXPECT_FALSE(w->findChild<QPushButton*>("cmdStop")->isEnabled());

    // Closing the window while a read waits stops the load, and the window closes after it.
    w->show();
    QTimer::singleShot(50, w.get(), [&] { w->findChild<QPushButton*>("cmdClose")->click(); });
    Click(w.get(), "cmdLoadDives");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(ui.boxes.size(), 1u);

    // A byte of the second dive fails its checksum: the dive is marked and not shown.
    SimulatedDevice damaged("kora", {"--bad-checksum", "160"});
    const auto v = window(damaged);
    Click(v.get(), "cmdLoadDives");
    auto* list = v->findChild<QListWidget*>("lstDives");
    EXPECT_EQ(Items(list),
              (std::vector<std::string>{"Tauchgang Nr. 1", "Tauchgang Nr. 2 (unvollständig)",
                                        "Tauchgang Nr. 3", "Tauchgang Nr. 4"}));
    list->setCurrentRow(1);
    Click(v.get(), "cmdShowDive");
    EXPECT_EQ(ui.boxes.back().text,
              "Der Tauchgang Nr. 2 ist unvollständig: 1 Byte kam mit falscher Prüfsumme oder gar "
              "nicht an. Er wird nicht gezeigt; bitte den Speicher noch einmal laden.");
    EXPECT_EQ(shown, 0);
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
    frmKORASettings window(
        link, ui, ",",
        [] {
            return KoraClock{6, 12, 2026, 4, 9};
        },
        nullptr);
    EXPECT_EQ(window.windowTitle(), "Marelos 3 Beta (Build 3.1.0)");
    EXPECT_FALSE(window.findChild<QPushButton*>("cmdSetSettings")->isEnabled());

    Click(&window, "cmdGetSettings");
    // every field as the device holds it: 1013 mbar, 15:42, 41,3 m, the start screen on, ...
    ExpectGolden("gui/kora_settings_fields.txt", WindowDump(window));
    EXPECT_TRUE(ui.boxes.empty());

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

TEST(KoraCli, DownloadsTheSimulatedKoraAndPrintsTheLinesOfADive) {
    QTemporaryDir dir;
    const std::string image = dir.filePath("eeprom.txt").toStdString();
    SimulatedDevice kora("kora", {"--bad-checksum", "149"});  // the second dive's start byte
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunCli({"kora-download", "--device", kora.device, image, "--timeout", "200",
                      "--settings", dir.filePath("keine.ini").toStdString()},
                     "/opt/marelos", out, err),
              1)
        << err.str();
    // The damaged byte is kept as -1 and starts no dive; it may have hidden one, so the load
    // counts as failed.
    EXPECT_EQ(out.str(), "Tauchgang Nr. 1\nTauchgang Nr. 2\nTauchgang Nr. 3\n");
    EXPECT_NE(err.str().find("kann der Beginn eines Tauchgangs gewesen sein"), std::string::npos)
        << err.str();
    EXPECT_EQ(QString::fromStdString(FileBytes(image)).split('\n').value(149), "-1");

    std::ostringstream lines;
    EXPECT_EQ(RunCli({"kora-dive", image, "1"}, "/opt/marelos", lines, err), 0);
    EXPECT_EQ(lines.str().substr(0, 25), "3\t1\t1\t78\t0\n6\t1\t2\t78\t0\n9\t1");
    EXPECT_EQ(RunCli({"kora-dive", image, "4"}, "/opt/marelos", lines, err), 2);
}

struct VyperWindow {
    explicit VyperWindow(const std::string& device, int interface) {
        store.WriteSetting("CommPort", "Device", device);
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
    QTemporaryDir dir;
    InMemorySettingsStore store;
    Settings settings;
    ScriptedUi ui;
    std::unique_ptr<frmVyper> window;
    QListWidget* comm;
    QListWidget* files;
};

TEST(frmVyper, DownloadsAllDivesOfTheSimulatedVyperWithEitherInterface) {
    for (int interface : {1, 2}) {
        SimulatedDevice vyper("vyper", {"--interface", QString::number(interface)});
        ASSERT_FALSE(vyper.device.empty());
        VyperWindow w(vyper.device, interface);
        w.window->show();
        EXPECT_TRUE(w.ui.boxes.empty());
        EXPECT_EQ(Items(w.comm)[0], "Eingestellte Schnittstelle: Vyper an COM1:");
        Click(w.window.get(), "cmdDownload");
        ASSERT_TRUE(RunUntil([&] { return w.Listed("abgespeichert."); }))
            << testing::PrintToString(Items(w.comm));
        // The values stand in one column behind their labels, inside the list's width.
        EXPECT_TRUE(w.Listed("Temperatur auf maximaler Tiefe:  19 °C"));
        EXPECT_EQ(w.comm->horizontalScrollBar()->maximum(), 0);
        EXPECT_EQ(Items(w.files),
                  (std::vector<std::string>{"Tauchgang 2024-August-23 15 Uhr 42.mrp",
                                            "Tauchgang 2024-August-23 11 Uhr 05.mrp",
                                            "Tauchgang 2003-Juli-02 09 Uhr 30.mrp"}));
        EXPECT_EQ(w.window->findChild<QLabel*>("lblErr")->text(), "3");
    }
}

TEST(frmVyper, StopEndsADownloadInTheMiddleOfACommand) {
    SimulatedDevice vyper("vyper");
    VyperWindow w(vyper.device, 1);
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
}

TEST(frmVyper, TheQuestionBeforeReplacingADiveKeepsTheFileOnEnter) {
    SimulatedDevice vyper("vyper");
    VyperWindow w(vyper.device, 1);
    std::filesystem::create_directories(w.settings.fileStoragePath);
    const std::string stored = PutFile(  // the first dive
        w.settings.fileStoragePath + "/Tauchgang 2024-August-23 15 Uhr 42.mrp", "gut");
    w.window->findChild<QRadioButton*>("optAsk")->setChecked(true);
    Click(w.window.get(), "cmdDownload");
    ASSERT_TRUE(RunUntil([&] { return !w.ui.questions.empty(); }));
    Click(w.window.get(), "cmdStop");
    EXPECT_EQ(w.ui.defaultAnswers, std::vector<Answer>{Answer::No});
    EXPECT_EQ(FileBytes(stored), "gut");
}

TEST(frmVyper, EscapeWhileADiveIsFetchedClosesTheWindowAndNothingMoreIsWritten) {
    SimulatedDevice vyper("vyper");
    VyperWindow w(vyper.device, 1);
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

TEST(frmVyper, ASettingsReadOutWithoutAnswersSaysSoInsteadOfListingZeros) {
    SimulatedDevice vyper("vyper", {"--slow", "0.5"});  // slower than the command delay
    VyperWindow w(vyper.device, 1);
    Click(w.window.get(), "cmdGetVyperSettings");
    ASSERT_TRUE(RunUntil(
        [&] { return w.Listed("OK.") || Items(w.comm).back().starts_with("Die Einstellungen"); }));
    const auto items = Items(w.comm);
    EXPECT_EQ(std::count_if(items.begin(), items.end(),
                            [](const std::string& line) {
                                return line.starts_with("Keine gültige Antwort vom Vyper");
                            }),
              4);
    EXPECT_FALSE(w.Listed("Seriennummer:\t\t\t0000"));
}

TEST(frmVyper, ATakenOrMissingPortIsReportedAndTheWindowStays) {
    VyperWindow w("/nicht/da", 1);
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(w.ui.boxes[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(w.window->findChild<QPushButton*>("cmdClose")->isEnabled());
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
    ImportWindow w;
    w.ui.files = {kLog};
    w.window.ImportDatatrakLog();
    EXPECT_EQ(w.ui.questions, std::vector<std::string>{"Aladin Datatrak-Datei laden..."});
    EXPECT_EQ(w.store.ReadSetting("DatatrakImport", "LastPath"), kExamples);
    ASSERT_GT(w.list->count(), 3);
    EXPECT_EQ(w.list->item(0)->text(), "Lese Datei...");
    EXPECT_EQ(w.list->item(1)->text(), "Anzahl Tauchgänge in diesem Log: 52");
    EXPECT_EQ(w.list->item(3)->text(), "Lfd. Tauchgangs-Nr:             1");
    EXPECT_EQ(w.files(), 48);
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(w.ui.boxes[0].text,
              "Umwandeln von " + kLog + " beendet. 48 Tauchgänge abgespeichert.");
    EXPECT_EQ(w.ui.boxes[0].icon, MessageIcon::Information);
    EXPECT_TRUE(w.window.findChild<QPushButton*>("cmdImport")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(frmAladinImport, EscapeAsksAndYesStopsAfterTheDiveInWork) {
    ImportWindow w;
    w.ui.files = {kLog};
    w.ui.answers = {Answer::No, Answer::Yes};
    w.ui.onEvents = [&] {
        // Escape while the first and the third record are converted.
        if (w.ui.eventRounds == 1 || w.ui.eventRounds == 3)
            QTest::keyClick(w.list, Qt::Key_Escape);  // where the focus is
    };
    w.window.open();
    w.window.ImportDatatrakLog();
    EXPECT_EQ(w.ui.questions.size(), 3u);
    EXPECT_EQ(w.ui.questions[2], "Umwandeln abbrechen?");
    EXPECT_EQ(w.files(), 3);
    EXPECT_EQ(w.ui.boxes.back().text,
              "Umwandeln von " + kLog + " beendet. 3 Tauchgänge gespeichert.");
    EXPECT_TRUE(w.window.isVisible());  // Escape during the import does not close it
}

TEST(frmAladinImport, ADialogLeftWithoutAChoiceClosesTheWindow) {
    ImportWindow w;
    w.ui.files = {std::string("*.log")};
    w.window.open();
    w.window.ImportDatatrakLog();
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_EQ(w.list->count(), 0);
    EXPECT_EQ(w.store.ReadSetting("DatatrakImport", "LastPath"), "/logs/");
}

}  // namespace
}  // namespace marelos
