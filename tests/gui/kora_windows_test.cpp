#include "app/divecomputers/kora_windows.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <sstream>

#include "cli/cli.h"
#include "core/settings/memory_settings_store.h"
#include "tests/fakes/scripted_ui.h"
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
    EXPECT_EQ(main.workspace->settings.maxVScale, 32);
    EXPECT_EQ(store.ReadSetting("Settings", "MaxHScale"), "35");
    EXPECT_TRUE(profile.fileName.empty());
    EXPECT_TRUE(profile.changed);

    main.Trigger("mnuUndo");
    EXPECT_EQ(profile.nextPoint, 2);  // the start point of the new profile
    EXPECT_EQ(profile.lines[10], ProfileLine{});
}

TEST(frmKORA4, ASilentKoraEndsTheLoadWithTheMessageAndTheWindowStaysUsable) {
    SimulatedDevice kora("kora", {"--silent-from", "0"});
    InMemorySettingsStore store;
    store.WriteSetting("CommPort", "Device", kora.device);
    ScriptedUi ui;
    int shown = 0;
    frmKORA4 window(
        Settings{}, store, ui, [&](const ProfileSnapshot&) { ++shown; }, nullptr, 100);
    EXPECT_TRUE(ui.boxes.empty());
    Click(&window, "cmdLoadDives");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, kKoraSilentMessage);
    EXPECT_EQ(window.findChild<QListWidget*>("lstDives")->count(), 0);
    EXPECT_TRUE(window.findChild<QPushButton*>("cmdLoadDives")->isEnabled());
    EXPECT_FALSE(window.findChild<QPushButton*>("cmdStop")->isEnabled());
    EXPECT_EQ(shown, 0);

    // Closing the window while a read waits stops the load, and the window closes after it.
    window.show();
    QTimer::singleShot(50, &window, [&] { window.findChild<QPushButton*>("cmdClose")->click(); });
    Click(&window, "cmdLoadDives");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(ui.boxes.size(), 1u);
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
    const auto text = [&](const char* name) {
        return window.findChild<QLineEdit*>(name)->text().toStdString();
    };
    EXPECT_EQ(text("txtAirPressure"), "1013");
    EXPECT_EQ(text("txtHour") + ":" + text("txtMinute"), "15:42");
    EXPECT_EQ(text("txtMaxDepth"), "41,3");
    EXPECT_TRUE(window.findChild<QCheckBox*>("chkStartScreen")->isChecked());
    EXPECT_TRUE(ui.boxes.empty());

    Click(&window, "cmdRTCSync");
    const auto lines = [&] {
        QFile file(image);
        return file.open(QIODevice::ReadOnly) ? QString(file.readAll()).split('\n') : QStringList{};
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
              0)
        << err.str();
    // The damaged byte is kept as -1 and starts no dive.
    EXPECT_EQ(out.str(), "Tauchgang Nr. 1\nTauchgang Nr. 2\nTauchgang Nr. 3\n");
    QFile file(QString::fromStdString(image));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString(file.readAll()).split('\n').value(149), "-1");

    std::ostringstream lines;
    EXPECT_EQ(RunCli({"kora-dive", image, "1"}, "/opt/marelos", lines, err), 0);
    EXPECT_EQ(lines.str().substr(0, 25), "3\t1\t1\t78\t0\n6\t1\t2\t78\t0\n9\t1");
    EXPECT_EQ(RunCli({"kora-dive", image, "4"}, "/opt/marelos", lines, err), 2);
}

}  // namespace
}  // namespace marelos
