#include "app/divecomputers/frm_aladin_import.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "core/settings/memory_settings_store.h"
#include "tests/fakes/scripted_ui.h"

namespace marelos {
namespace {

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
