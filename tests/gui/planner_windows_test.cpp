#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableWidget>

#include "app/planner/dive_slate_window.h"
#include "app/planner/gas_planning_window.h"
#include "tests/fakes/temp_folder.h"
#include "tests/fakes/transcript.h"
#include "tests/gui/main_window.h"
#include "tests/gui/simulated_device.h"

namespace marelos {
namespace {

// The example dive in a window whose planner breathes air from a double 12 and plans EAN50;
// the next calculation writes decimal points whatever the machine's locale says.
std::unique_ptr<MainWindow> PlannerWindow(InMemorySettingsStore& store) {
    store.WriteSetting("Planner", "Enabled", "1");
    store.WriteSetting("Planner", "DecoGas1", "50/0");
    store.WriteSetting("Cylinders", "Cylinder1", "D12;24;232;21/0");
    auto w = std::make_unique<MainWindow>(store, MARELOS_SOURCE_DIR "/examples/luft-30m-25min.mrp");
    w->workspace->settings.decimalSeparator = ".";
    return w;
}

// The text of a PDF page as pdftotext reads it, or nothing without pdftotext.
std::optional<QString> PdfText(const std::string& pdf) {
    const QString tool = QStandardPaths::findExecutable("pdftotext");
    if (tool.isEmpty()) return std::nullopt;
    QProcess process;
    process.start(tool, {QString::fromStdString(pdf), "-"});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Each run time the window shows (the first word of each cell of the rows down to the surface;
// a gas may follow it).
QStringList RunTimes(const QTableWidget& table) {
    QStringList times;
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 2; column < table.columnCount(); ++column) {
            const QString cell = table.item(row, column)->text();
            if (cell != "–") times << cell.split(QRegularExpression("\\s+")).first();
        }
        if (table.item(row, 0)->text() == "Oberfläche") break;
    }
    return times;
}

// The window beside the graph: opened from the menu, it shows the plans of every calculation
// side by side, copies them, and prints and saves the slate whose text holds every run time of
// the window; it shows nothing as a plan without the planner, and says why a PDF was not written.
TEST(DiveSlateWindow, FollowsTheCalculationCopiesPrintsAndSavesTheSlate) {
    InMemorySettingsStore store;
    store.WriteSetting("Cylinders", "Cylinder2", "S40;5.7;207;50/0");
    const std::unique_ptr<MainWindow> planner = PlannerWindow(store);
    MainWindow& w = *planner;
    w.Trigger("mnuDiveSlate");
    auto* window = w.Find<frmDiveSlate>("frmDiveSlate");
    ASSERT_TRUE(window && window->isVisible() && !window->isModal());
    w.Trigger("mnuCalcSaturation");
    auto* table = window->findChild<QTableWidget*>("tblPlans");
    ASSERT_EQ(table->columnCount(), 2 + 4);  // plan, deeper and longer, without EAN50, worst
    const QStringList times = RunTimes(*table);
    ASSERT_GE(times.size(), 4 * 3);
    window->findChild<QPushButton*>("cmdCopy")->click();
    Transcript t;  // the copy has the table's head and every cell
    t.Note("kopiert", QApplication::clipboard()->text());

    const TempFolder temp("slate");
    t.Mask(temp.path().string(), "<dir>");
    w.dialogs.files.push_back(temp.File("Tauchplan.pdf"));
    window->findChild<QPushButton*>("cmdSavePdf")->click();
    EXPECT_EQ(store.ReadSetting("Planner", "SlateFolder"), temp.path().string());
    w.dialogs.printFiles.push_back(temp.File("Gedruckt.pdf"));
    window->findChild<QPushButton*>("cmdPrint")->click();
    EXPECT_TRUE(w.dialogs.messages.empty());
    for (const char* pdf : {"Tauchplan.pdf", "Gedruckt.pdf"}) {
        const std::optional<QString> text = PdfText(temp.File(pdf));
        if (!text) GTEST_SKIP() << "pdftotext (poppler-utils) fehlt: die Seite bleibt ungeprüft.";
        EXPECT_TRUE(text->contains("Tauchplan luft-30m-25min")) << pdf;
        // Each run time as a word of its own, not merely inside another number.
        const QStringList words = text->split(QRegularExpression("\\s+"));
        for (const QString& time : times)
            EXPECT_TRUE(words.contains(time)) << pdf << " " << time.toStdString();
    }

    // A PDF that cannot be written: the program's message, and the folder stays.
    w.dialogs.files.push_back("/nicht/da/Tauchplan.pdf");
    window->findChild<QPushButton*>("cmdSavePdf")->click();
    t.Note("nicht geschrieben", w.dialogs.messages, store.ReadSetting("Planner", "SlateFolder"));

    // Without the planner there is no plan to show, copy or print.
    w.workspace->settings.planner.enabled = false;
    w.Trigger("mnuCalcSaturation");
    t.Note("ohne Planer", table->columnCount(),
           window->findChild<QPushButton*>("cmdPrint")->isEnabled(),
           window->findChild<QLabel*>("lblStatus")->text());
}

// The window beside the graph: opened from the menu, it shows the gas plan of every
// calculation, keeps what the user types into the settings store once it is a cylinder, and
// shows nothing as a plan that the planner did not make.
TEST(GasPlanningWindow, FollowsTheCalculationAndKeepsTheCylindersInTheStore) {
    InMemorySettingsStore store;
    const std::unique_ptr<MainWindow> planner = PlannerWindow(store);
    MainWindow& w = *planner;
    w.Trigger("mnuGasPlanning");
    auto* window = w.Find<frmGasPlanning>("frmGasPlanning");
    ASSERT_TRUE(window && window->isVisible() && !window->isModal());
    w.Trigger("mnuCalcSaturation");
    auto* table = window->findChild<QTableWidget*>("tblCylinders");
    auto* warnings = window->findChild<QListWidget*>("lstWarnings");
    auto* status = window->findChild<QLabel*>("lblStatus");
    // Each step: the warnings, the status, the stored stage, how many of the main window's
    // message lines warned of EAN50 (each calculation's), and whether the stage has a plan.
    Transcript t;
    const auto note = [&](const char* step) {
        t.Note(step, Items(warnings), status->text(), store.ReadSetting("Cylinders", "Cylinder2"),
               w.MessageLines().filter("Für EAN50").size(), !table->item(1, 5)->text().isEmpty());
    };
    note("berechnet");
    t.Note("Flasche 1, letzte Meldung", table->item(0, 0)->text(), w.MessageLines().last());
    EXPECT_FALSE(table->item(0, 5)->text().isEmpty());   // litres used
    EXPECT_FALSE(table->item(0, 10)->text().isEmpty());  // the bottom cylinder's turn pressure
    EXPECT_EQ(
        warnings->findItems("Warnung: Für EAN50", Qt::MatchStartsWith)[0]->foreground().color(),
        QColor(190, 0, 0));
    // A stage typed in cell by cell is stored once it is a cylinder; the plan then breathes it,
    // and the next calculation warns no more.
    table->item(1, 0)->setText("S80");
    note("S80");
    table->item(1, 1)->setText("11,1");
    table->item(1, 2)->setText("207");
    table->item(1, 3)->setText("50");
    note("S80 gefüllt");
    // A fill pressure the model does not cover is refused and the store keeps the cylinder.
    table->item(1, 2)->setText("400");
    note("400 bar");

    // Halves turn later than thirds (a lower turn pressure).
    const double thirds = table->item(0, 10)->text().replace(',', '.').toDouble();
    window->findChild<QComboBox*>("cmbTurnRule")->setCurrentIndex(2);
    EXPECT_EQ(store.ReadSetting("Planner", "TurnRule"), "Halves");
    EXPECT_LT(table->item(0, 10)->text().replace(',', '.').toDouble(), thirds);

    // Without the planner there is no plan to show.
    w.workspace->settings.planner.enabled = false;
    w.Trigger("mnuCalcSaturation");
    EXPECT_TRUE(table->item(0, 5)->text().isEmpty());
    note("ohne Planer");
    t.Note("Zusammenfassung", window->findChild<QLabel*>("lblSummary")->text());
}

}  // namespace
}  // namespace marelos
