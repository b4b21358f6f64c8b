#include "app/shell/frm_main.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QToolTip>
#include <filesystem>
#include <functional>

#include "app/shell/frm_help.h"
#include "core/graphics/analysis_graphs.h"
#include "core/settings/memory_settings_store.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"
#include "tests/gui/main_window.h"
#include "tests/gui/simulated_device.h"

namespace marelos {
namespace {

// Whether the main graph shows the same picture as `draw` makes anew.
bool ShowsAlike(const MainWindow& w, const std::function<void(Canvas&)>& draw) {
    const QImage& shown = w.picture().Image();
    QtCanvas canvas(w.picture().PixelsPerTwip() * 1440);
    canvas.Resize(shown.width(), shown.height());
    draw(canvas);
    return shown == canvas.Image();
}

// What is wrong with the texts of a picture: a text outside it, over a tick (a line reaching
// out of the plot area), or on another text; by the generous estimate of their extent.
std::vector<std::string> TextFaults(const RecordingCanvas& picture) {
    using Call = RecordingCanvas::Call;
    const Box whole{0, 0, picture.Width(), picture.Height()};
    const Box plot = GraphGeometry::Of(picture).Plot();
    const auto outside = [&](double x, double y) { return !plot.Contains({x, y, x, y}); };
    std::vector<Box> ticks;
    for (const Call& line : picture.Of(Call::kLine)) {
        if (outside(line.x1, line.y1) || outside(line.x2, line.y2))
            ticks.push_back({std::min(line.x1, line.x2), std::min(line.y1, line.y2),
                             std::max(line.x1, line.x2), std::max(line.y1, line.y2)});
    }
    std::vector<std::string> faults;
    std::vector<std::pair<Box, std::string>> placed;
    for (const Call& text : picture.Of(Call::kText)) {
        const Box box = TextBox(text.x1, text.y1, text.text, text.font);
        if (!whole.Contains(box)) faults.push_back("outside: " + text.text);
        for (const Box& tick : ticks) {
            if (box.Intersects(tick)) faults.push_back("on a tick: " + text.text);
        }
        for (const auto& [other, what] : placed) {
            // (a light text's dark shadow is the same text, a little apart)
            if (box.Intersects(other) && what != text.text)
                faults.push_back("on another text: " + text.text);
        }
        placed.emplace_back(box, text.text);
    }
    return faults;
}

TEST(frmMain, TheStepwiseDisplayMarksEveryMinuteToTheAxisEndAndHoldsWhileEscapeAsks) {
    InMemorySettingsStore store;
    store.WriteSetting("Settings", "Interval", "1");
    MainWindow w(store);
    w.ClickAt(3, 30);
    w.ClickAt(20, 30);
    w.Trigger("cmdGraph3");
    const int axis = w.workspace->settings.maxHScale;
    Transcript t;  // the bar graph's menu item and button, and where the display stopped
    const auto note = [&](const char* step) {
        t.Note(step, w.Find("mnuBarGraph")->isChecked(), w.Find("cmdBarGraph")->toolTip());
    };
    note("Balken");
    w.Trigger("mnuDiveDemo");
    note("Vorführung");
    RunUntil([&] { return w.window.cursorMinute() >= axis; }, 10000);
    const QStringList lines = w.MessageLines();
    t.Note("Achse, Ende", axis, w.window.cursorMinute(), lines.last(),
           lines.filter(QRegularExpression("^t = \\d+ min\\.$")).size());
    w.Trigger("mnuBarGraph");  // closing through the menu
    note("geschlossen");

    // Escape in the bar graph asks, and the display waits while the question is open.
    w.workspace->settings.interval = 20;
    w.Trigger("mnuDiveDemo");
    ASSERT_TRUE(RunUntil([&] { return w.window.cursorMinute() >= 3; }, 5000));
    QDialog* bars = nullptr;  // the window shown now, not the one closed before
    for (QDialog* window : w.window.findChildren<QDialog*>("frmBarGraph"))
        bars = window->isVisible() ? window : bars;
    ASSERT_NE(bars, nullptr);
    int asked = -1;
    int afterwards = -1;
    w.dialogs.onAsk = [&](std::string_view text) {
        if (text != "Abbrechen?") return;
        asked = w.window.cursorMinute();
        QTest::qWait(200);  // ten steps of the display
        afterwards = w.window.cursorMinute();
    };
    // A box outside the window's dialogs would wait for ever: it is closed, and the test fails.
    QTimer::singleShot(1000, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->reject();
    });
    w.dialogs.answers = {Answer::No};
    QTest::keyClick(bars, Qt::Key_Escape);
    ASSERT_GE(asked, 3);  // asked through the window's dialogs
    EXPECT_EQ(afterwards, asked);
    EXPECT_TRUE(RunUntil([&] { return w.window.cursorMinute() > asked; }, 5000));  // "Nein": on
    w.dialogs.answers = {Answer::Yes};
    QTest::keyClick(bars, Qt::Key_Escape);
    EXPECT_FALSE(w.Find("mnuBarGraph")->isChecked());
    const int stopped = w.window.cursorMinute();
    QTest::qWait(100);
    EXPECT_EQ(w.window.cursorMinute(), stopped);
}

TEST(frmMain, TheGraphShowsTheValuesOfTheDiveLoadedAndNothingAfterAFailedLoad) {
    const TempFolder dir("values");
    const std::string deep =
        PutFile(dir.File("tief.mrp"), "40\t4\t4\t78\t0\r\n40\t20\t24\t78\t0\r\n");
    const std::string shallow =
        PutFile(dir.File("flach.mrp"), "12\t2\t2\t78\t0\r\n12\t30\t32\t78\t0\r\n");
    InMemorySettingsStore store;
    store.WriteSetting("View", "PrintDiveValues", "1");
    store.WriteSetting("View", "LastUsed", "3");
    MainWindow w(store, deep);  // at start-up, after the window got its size
    QCoreApplication::processEvents();
    const auto withValues = [&](Canvas& canvas) {
        DrawComputedProfile(canvas, *w.workspace, false);
        DrawDiveValues(canvas, *w.workspace);
    };
    EXPECT_EQ(w.workspace->computed.last.maxDepth, 40);
    EXPECT_TRUE(ShowsAlike(w, withValues));
    w.dialogs.files = {shallow};
    w.Trigger("mnuLoadProfile2");  // the second dive shows its own values, not the first one's
    EXPECT_EQ(w.workspace->computed.last.maxDepth, 12);
    EXPECT_TRUE(ShowsAlike(w, withValues));

    std::filesystem::remove(shallow);
    w.Trigger("mnuF1");  // a recent file that is gone: the emptied profile on screen
    EXPECT_TRUE(ShowsAlike(w, [&](Canvas& canvas) {
        DrawProfile(canvas, w.workspace->settings, w.workspace->profile);
    }));
    // A Vyper dive's warnings show in the computed profile when the options say so.
    store.WriteSetting("SuuntoVyper", "Warnings", "1");
    w.dialogs.files = {MARELOS_SOURCE_DIR "/tests/data/vyper_dive_nitrox.mrp"};
    w.Trigger("mnuLoadProfile2");
    EXPECT_TRUE(ShowsAlike(w, [&](Canvas& canvas) {
        DrawComputedProfile(canvas, *w.workspace, true);
        DrawDiveValues(canvas, *w.workspace);
    }));
}

TEST(frmMain, ADecompressionTableShowsEachOfItsDivesWhileItIsBuiltAndIsWrittenWhereTheUserSays) {
    const TempFolder dir("table");
    const std::string input = PutFile(dir.File("tiefen.txt"), "30 20\n40 15\n");
    const std::string output = dir.File("tabelle.txt");
    InMemorySettingsStore store;
    store.WriteSetting("View", "LastUsed", "1");  // the tissue graph was used last
    MainWindow w(store);
    Transcript t;
    t.Mask(dir.path().string(), "<dir>");
    QString title;
    bool computedProfileShown = false;
    w.dialogs.onAsk = [&](std::string_view text) {
        if (text != "Wollen Sie abbrechen?") return;
        title = w.window.windowTitle();
        computedProfileShown = ShowsAlike(
            w, [&](Canvas& canvas) { DrawComputedProfile(canvas, *w.workspace, false); });
    };
    w.dialogs.files = {input, output};
    w.dialogs.answers = {Answer::No};  // go on after the first depth
    QCoreApplication::postEvent(&w.window,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    w.Note(t, "Start");
    w.Trigger("mnuCreateDecoTable");
    t.Note("während: Titel, errechnetes Profil", title, computedProfileShown);
    w.Note(t, "Tabelle");
    for (const char* depth : {"Tiefe: 30 m\r\nGZ\t", "Tiefe: 40 m\r\nGZ\t"})
        EXPECT_NE(FileBytes(output).find(depth), std::string::npos) << depth;
    // a new, empty profile after it, with nothing to save
    t.Note("nextPoint", w.workspace->profile.nextPoint);
    w.Trigger("mnuNewProfile");
    w.Note(t, "neu");

    w.dialogs.files = {dir.File("fehlt.txt")};
    w.Trigger("mnuCreateDecoTable");
    w.Note(t, "fehlt");
}

TEST(frmMain, HelpShowsInTheProgramsOwnWindow) {
    const TempFolder program("help");
    std::filesystem::create_directories(program.path() / "hilfe");
    std::filesystem::copy_file(MARELOS_SOURCE_DIR "/docs/help/marelos-hilfe.html",
                               program.path() / "hilfe/marelos-hilfe.html");
    InMemorySettingsStore store;
    MainWindow w(store, {}, QString::fromStdString(program.path().string()));
    w.Trigger("mnuShowHelp");
    auto* help = w.window.findChild<QDialog*>("frmHelp");
    ASSERT_NE(help, nullptr);
    Transcript t;
    t.Note("Hilfe: sichtbar, Seite, Browser-Knopf, Meldungen", help->isVisible(),
           help->findChild<QTextBrowser*>("txtHelp")->toPlainText().contains(
               "Tauchgänge planen und auswerten"),
           help->findChild<QPushButton*>("cmdOpenInBrowser") != nullptr, w.dialogs.messages);

    // Without a browser the page stays in the window, with a word why.
    ScriptedUi ui;
    std::vector<QUrl> handed;
    frmHelp own(
        HelpPagePath(QString::fromStdString(program.path().string())), ui,
        [&](const QUrl& url) {
            handed.push_back(url);
            return false;
        },
        nullptr);
    own.findChild<QPushButton*>("cmdOpenInBrowser")->click();
    t.Note("ohne Browser", handed.size(), handed.size() == 1 && handed[0].isLocalFile(), ui.Said());
}

TEST(frmMain, TheToolbarNamesItsButtonsAlsoWhileAnotherWindowOfTheProgramHasTheFocus) {
    MainWindow w;
    w.Trigger("cmdBarGraph");
    auto* bars = w.window.findChild<QDialog*>("frmBarGraph");
    QApplication::setActiveWindow(bars);
    ASSERT_TRUE(QTest::qWaitForWindowActive(bars));
    QToolButton* calc = nullptr;
    for (QToolButton* button : w.window.findChildren<QToolButton*>()) {
        if (button->defaultAction() && button->defaultAction()->objectName() == "cmdCalc")
            calc = button;
    }
    ASSERT_NE(calc, nullptr);
    QTest::mouseMove(calc, QPoint(5, 5));
    QTest::mouseMove(calc, QPoint(6, 6));  // the pointer rests on the button
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 3000));
    EXPECT_EQ(QToolTip::text(), "Tauchgang berechnen");
    QToolTip::hideText();
}

// From a small screen to a large one: the graph ends where the panel begins, the panel keeps
// its buttons in view, and in every view each caption, number and legend lies inside the graph.
TEST(frmMain, AtEverySizeTheGraphEndsBeforeThePanelAndItsTextsFitInIt) {
    InMemorySettingsStore store;
    for (const char* key : {"ShowAirMix", "PrintDiveValues"})
        store.WriteSetting("View", key, "1");
    store.WriteSetting("Colors", "GraphBackColor", "8421504");
    MainWindow w(store, MARELOS_SOURCE_DIR "/examples/trimix-60m.mrp");
    const auto* messages = w.Find<QListWidget>("lstSysMsg");
    const auto* graph = w.Find<PictureBox>("picDive");
    const auto* select = w.Find<QPushButton>("cmdSelectMix");
    const QWidget* panel = select;
    while (!qobject_cast<const QScrollArea*>(panel))
        panel = panel->parentWidget();
    for (const QSize size : {QSize(640, 480), QSize(700, 500), QSize(800, 600), QSize(1600, 1000),
                             QSize(2560, 1440)}) {
        const std::string at = std::to_string(size.width()) + "x" + std::to_string(size.height());
        w.window.resize(size);
        QCoreApplication::processEvents();
        EXPECT_LT(graph->mapTo(&w.window, QPoint(graph->width(), 0)).x(),
                  panel->mapTo(&w.window, QPoint()).x())
            << at;
        EXPECT_GT(graph->width(), size.width() / 2) << at;
        EXPECT_EQ(w.picture().Image().width(), graph->width()) << at;  // drawn at the new size
        EXPECT_TRUE(panel->rect().contains(QRect(select->mapTo(panel, QPoint()), select->size())))
            << at;
        EXPECT_EQ(QColor(w.picture().Image().pixel(2, 2)), QColor(128, 128, 128)) << at;
        // the message list shows seven lines at least
        EXPECT_GE(messages->viewport()->height(), 7 * messages->fontMetrics().lineSpacing()) << at;
        if (size.width() < 800) continue;
        for (const char* view :
             {"mnuProfileInput", "mnuPartialPressureN2plusHe", "mnuPressureRelation",
              "mnuShowDiveProfile", "mnuShowAscSpeed", "mnuCNSDraw"}) {
            w.Trigger(view);
            RecordingCanvas shown(w.picture().Width(), w.picture().Height());
            w.picture().Record().PaintOn(shown);
            EXPECT_EQ(TextFaults(shown), std::vector<std::string>{}) << at << " " << view;
        }
    }
}

}  // namespace
}  // namespace marelos
