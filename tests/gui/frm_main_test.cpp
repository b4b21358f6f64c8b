#include "app/shell/frm_main.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QFrame>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include "core/settings/memory_settings_store.h"
#include "platform/qt_convert.h"
#include "platform/qt_settings_store.h"

namespace marelos {
namespace {

QStringList MessageLines(const frmMain& window) {
    const auto* list = window.findChild<QListWidget*>("lstSysMsg");
    QStringList lines;
    for (int i = 0; list && i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

TEST(frmMain, AFirstStartWritesTheProgramFolderAndTheRepairedProgressivity) {
    InMemorySettingsStore store;
    Workspace workspace;
    workspace.settings.airConsumption = 0;  // proves that the start-up loads the settings
    frmMain window(workspace, store, "/opt/marelos/bin");

    EXPECT_EQ(window.windowTitle(), "Marelos 3 Beta - Unbenannte Datei");
    EXPECT_EQ(MessageLines(window), (QStringList{"Marelos 3 Beta  (Build 3.1.0)", "Ready."}));
    EXPECT_EQ(window.findChild<QListWidget*>("lstSysMsg")->currentRow(), 1);
    EXPECT_EQ(store.ReadSetting("Settings", "ApplPath"), "/opt/marelos/bin");
    EXPECT_EQ(store.ReadSetting("Values", "DecoMode"), "3");
    EXPECT_EQ(workspace.settings.airConsumption, 15);
    EXPECT_EQ(workspace.settings.fileStoragePath, "/opt/marelos/bin/Tauchprofile");
}

TEST(frmMain, TheGraphTakesTheStoredBackgroundColour) {
    InMemorySettingsStore store;
    store.WriteSetting("Colors", "GraphBackColor", "8421504");
    Workspace workspace;
    frmMain window(workspace, store, "/opt/marelos");
    const auto* graph = window.findChild<QFrame*>("picDive");
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->palette().color(QPalette::Window), QColor(128, 128, 128));
}

TEST(frmMain, CommandsNotYetBuiltAreVisibleButDisabled) {
    InMemorySettingsStore store;
    Workspace workspace;
    frmMain window(workspace, store, "/opt/marelos");
    QStringList menus;
    for (const QAction* action : window.menuBar()->actions())
        menus << action->text();
    EXPECT_EQ(menus, (QStringList{"&Datei", "&Bearbeiten", "&Ansicht", "A&temgasgemisch",
                                  "Tauch&profil", "Tauch&gang berechnen", "E&xtras", "&?"}));
    const auto* calc = window.findChild<QAction*>("mnuCalcSaturation");
    ASSERT_NE(calc, nullptr);
    EXPECT_EQ(calc->text(), QString::fromUtf8("&Gewebesättigung der 16 Kompartimente"));
    EXPECT_TRUE(calc->isVisible());
    EXPECT_FALSE(calc->isEnabled());
    const auto* quit = window.findChild<QAction*>("mnuFileQuit");
    ASSERT_NE(quit, nullptr);
    EXPECT_TRUE(quit->isEnabled());
    EXPECT_EQ(window.findChild<QAction*>("mnuMe")->text(), "Über Marelos 3 Beta ");
    const auto* saturation = window.findChild<QMenu*>("mnuSaveSaturation");
    ASSERT_NE(saturation, nullptr);
    EXPECT_EQ(saturation->actions().size(), 2);
}

TEST(frmMain, StartsWithAStoreFileThatCannotBeWritten) {
    // A folder below a regular file can never be created, not even by the superuser.
    QTemporaryDir dir;
    QFile blocker(dir.filePath("datei"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QtSettingsStore store(dir.filePath("datei") + "/Marelos31.ini");
    Workspace workspace;
    frmMain window(workspace, store, "/opt/marelos");
    EXPECT_EQ(MessageLines(window).size(), 2);
    EXPECT_EQ(workspace.settings.decoMode, 3);
}

TEST(frmMain, ShowSysMsgDropsControlCharactersAndSelectsTheNewLine) {
    InMemorySettingsStore store;
    Workspace workspace;
    frmMain window(workspace, store, "/opt/marelos");
    window.ShowSysMsg("Erster Halt\tauf 6 m\r\n");
    EXPECT_EQ(MessageLines(window).back(), "Erster Haltauf 6 m");
    EXPECT_EQ(window.findChild<QListWidget*>("lstSysMsg")->currentRow(), 2);
}

}  // namespace
}  // namespace marelos
