#include "app/divecomputers/vyper_windows.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include "core/settings/memory_settings_store.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/gui/simulated_device.h"

namespace marelos {
namespace {

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
    void Click(const char* name) { window->findChild<QPushButton*>(name)->click(); }
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
        EXPECT_TRUE(w.ui.boxes.empty());
        EXPECT_EQ(Items(w.comm)[0], "Eingestellte Schnittstelle: Vyper an COM1:");
        w.Click("cmdDownload");
        ASSERT_TRUE(RunUntil([&] { return w.Listed("abgespeichert."); }))
            << testing::PrintToString(Items(w.comm));
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
        w.Click("cmdStop");
    });
    w.Click("cmdDownload");
    ASSERT_TRUE(RunUntil([&] { return w.Listed("Übertragung unterbrochen."); }));
    RunUntil([] { return false; }, 1000);  // the command's pauses run out; nothing follows
    EXPECT_EQ(w.files->count(), 0) << testing::PrintToString(Items(w.files));
}

TEST(frmVyper, ATakenOrMissingPortIsReportedAndTheWindowStays) {
    VyperWindow w("/nicht/da", 1);
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(w.ui.boxes[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(w.window->findChild<QPushButton*>("cmdClose")->isEnabled());
}

}  // namespace
}  // namespace marelos
