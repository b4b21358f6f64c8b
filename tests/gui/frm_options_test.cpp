#include "app/shell/frm_options.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "core/settings/memory_settings_store.h"
#include "tests/fakes/counting_registry.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/transcript.h"
#include "tests/gui/main_window.h"
#include "tests/gui/simulated_device.h"

namespace marelos {
namespace {

// The dialog on a workspace loaded from its own store.
struct Dialog {
    explicit Dialog(bool decoGasOnly = false) { Open(decoGasOnly); }
    void Open(bool decoGasOnly = false) {
        *workspace = WorkspaceFromSettings(LoadSettings(store, "/opt/marelos"));
        window = std::make_unique<frmOptions>(
            *workspace, store, ui, registry, [this] { ++redraws; }, decoGasOnly);
    }
    template <class T>
    T* Find(const char* name) {
        return window->findChild<T*>(name);
    }
    void Click(const char* name) { Find<QPushButton>(name)->click(); }

    InMemorySettingsStore store;
    ScriptedUi ui;
    CountingRegistry registry;
    std::unique_ptr<Workspace> workspace = std::make_unique<Workspace>();
    std::unique_ptr<frmOptions> window;
    int redraws = 0;
};

TEST(frmOptions, AccessKeysAndOkWithoutChangesStoresWhatTheFieldsShowedAndASecondOkNothing) {
    Dialog d;
    d.store.WriteSetting("Values", "TankSize", "12");
    d.store.WriteSetting("Values", "DecoModel", "2");
    d.store.WriteSetting("CommPort", "Parity", "E");
    d.store.WriteSetting("View", "ShowCompartment6", "1");  // the others hidden
    d.Open();
    // every field as loaded: tank 12, ZH-L16B, parity E, compartment 6 alone shown, ...
    ExpectGolden("gui/options_fields.txt", WindowDump(*d.window, {"cmbDevice"}));
    // Every access key of a tab is unique there and leads to a field.
    auto* tabs = d.Find<QTabWidget>("tabOptions");
    QList<QChar> shared;  // the tabs' own keys work on every page
    for (int tab = 0; tab < tabs->count(); ++tab)
        shared << AccessKey(tabs->tabText(tab));
    for (int tab = 0; tab < tabs->count(); ++tab) {
        QList<QChar> keys = shared;
        for (const QLabel* label : tabs->widget(tab)->findChildren<QLabel*>()) {
            if (AccessKey(label->text()).isNull()) continue;
            EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
            keys << AccessKey(label->text());
        }
        for (const QAbstractButton* button : tabs->widget(tab)->findChildren<QAbstractButton*>())
            if (!AccessKey(button->text()).isNull()) keys << AccessKey(button->text());
        for (const QChar key : keys)
            EXPECT_EQ(keys.count(key), 1) << "tab " << tab << " key " << QString(key).toStdString();
    }
    d.Click("cmdOK");
    EXPECT_EQ(d.window->result(), QDialog::Accepted);
    EXPECT_EQ(d.redraws, 1);
    EXPECT_EQ(LoadSettings(d.store, "/opt/marelos"), d.workspace->settings);

    const auto stored = d.store.Entries();
    d.Open();
    d.Click("cmdOK");
    EXPECT_EQ(d.store.Entries(), stored);

    // A bad number is named on its tab with the field focused, and nothing is stored.
    d.Open();
    d.window->show();
    QApplication::setActiveWindow(d.window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.window.get()));
    tabs = d.Find<QTabWidget>("tabOptions");
    tabs->setCurrentIndex(5);
    auto* airPressure = d.Find<QLineEdit>("txtAirPressure");
    airPressure->setText("abc");
    d.Click("cmdOK");
    Transcript t;
    t.Note("abc", d.ui.Said(), d.window->isVisible(), tabs->currentIndex(), airPressure->hasFocus(),
           airPressure->selectedText(), d.workspace->settings.airPressure, d.redraws,
           d.store.Entries() == stored);
    // Corrected, with a decimal comma, it is taken as it was meant.
    airPressure->setText("1013,25");
    d.Click("cmdOK");
    t.Note("1013,25", d.window->result() == QDialog::Accepted, d.workspace->settings.airPressure,
           d.store.ReadSetting("Values", "AirPressure"));
}

// Each button on an opening of its own. Cancel keeps the chosen colour and font running but
// stores nothing; the model buttons work on the dialog's copy, which OK commits, and a factor that
// is no number changes no coefficient and names its tab; the device test's button.
TEST(frmOptions, TheButtonsOfTheTabsAndWhatOkOrCancelKeepsOfThem) {
    Transcript t;
    Dialog d;
    d.window->chooseColour = [](const QColor&) { return std::optional(QColor(255, 0, 0)); };
    d.window->chooseFont = [](const QString&) { return std::optional(QString("DejaVu Serif")); };
    d.Find<QLineEdit>("txtAirPressure")->setText("950");
    d.Click("cmdBackColor");
    d.Click("cmdChgFont");
    t.Note("Schrift", d.Find<QLineEdit>("txtCurFont")->text());
    const int writes = d.store.WriteCount();
    d.Click("cmdCancel");
    // red in the low byte; the air pressure as before; nothing written
    t.Note("Abbrechen", d.workspace->settings.graphBackColour,
           d.workspace->settings.picDiveFontName, d.workspace->settings.airPressure, d.redraws,
           d.store.WriteCount() - writes);

    d.Open();
    const ModelParameters literature = d.workspace->model;
    d.Find<QLineEdit>("txtBMulti")->setText("abc");
    d.Click("cmdRecalcAB");
    t.Note("b-Faktor abc", d.ui.Said(), d.Find<QTabWidget>("tabOptions")->currentIndex());
    d.Find<QLineEdit>("txtT05Multi")->setText("0");
    d.Click("cmdRecalcT05");
    t.Note("Halbwertszeiten mal 0; b, Halbwertszeiten wie zuvor, OK", d.ui.Said(),
           d.workspace->model.bN2 == literature.bN2,
           d.workspace->model.halfTimeN2 == literature.halfTimeN2,
           d.window->result() == QDialog::Accepted);

    d.Open();
    d.Find<QLineEdit>("txtT05Multi")->setText("2");
    d.Click("cmdRecalcT05");
    t.Note("Halbwertszeiten mal 2", d.window->result() == QDialog::Accepted,
           d.workspace->model.halfTimeN2[10], d.workspace->model.halfTimeN2[11]);

    d.Open();
    d.Find<QLineEdit>("txtAMulti")->setText("1,1");
    d.Click("cmdRecalcAB");
    t.Note("a-Faktor 1,1", d.ui.Said());
    EXPECT_DOUBLE_EQ(d.workspace->model.aN2[1], literature.aN2[1] * 1.1);
    d.Open();
    d.Click("cmdResetAB");
    EXPECT_EQ(d.workspace->model.aN2, literature.aN2);

    d.Open();
    d.Find<QCheckBox>("chkUseC0")->setChecked(true);
    d.Find<QLineEdit>("txtN2PerCentSurface")->setText("40");
    d.Click("cmdSetDecoStandardValues");
    // the other fields stay as edited
    t.Note("Standardwerte", d.Find<QLineEdit>("txtN2PerCentSurface")->text(),
           d.Find<QLineEdit>("txtInitialppN2")->text(), d.Find<QCheckBox>("chkUseC0")->isChecked(),
           d.Find<QLineEdit>("txtC0aHe")->isEnabled());

    d.Open();
    d.store.WriteSetting("Files", "1", "/tmp/a.mrp");
    d.window->chooseFolder = [](const QString&) { return std::optional(QString("/srv/tg")); };
    d.Find<QLineEdit>("txtEND")->setText("30");
    d.Click("cmdCalcEnd");
    d.Click("cmdDeleteHistoryList");
    d.Click("cmdSearchFileStoragePath");
    d.Click("cmdRegisterFileType");
    t.Note("END 30 m, Liste, Ordner, Dateityp", d.Find<QLineEdit>("txtMaxPPN2")->text(),
           d.store.ReadSetting("Files", "1"), d.Find<QLineEdit>("txtFileStoragePath")->text(),
           d.registry.registrations, d.store.ReadSetting("Files", "TypeAssigned"), d.ui.Said());

    // The device is chosen, tested and in effect after OK without a restart.
    SimulatedDevice vyper("vyper", {"--interface", "2"});  // the cable sends back every byte
    t.Mask(vyper.device, "<pty>");
    d.Open();
    auto* device = d.Find<QComboBox>("cmbDevice");
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->currentText(), "");  // the COM number decides
    EXPECT_EQ(device->count(), 1 + static_cast<int>(SystemSerialPorts().size()));
    EXPECT_TRUE(device->lineEdit()->placeholderText().startsWith("COM-Nummer: /dev/tty"));
    device->setCurrentText("/dev/marelos-gibt-es-nicht");
    d.Click("cmdVyperTest");
    auto* reply = d.Find<QLineEdit>("txtReply");
    t.Note("kein Gerät", d.ui.Said(), reply->text());

    device->setCurrentText(QString::fromStdString(vyper.device));
    d.Click("cmdVyperTest");
    t.Note("Test", reply->text());
    RunUntil([&] { return reply->text() != "Teste..."; }, 5000);
    d.Click("cmdOK");
    t.Note("OK", reply->text(), d.store.ReadSetting("CommPort", "Device"));
    // The dive-computer windows open the port when they open: now the chosen device.
    QtSerialLink link;
    const auto opened = OpenCommPort(link, d.workspace->settings, d.store);
    t.Note("geöffnet", opened, link.IsOpen());
    link.Close();
    d.store.WriteSetting("CommPort", "Device", "/dev/marelos-gibt-es-nicht");
    t.Note("nicht geöffnet", OpenCommPort(link, d.workspace->settings, d.store));
}

}  // namespace
}  // namespace marelos
