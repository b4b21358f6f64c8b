#include "app/shell/frm_main.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <new>

#include "app/browser/frm_browse.h"
#include "app/shell/picture_box.h"
#include "core/graphics/analysis_graphs.h"
#include "core/graphics/profile_graph.h"
#include "core/profile/edit_history.h"
#include "core/settings/memory_settings_store.h"
#include "core/text/paths.h"
#include "platform/qt_convert.h"
#include "platform/qt_settings_store.h"
#include "tests/gui/scripted_dialogs.h"

namespace marelos {
namespace {

QStringList MessageLines(const frmMain& window) {
    const auto* list = window.findChild<QListWidget*>("lstSysMsg");
    QStringList lines;
    for (int i = 0; list && i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

QString WriteProfile(const QTemporaryDir& dir, const QString& name, const QByteArray& lines) {
    const QString path = dir.filePath(name);
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(lines);
    return path;
}

// What the main graph shows, and the same picture drawn anew by `draw`.
const QImage& Shown(const frmMain& window) {
    return window.findChild<PictureBox*>("picDive")->canvas().Image();
}
QImage DrawnAlike(const frmMain& window, const std::function<void(Canvas&)>& draw) {
    const QImage& shown = Shown(window);
    QtCanvas canvas(window.findChild<PictureBox*>("picDive")->canvas().PixelsPerTwip() * 1440);
    canvas.Resize(shown.width(), shown.height());
    draw(canvas);
    return canvas.Image();
}

// A main window on its own workspace and store, shown at a fixed size.
struct Window {
    explicit Window(SettingsStore& store, const QString& file = {})
        : workspace(std::make_unique<Workspace>()),
          window(*workspace, store, dialogs, "/opt/marelos/bin", file) {
        window.resize(1100, 760);
        window.show();
    }
    // A click at a minute and depth of the profile graph.
    void ClickAt(double minute, double depth) {
        const GraphGeometry g = GraphGeometry::Of(window.picture());
        const double x = g.left + minute * (g.right - g.left) / workspace->settings.maxHScale;
        const double y = g.top + depth * (g.bottom - g.top) / workspace->settings.maxVScale;
        window.GraphPointerMoved(x, y);
        window.GraphClicked(x, y);
    }
    void Trigger(const char* command) { window.findChild<QAction*>(command)->trigger(); }

    ScriptedDialogs dialogs;
    std::unique_ptr<Workspace> workspace;
    frmMain window;
};

TEST(frmMain, AFirstStartWritesTheProgramFolderAndTheRepairedProgressivity) {
    InMemorySettingsStore store;
    Window w(store);
    EXPECT_EQ(w.window.windowTitle(), "Marelos 3 Beta - Unbenannte Datei");
    EXPECT_EQ(MessageLines(w.window), (QStringList{"Marelos 3 Beta  (Build 3.1.0)", "Ready."}));
    EXPECT_EQ(store.ReadSetting("Settings", "ApplPath"), "/opt/marelos/bin");
    EXPECT_EQ(store.ReadSetting("Values", "DecoMode"), "3");
    EXPECT_EQ(w.workspace->settings.airConsumption, 15);
    EXPECT_EQ(w.workspace->profile.nextPoint, 2);  // the start point at 0 min, 0 m
    EXPECT_EQ(w.window.findChild<QComboBox*>("cmbO2Percent")->currentText(), "21");
    EXPECT_EQ(w.window.findChild<QComboBox*>("cmbN2Percent")->count(), 101);
    EXPECT_EQ(w.window.findChild<QLabel*>("lblTotalPercent")->text(), "= 99%");
    EXPECT_EQ(w.window.findChild<QListWidget*>("lstMixes")->count(), 11);
}

TEST(frmMain, CommandsNotYetBuiltAreVisibleButDisabled) {
    InMemorySettingsStore store;
    Window w(store);
    QStringList menus;
    for (const QAction* action : w.window.menuBar()->actions())
        menus << action->text();
    EXPECT_EQ(menus, (QStringList{"&Datei", "&Bearbeiten", "&Ansicht", "A&temgasgemisch",
                                  "Tauch&profil", "Tauch&gang berechnen", "E&xtras", "&?"}));
    EXPECT_TRUE(w.window.findChild<QAction*>("mnuCalcSaturation")->isEnabled());
    EXPECT_TRUE(w.window.findChild<QAction*>("cmdCalc")->isEnabled());
    EXPECT_EQ(w.window.findChild<QAction*>("cmdCalc")->toolTip(), "Tauchgang berechnen");
    EXPECT_TRUE(w.window.findChild<QAction*>("mnuDiveComputer")->isEnabled());
    EXPECT_TRUE(w.window.findChild<QAction*>("mnuImportDatatrak")->isEnabled());
    for (const char* later : {"mnuCalcNoFlyTime", "cmdNoFly"}) {
        EXPECT_FALSE(w.window.findChild<QAction*>(later)->isEnabled()) << later;
    }
    EXPECT_EQ(w.window.findChild<QAction*>("mnuMe")->text(), "Über Marelos 3 Beta ");
    EXPECT_FALSE(w.window.findChild<QAction*>("mnuF1")->isVisible());
}

TEST(frmMain, TheBrowserOpensTheChosenFileAsTheCurrentProfileAndCloses) {
    QTemporaryDir dir;
    const QString file = WriteProfile(dir, "riff.mrp", "40\t4\t4\t78\t0\r\n40\t20\t24\t78\t0\r\n");
    InMemorySettingsStore store;
    store.WriteSetting("Browser", "LastPath", dir.path().toStdString());
    Window w(store);
    QPointer<QDialog> shown;
    QTimer::singleShot(0, [&] {
        auto* browser = qobject_cast<frmBrowse*>(QApplication::activeModalWidget());
        ASSERT_NE(browser, nullptr);
        shown = browser;
        browser->findChild<QTreeWidget*>("lvwFiles")->topLevelItem(0)->setSelected(true);
        browser->findChild<QPushButton*>("cmdOpen")->click();
        EXPECT_FALSE(browser->isVisible());
    });
    QAction* button = w.window.findChild<QAction*>("cmdBrowse");  // the toolbar button
    ASSERT_TRUE(button && button->isEnabled());
    button->trigger();
    EXPECT_TRUE(shown.isNull() || !shown->isVisible());
    EXPECT_EQ(w.workspace->profile.fileName, file.toStdString());
    EXPECT_EQ(w.workspace->profile.lines[2].depth, 40);
}

TEST(frmMain, DrawCalculateSaveQuitAndFindTheFileAgain) {
    QTemporaryDir dir;
    InMemorySettingsStore store;
    store.WriteSetting("Settings", "FileStoragePath", dir.path().toStdString());
    const QString file = dir.filePath("tg1.mrp");
    {
        Window w(store);
        w.ClickAt(3, 30);
        w.ClickAt(25, 30);
        EXPECT_EQ(w.workspace->profile.nextPoint, 4);
        EXPECT_TRUE(w.workspace->profile.changed);
        EXPECT_EQ(MessageLines(w.window).last(),
                  "> 30 m / 25 min. - N2-Anteil: 78% / He-Anteil: 0");
        w.Trigger("cmdCalc");
        const QStringList lines = MessageLines(w.window);
        EXPECT_TRUE(lines.contains("Berechne Profil"));
        EXPECT_TRUE(lines.contains("Erste Deko-Stufe auf 6 m"));
        EXPECT_TRUE(lines.contains("Max.Tiefe: 30 m Wassertiefe"));
        EXPECT_EQ(w.workspace->profile.lines[2].tTotal, 25);
        // The no-fly time can be asked once per calculation.
        QAction* noFly = w.window.findChild<QAction*>("cmdNoFly");
        ASSERT_TRUE(noFly->isEnabled());
        noFly->trigger();
        EXPECT_TRUE(w.dialogs.messages.back().starts_with(
            "Die Flugverbotszeit für diesen Tauchgang beträgt: "));
        EXPECT_FALSE(noFly->isEnabled());
        EXPECT_FALSE(w.window.findChild<QAction*>("mnuCalcNoFlyTime")->isEnabled());

        w.dialogs.files = {file.toStdString()};
        w.dialogs.answers = {Answer::No};  // without the decompression phase
        w.Trigger("cmdSaveProfile");
        EXPECT_FALSE(w.workspace->profile.changed);
        EXPECT_TRUE(QFile::exists(file));
        EXPECT_EQ(w.dialogs.fileDialogs.back(),
                  "Tauchprofil speichern unter... | Tauchprofile (*.mrp)|*.mrp");
        EXPECT_EQ(w.window.windowTitle().toStdString(),
                  "Marelos 3 Beta - " + ShortenPath(file.toStdString()));

        w.ClickAt(30, 5);  // changed again: quitting asks
        w.dialogs.answers = {Answer::Cancel};
        w.Trigger("mnuFileQuit");
        EXPECT_EQ(w.dialogs.questions.back(), "Geändertes Tauchprofil speichern?");
        EXPECT_EQ(w.dialogs.offered.back(), Buttons::YesNoCancel);
        EXPECT_TRUE(w.window.isVisible());  // Cancel keeps the program running...
        EXPECT_EQ(store.ReadSetting("Values", "O2Percent"), "");  // ...and writes nothing
        w.dialogs.answers = {Answer::No};
        w.window.findChild<QComboBox*>("cmbO2Percent")->setEditText("32");
        w.window.findChild<QComboBox*>("cmbN2Percent")->setEditText("68");
        EXPECT_TRUE(w.window.close());
        // Closing the window can be cancelled too, so Escape never throws changes away.
        EXPECT_EQ(w.dialogs.offered.back(), Buttons::YesNoCancel);
        EXPECT_EQ(store.ReadSetting("Values", "O2Percent"), "32");
        EXPECT_EQ(store.ReadSetting("Values", "N2Percent"), "68");
        EXPECT_EQ(store.ReadSetting("Settings", "MaxHScale"), "155");  // widened: 25 + 120 + 10
    }
    Window again(store);
    EXPECT_EQ(again.window.findChild<QComboBox*>("cmbO2Percent")->currentText(), "32");
    QAction* recent = again.window.findChild<QAction*>("mnuF1");
    ASSERT_TRUE(recent->isVisible());
    EXPECT_TRUE(recent->text().startsWith("&1  "));
    recent->trigger();
    EXPECT_EQ(again.workspace->profile.fileName, file.toStdString());
    EXPECT_EQ(again.workspace->profile.lines[2], (ProfileLine{30, 22, 25, 78, 0}));
}

TEST(frmMain, GraphButtonsCalculateFirstAndTheNextCalculationShowsTheGraphAgain) {
    InMemorySettingsStore store;
    Window w(store);
    w.ClickAt(3, 30);
    w.ClickAt(25, 30);
    w.Trigger("cmdGraph1");
    EXPECT_EQ(w.window.windowTitle(),
              "*Marelos 3 Beta - Inertgaspartialdrücke in den einzelnen Geweben - Nur N2 - "
              "Unbenannte Datei");
    EXPECT_EQ(w.workspace->view.mode, 2);
    EXPECT_EQ(w.workspace->view.graphKind, 1);
    EXPECT_EQ(store.ReadSetting("View", "LastUsed"), "1");
    EXPECT_GT(w.workspace->computed.computedCount, 25);
    w.Trigger("mnuShowDiveProfile");
    EXPECT_EQ(w.workspace->view.graphKind, 3);
    w.Trigger("cmdCalc");  // the view last used is shown again after the calculation
    EXPECT_EQ(w.window.windowTitle(),
              "*Marelos 3 Beta - Errechnetes Tauchprofil - Unbenannte Datei");
    // A click in an analysis view is a time-cursor click with the remaining air.
    w.ClickAt(10, 30);
    EXPECT_TRUE(MessageLines(w.window).last().startsWith("t = 10 min. Restluft:"));
}

TEST(frmMain, TheStepwiseDisplayMarksEveryMinuteUpToTheEndOfTheTimeAxis) {
    InMemorySettingsStore store;
    store.WriteSetting("Settings", "Interval", "1");
    Window w(store);
    w.ClickAt(3, 30);
    w.ClickAt(20, 30);
    w.Trigger("cmdGraph3");
    const int axis = w.workspace->settings.maxHScale;
    QAction* button = w.window.findChild<QAction*>("cmdBarGraph");
    EXPECT_EQ(button->toolTip(), "Balkengrafik der Gewebesättigung anzeigen");
    w.Trigger("mnuDiveDemo");
    EXPECT_TRUE(w.window.findChild<QAction*>("mnuBarGraph")->isChecked());
    EXPECT_EQ(button->toolTip(), "Balkengrafik der Gewebesättigung ausblenden");
    QElapsedTimer clock;
    clock.start();
    while (w.window.cursorMinute() < axis && clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_EQ(w.window.cursorMinute(), axis);
    EXPECT_EQ(MessageLines(w.window).last(), "t = " + QString::number(axis) + " min.");
    const QStringList lines = MessageLines(w.window);
    EXPECT_EQ(lines.filter(QRegularExpression("^t = \\d+ min\\.$")).size(), axis);
    w.Trigger("mnuBarGraph");  // closing through the menu
    EXPECT_FALSE(w.window.findChild<QAction*>("mnuBarGraph")->isChecked());
    EXPECT_EQ(button->toolTip(), "Balkengrafik der Gewebesättigung anzeigen");
}

TEST(frmMain, TheGraphShowsTheValuesOfTheDiveLoadedAndNothingAfterAFailedLoad) {
    QTemporaryDir dir;
    const QString deep = WriteProfile(dir, "tief.mrp", "40\t4\t4\t78\t0\r\n40\t20\t24\t78\t0\r\n");
    const QString shallow =
        WriteProfile(dir, "flach.mrp", "12\t2\t2\t78\t0\r\n12\t30\t32\t78\t0\r\n");
    InMemorySettingsStore store;
    store.WriteSetting("View", "PrintDiveValues", "1");
    store.WriteSetting("View", "LastUsed", "3");
    Window w(store, deep);  // at start-up, after the window got its size
    QCoreApplication::processEvents();
    const auto withValues = [&](Canvas& canvas) {
        DrawComputedProfile(canvas, *w.workspace, false);
        DrawDiveValues(canvas, *w.workspace);
    };
    EXPECT_EQ(w.workspace->computed.last.maxDepth, 40);
    EXPECT_TRUE(Shown(w.window) == DrawnAlike(w.window, withValues));
    w.dialogs.files = {shallow.toStdString()};
    w.Trigger("mnuLoadProfile2");  // the second dive shows its own values, not the first one's
    EXPECT_EQ(w.workspace->computed.last.maxDepth, 12);
    EXPECT_TRUE(Shown(w.window) == DrawnAlike(w.window, withValues));

    QFile::remove(shallow);
    w.Trigger("mnuF1");  // a recent file that is gone: the emptied profile on screen
    EXPECT_TRUE(Shown(w.window) == DrawnAlike(w.window, [&](Canvas& canvas) {
                    DrawProfile(canvas, w.workspace->settings, w.workspace->profile);
                }));
}

TEST(frmMain, ADecompressionTableShowsEachOfItsDivesWhileItIsBuilt) {
    // The dialogs look at the window when the table asks whether to stop.
    struct Watching : ScriptedDialogs {
        Answer Ask(QWidget* parent, std::string_view text, Buttons buttons,
                   MessageIcon icon) override {
            if (text == "Wollen Sie abbrechen?" && onAsk) onAsk();
            return ScriptedDialogs::Ask(parent, text, buttons, icon);
        }
        std::function<void()> onAsk;
    };
    QTemporaryDir dir;
    const QString input = WriteProfile(dir, "tiefen.txt", "30 20\n40 15\n");
    InMemorySettingsStore store;
    store.WriteSetting("View", "LastUsed", "1");  // the tissue graph was used last
    Watching dialogs;
    auto workspace = std::make_unique<Workspace>();
    frmMain window(*workspace, store, dialogs, "/opt/marelos");
    window.resize(1100, 760);
    window.show();
    QString title;
    bool computedProfileShown = false;
    dialogs.onAsk = [&] {
        title = window.windowTitle();
        computedProfileShown = Shown(window) == DrawnAlike(window, [&](Canvas& canvas) {
                                   DrawComputedProfile(canvas, *workspace, false);
                               });
    };
    dialogs.files = {input.toStdString()};
    dialogs.answers = {Answer::No};  // go on after the first depth
    QCoreApplication::postEvent(&window,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    window.findChild<QAction*>("mnuCreateDecoTable")->trigger();
    EXPECT_EQ(title, "Marelos 3 Beta - Errechnetes Tauchprofil - Unbenannte Datei");
    EXPECT_TRUE(computedProfileShown);
    // a new, unsaved profile after it
    EXPECT_EQ(window.windowTitle(), "*Marelos 3 Beta - Unbenannte Datei");
}

TEST(frmMain, KeysSetMixesAndMoveMinutes) {
    InMemorySettingsStore store;
    Window w(store);
    w.ClickAt(5, 20);
    w.ClickAt(10, 20);
    w.ClickAt(15, 20);
    w.ClickAt(10, 3);  // the pointer rests at minute 10, 3 m
    w.dialogs.answers = {Answer::No};
    EXPECT_TRUE(w.window.HandleKey(Qt::Key_Plus, Qt::KeypadModifier));
    std::vector<std::int32_t> times;
    for (int i = 2; i < w.workspace->profile.nextPoint; ++i)
        times.push_back(w.workspace->profile.points[i].time);
    EXPECT_EQ(times, (std::vector<std::int32_t>{5, 10, 16, 10}));
    EXPECT_TRUE(w.window.HandleKey(Qt::Key_X, Qt::ShiftModifier));
    EXPECT_EQ(w.workspace->profile.points[4].time, 15);
    EXPECT_TRUE(w.window.HandleKey(Qt::Key_F2, Qt::NoModifier));  // 3 m: pure oxygen is allowed
    EXPECT_EQ(w.window.findChild<QComboBox*>("cmbO2Percent")->currentText(), "100");
    EXPECT_TRUE(w.window.HandleKey(Qt::Key_Escape, Qt::NoModifier));
    EXPECT_TRUE(w.workspace->cancelRequested);
    EXPECT_FALSE(w.window.HandleKey(Qt::Key_A, Qt::NoModifier));
    EXPECT_EQ(w.window.findChild<QLabel*>("lblCurPos")->text(), "3 m bei 10 min.");
}

TEST(frmMain, ANamedProfileOpensAtStartAfterTheSettings) {
    QTemporaryDir dir;
    const QString file = WriteProfile(dir, "start.mrp", "20\t2\t2\t78\t0\r\n20\t80\t82\t78\t0\r\n");
    InMemorySettingsStore store;
    Window w(store, file);
    const QStringList lines = MessageLines(w.window);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[2], "Lade: " + file);
    EXPECT_EQ(lines[3], "Berechne Profil");
    EXPECT_GE(w.workspace->settings.maxHScale, 82);  // widened for the long dive
    EXPECT_EQ(w.workspace->profile.lines[2].tTotal, 82);
}

TEST(frmMain, ADiveThatCannotBeCalculatedShowsWhyInsteadOfStops) {
    QTemporaryDir dir;
    const QString file = dir.filePath("tief.mrp");
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("600\t60\t60\t78\t0\r\n600\t340\t400\t78\t0\r\n");
    }
    InMemorySettingsStore store;
    store.WriteSetting("Decompression", "Step", "True");
    Window w(store, file);
    w.dialogs.messages.clear();
    w.dialogs.questions.clear();
    w.dialogs.answers = {Answer::Yes};  // a question would be answered, and fail the test
    w.Trigger("mnuPrintDecoPhase");
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_TRUE(w.dialogs.messages[0].starts_with("Der Tauchgang konnte nicht vollständig"));
    EXPECT_TRUE(w.dialogs.questions.empty());
}

// Such a line once grew the time axis to a billion minutes and froze the window for good.
TEST(frmMain, AFileOfABillionMinutesOpensAndEveryViewRedraws) {
    QTemporaryDir dir;
    const QString file = WriteProfile(dir, "riesig.mrp", "30\t999999999\t999999999\t78\t0\r\n");
    InMemorySettingsStore store;
    Window w(store, file);
    for (const char* view : {"mnuShowDiveProfile", "mnuPressureRelation", "mnuShowAscSpeed",
                             "mnuCNSDraw", "mnuPartialPressureN2plusHe"}) {
        w.Trigger(view);
        QCoreApplication::processEvents();
    }
    w.window.resize(900, 640);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.workspace->settings.maxHScale, kLongestTimeAxis);
    EXPECT_TRUE(MessageLines(w.window).contains(
        "Das Tauchprofil ist länger als die längste Zeitachse (6000 min.) und wird nur bis "
        "dahin gezeigt."));
}

TEST(frmMain, StartsWithAStoreFileThatCannotBeWritten) {
    // A folder below a regular file can never be created, not even by the superuser.
    QTemporaryDir dir;
    QFile blocker(dir.filePath("datei"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QtSettingsStore store(dir.filePath("datei") + "/Marelos31.ini");
    Window w(store);
    EXPECT_EQ(MessageLines(w.window).size(), 2);
    EXPECT_EQ(w.workspace->settings.decoMode, 3);
    EXPECT_TRUE(w.dialogs.messages.empty());
}

TEST(frmMain, TheGraphShowsTheProfileAtTheWindowsSize) {
    InMemorySettingsStore store;
    store.WriteSetting("Colors", "GraphBackColor", "8421504");
    Window w(store);
    const QImage& image = w.window.findChild<PictureBox*>("picDive")->canvas().Image();
    EXPECT_GT(image.width(), 300);
    EXPECT_EQ(QColor(image.pixel(2, 2)), QColor(128, 128, 128));
    w.window.resize(700, 500);
    QCoreApplication::processEvents();
    EXPECT_LT(w.window.findChild<PictureBox*>("picDive")->canvas().Image().width(),
              image.width() + 1);
}

TEST(frmMain, TenEditsUndoneAndRedoneGiveTheStartAndTheEndAgain) {
    QTemporaryDir dir;
    const QString file =
        WriteProfile(dir, "geladen.mrp", "20\t2\t2\t78\t0\r\n20\t30\t32\t78\t0\r\n");
    InMemorySettingsStore store;
    Window w(store, file);  // a loaded dive starts with nothing to undo
    QAction* undo = w.window.findChild<QAction*>("mnuUndo");
    QAction* redo = w.window.findChild<QAction*>("mnuRedo");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence("Ctrl+Shift+Z")));
    const ProfileSnapshot start = TakeSnapshot(*w.workspace);

    w.ClickAt(40, 10);  // 1-3: points
    w.ClickAt(45, 5);
    w.ClickAt(50, 0);
    w.Trigger("mnuCalcProfile");  // drawing the lines is no edit of its own
    w.dialogs.texts = {"10", "1", "100", "80"};
    w.Trigger("mnuInsertMinute");  // 4-5: minutes
    w.Trigger("mnuDeleteMinute");
    w.Trigger("mnuSetTime");  // 6-7: axis lengths
    w.Trigger("mnuSetaxDepth");
    w.window.findChild<QComboBox*>("cmbO2Percent")->setEditText("32");
    w.window.findChild<QComboBox*>("cmbN2Percent")->setEditText("67");
    w.Trigger("mnuRecalDive");           // 8: gases, calculated
    w.Trigger("mnuDeleteLastDiveMark");  // 9
    w.ClickAt(70, 20);                   // 10
    const ProfileSnapshot end = TakeSnapshot(*w.workspace);
    EXPECT_TRUE(w.window.windowTitle().startsWith("*Marelos 3 Beta"));

    for (int step = 0; step < 10; ++step) {
        ASSERT_TRUE(undo->isEnabled()) << step;
        undo->trigger();
    }
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(TakeSnapshot(*w.workspace), start);
    EXPECT_FALSE(w.window.windowTitle().startsWith("*"));  // back at the loaded state
    EXPECT_EQ(store.ReadSetting("Settings", "MaxVScale"), std::to_string(start.maxVScale));
    for (int step = 0; step < 10; ++step) {
        ASSERT_TRUE(redo->isEnabled()) << step;
        redo->trigger();
    }
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(TakeSnapshot(*w.workspace), end);
    EXPECT_EQ(store.ReadSetting("Settings", "MaxVScale"), "80");

    w.dialogs.answers = {Answer::No};
    w.Trigger("mnuNewProfile");  // a new dive starts a fresh history
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
}

TEST(frmMain, ASaveQuestionNeverDropsChangesWithoutAnExplicitNein) {
    QTemporaryDir dir;
    const QString recent = WriteProfile(dir, "alt.mrp", "10\t1\t1\t78\t0\r\n");
    InMemorySettingsStore store;
    store.WriteSetting("Files", "1", recent.toStdString());
    store.WriteSetting("Settings", "FileStoragePath", dir.path().toStdString());
    Window w(store);
    w.ClickAt(3, 30);
    w.ClickAt(20, 30);
    const ProfileSnapshot drawn = TakeSnapshot(*w.workspace);
    // "Ja" with a cancelled save dialog, and "Abbrechen" (also Escape), both keep everything.
    for (const char* command : {"mnuFileQuit", "mnuNewProfile", "mnuLoadProfile2", "mnuF1"}) {
        for (const Answer answer : {Answer::Yes, Answer::Cancel}) {
            w.dialogs.answers = {answer};
            w.dialogs.files = {std::nullopt};
            w.dialogs.fileDialogs.clear();
            w.dialogs.questions.clear();
            w.Trigger(command);
            EXPECT_EQ(w.dialogs.questions,
                      (std::vector<std::string>{"Geändertes Tauchprofil speichern?"}))
                << command;
            EXPECT_EQ(w.dialogs.offered.back(), Buttons::YesNoCancel) << command;
            // After "Ja" only the save dialog was shown, never the open dialog.
            EXPECT_EQ(w.dialogs.fileDialogs.size(), answer == Answer::Yes ? 1u : 0u) << command;
            EXPECT_EQ(TakeSnapshot(*w.workspace), drawn) << command;
            EXPECT_TRUE(w.window.isVisible()) << command;
        }
    }
    EXPECT_EQ(store.ReadSetting("Values", "O2Percent"), "");  // quitting never got that far
    w.dialogs.answers = {Answer::No};
    w.Trigger("mnuF1");
    EXPECT_EQ(w.workspace->profile.fileName, recent.toStdString());
    EXPECT_FALSE(w.workspace->profile.changed);
    EXPECT_FALSE(w.window.findChild<QAction*>("mnuUndo")->isEnabled());
}

TEST(frmMain, ACommandThatFailsIsReportedAndLeavesTheProfileAsItWas) {
    QTemporaryDir dir;
    const std::string file = dir.filePath("tg.mrp").toStdString();
    InMemorySettingsStore store;
    Window w(store);
    w.ClickAt(3, 30);
    w.ClickAt(25, 30);
    const ProfileSnapshot drawn = TakeSnapshot(*w.workspace);
    // Saving calculates first (the lines are built, the time axis widens) and then asks.
    w.dialogs.onAsk = [](std::string_view) { throw std::bad_alloc(); };
    w.dialogs.files = {file};
    w.Trigger("mnuSaveProfile2");
    EXPECT_TRUE(w.dialogs.messages.back().starts_with("Für diesen Befehl reicht der"));
    EXPECT_EQ(TakeSnapshot(*w.workspace), drawn);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(file)));
    EXPECT_TRUE(w.window.windowTitle().startsWith("*"));
}

}  // namespace
}  // namespace marelos
