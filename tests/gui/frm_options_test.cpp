#include "app/shell/frm_options.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTabWidget>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "app/shell/frm_main.h"
#include "app/shell/picture_box.h"
#include "core/settings/memory_settings_store.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/gui/scripted_dialogs.h"

namespace marelos {
namespace {

class NoRegistry : public FileTypeRegistry {
  public:
    bool RegisterProfileFileType() override {
        ++registrations;
        return true;
    }
    int registrations = 0;
};

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
    NoRegistry registry;
    std::unique_ptr<Workspace> workspace = std::make_unique<Workspace>();
    std::unique_ptr<frmOptions> window;
    int redraws = 0;
};

TEST(frmOptions, OkWithoutChangesStoresWhatTheFieldsShowedAndASecondOkChangesNothing) {
    Dialog d;
    d.store.WriteSetting("Values", "TankSize", "12");
    d.store.WriteSetting("Values", "DecoModel", "2");
    d.store.WriteSetting("CommPort", "Parity", "E");
    d.store.WriteSetting("View", "ShowCompartment6", "1");  // the others hidden
    d.Open();
    EXPECT_EQ(d.Find<QComboBox>("cmbTankSize")->currentText(), "12");
    EXPECT_EQ(d.Find<QListWidget>("lstDecoModel")->currentItem()->text(), "ZH-L16B");
    EXPECT_EQ(d.Find<QComboBox>("cmbParity")->currentText(), "E");
    EXPECT_FALSE(d.Find<QCheckBox>("chkC5")->isChecked());
    EXPECT_TRUE(d.Find<QCheckBox>("chkC6")->isChecked());
    EXPECT_FALSE(d.Find<QLineEdit>("txtC0T05N2")->isEnabled());
    d.Click("cmdOK");
    EXPECT_EQ(d.window->result(), QDialog::Accepted);
    EXPECT_EQ(d.redraws, 1);
    EXPECT_EQ(LoadSettings(d.store, "/opt/marelos"), d.workspace->settings);

    const auto stored = d.store.Entries();
    d.Open();
    d.Click("cmdOK");
    EXPECT_EQ(d.store.Entries(), stored);
}

TEST(frmOptions, CancelKeepsTheChosenColourAndFontRunningButStoresNothing) {
    Dialog d;
    d.window->chooseColour = [](const QColor&) { return std::optional(QColor(255, 0, 0)); };
    d.window->chooseFont = [](const QString&) { return std::optional(QString("DejaVu Serif")); };
    d.Find<QLineEdit>("txtAirPressure")->setText("950");
    d.Click("cmdBackColor");
    d.Click("cmdChgFont");
    EXPECT_EQ(d.Find<QLineEdit>("txtCurFont")->text(), "DejaVu Serif");
    const int writes = d.store.WriteCount();
    d.Click("cmdCancel");
    EXPECT_EQ(d.store.WriteCount(), writes);
    EXPECT_EQ(d.workspace->settings.graphBackColour, 255);  // red in the low byte
    EXPECT_EQ(d.workspace->settings.picDiveFontName, "DejaVu Serif");
    EXPECT_EQ(d.workspace->settings.airPressure, 1000);
    EXPECT_EQ(d.redraws, 0);
}

TEST(frmOptions, ModelButtonsWorkOnTheDialogsCopyAndCommitWithOk) {
    Dialog d;
    const ModelParameters literature = d.workspace->model;
    d.Find<QLineEdit>("txtT05Multi")->setText("2");
    d.Click("cmdRecalcT05");
    EXPECT_EQ(d.window->result(), QDialog::Accepted);
    EXPECT_EQ(d.workspace->model.halfTimeN2[10], 292.0);
    EXPECT_EQ(d.workspace->model.halfTimeN2[11], 187.0);

    d.Open();
    d.Find<QLineEdit>("txtAMulti")->setText("1,1");
    d.Click("cmdRecalcAB");
    ASSERT_EQ(d.ui.boxes.size(), 1u);
    EXPECT_EQ(d.ui.boxes[0].text, "a- unb-Faktoren wurden neu berechnet. Faktoren: 1.1 und 1");
    EXPECT_DOUBLE_EQ(d.workspace->model.aN2[1], literature.aN2[1] * 1.1);

    d.Open();
    d.Click("cmdResetAB");
    EXPECT_EQ(d.workspace->model.aN2, literature.aN2);

    d.Open();
    d.Find<QCheckBox>("chkUseC0")->setChecked(true);
    EXPECT_TRUE(d.Find<QLineEdit>("txtC0aHe")->isEnabled());
    d.Find<QLineEdit>("txtN2PerCentSurface")->setText("40");
    d.Click("cmdSetDecoStandardValues");
    EXPECT_EQ(d.Find<QLineEdit>("txtN2PerCentSurface")->text(), "78");
    EXPECT_EQ(d.Find<QLineEdit>("txtInitialppN2")->text(), "0.78");
    EXPECT_TRUE(d.Find<QCheckBox>("chkUseC0")->isChecked());  // other fields stay as edited
}

TEST(frmOptions, EndRecentFilesStorageFolderAndRegistration) {
    Dialog d;
    d.store.WriteSetting("Files", "1", "/tmp/a.mrp");
    d.window->chooseFolder = [](const QString&) { return std::optional(QString("/srv/tg")); };
    d.Find<QLineEdit>("txtEND")->setText("30");
    d.Click("cmdCalcEnd");
    EXPECT_EQ(d.Find<QLineEdit>("txtMaxPPN2")->text(), "3.16");
    d.Click("cmdDeleteHistoryList");
    EXPECT_EQ(d.store.ReadSetting("Files", "1"), "");
    d.Click("cmdSearchFileStoragePath");
    EXPECT_EQ(d.Find<QLineEdit>("txtFileStoragePath")->text(), "/srv/tg/");
    d.Click("cmdRegisterFileType");
    EXPECT_EQ(d.registry.registrations, 1);
    EXPECT_EQ(d.store.ReadSetting("Files", "TypeAssigned"), "Done");
}

// The letter after "&" in a caption, lower case; 0 when there is none.
QChar AccessKey(const QString& caption) {
    const qsizetype at = caption.indexOf('&');
    return at >= 0 && at + 1 < caption.size() ? caption[at + 1].toLower() : QChar();
}

TEST(frmOptions, EveryAccessKeyOfATabIsUniqueAndLeadsToAField) {
    Dialog d;
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
}

// A pseudo-terminal whose other end sends back every byte, like a home-made interface.
class EchoingTerminal {
  public:
    EchoingTerminal() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {
        grantpt(master_);
        unlockpt(master_);
        notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            char bytes[256];
            const ssize_t count = read(master_, bytes, sizeof bytes);
            if (count > 0) {
                EXPECT_EQ(write(master_, bytes, static_cast<size_t>(count)), count);
            }
        });
    }
    ~EchoingTerminal() { close(master_); }
    std::string Device() const { return ptsname(master_); }

  private:
    int master_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

TEST(frmOptions, InterfaceTestOverAnEchoingTerminalAndAMissingPort) {
    EchoingTerminal terminal;
    Dialog d;
    d.store.WriteSetting("CommPort", "Device", terminal.Device());
    d.Open();
    d.Click("cmdVyperTest");
    auto* reply = d.Find<QLineEdit>("txtReply");
    EXPECT_EQ(reply->text(), "Teste...");
    QElapsedTimer waited;
    waited.start();
    while (reply->text() == "Teste..." && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(reply->text(), "Vyper Interface OK");
    EXPECT_TRUE(d.ui.boxes.empty());

    d.store.WriteSetting("CommPort", "Device", "/dev/marelos-gibt-es-nicht");
    d.Click("cmdVyperTest");
    ASSERT_EQ(d.ui.boxes.size(), 1u);
    EXPECT_EQ(d.ui.boxes[0].text,
              "Schnittstelle COM1 (/dev/marelos-gibt-es-nicht): Datei oder Ordner nicht "
              "gefunden (Fehler 2)");
    EXPECT_EQ(d.ui.boxes[0].icon, MessageIcon::Critical);
    EXPECT_EQ(reply->text(), "");
}

// The main window with the dialog answered from inside its modal loop.
struct MainWindow {
    MainWindow() : window(*workspace, store, dialogs, "/opt/marelos/bin") {
        window.resize(1100, 760);
        window.show();
    }
    // Triggers the command and runs `inDialog` on the options dialog once it is shown.
    void WithOptions(const char* command, const std::function<void(frmOptions&)>& inDialog) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<frmOptions*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = true;
            inDialog(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        window.findChild<QAction*>(command)->trigger();
        EXPECT_TRUE(seen);
    }
    QImage Shown() const { return window.findChild<PictureBox*>("picDive")->canvas().Image(); }
    // Sets the graph background in the dialog and confirms it.
    void ConfirmBackground(const QColor& colour) {
        WithOptions("mnuOptions", [&](frmOptions& dialog) {
            dialog.chooseColour = [&](const QColor&) { return std::optional(colour); };
            dialog.findChild<QPushButton*>("cmdBackColor")->click();
            dialog.findChild<QPushButton*>("cmdOK")->click();
        });
    }

    InMemorySettingsStore store;
    ScriptedDialogs dialogs;
    std::unique_ptr<Workspace> workspace = std::make_unique<Workspace>();
    frmMain window;
};

TEST(frmOptions, DecompressionGasOpensItsTabAloneAndTheNextOpeningHasAllTabs) {
    MainWindow w;
    ASSERT_TRUE(w.window.findChild<QAction*>("cmdDecoGas")->isEnabled());
    ASSERT_TRUE(w.window.findChild<QAction*>("cmdShowOptions")->isEnabled());
    w.WithOptions("cmdDecoGas", [](frmOptions& dialog) {
        auto* tabs = dialog.findChild<QTabWidget*>("tabOptions");
        EXPECT_EQ(tabs->currentIndex(), 1);
        for (int tab = 0; tab < tabs->count(); ++tab)
            EXPECT_EQ(tabs->isTabEnabled(tab), tab != 0 && tab != 2 && tab != 3) << tab;
        dialog.findChild<QPushButton*>("cmdOK")->click();
    });
    EXPECT_EQ(w.store.ReadSetting("Settings", "LastOptionsTab"), "1");
    w.WithOptions("mnuOptions", [](frmOptions& dialog) {
        auto* tabs = dialog.findChild<QTabWidget*>("tabOptions");
        EXPECT_EQ(tabs->currentIndex(), 1);
        for (int tab = 0; tab < tabs->count(); ++tab)
            EXPECT_TRUE(tabs->isTabEnabled(tab)) << tab;
    });
}

TEST(frmOptions, OkRedrawsTheProfileInputAndTheAnalysisGraphShown) {
    MainWindow w;
    w.ConfirmBackground(QColor(0, 0, 200));
    const QImage input = w.Shown();
    EXPECT_EQ(input.pixelColor(2, 2), QColor(0, 0, 200));
    w.window.findChild<QAction*>("mnuProfileInput")->trigger();
    EXPECT_EQ(w.Shown(), input);  // the redraw was the profile input view

    w.window.findChild<QAction*>("mnuPressureRelation")->trigger();
    ASSERT_EQ(w.workspace->view.mode, 2);
    w.ConfirmBackground(QColor(0, 120, 0));
    const QImage ratio = w.Shown();
    EXPECT_EQ(ratio.pixelColor(2, 2), QColor(0, 120, 0));
    w.window.findChild<QAction*>("mnuPressureRelation")->trigger();
    EXPECT_EQ(w.Shown(), ratio);
}

}  // namespace
}  // namespace marelos
