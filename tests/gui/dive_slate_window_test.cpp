#include "app/planner/dive_slate_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QClipboard>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableWidget>

#include "tests/fakes/temp_folder.h"
#include "tests/gui/main_window.h"

namespace marelos {
namespace {

const std::string kExampleDive = MARELOS_SOURCE_DIR "/examples/luft-30m-25min.mrp";

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
    store.WriteSetting("Planner", "Enabled", "1");
    store.WriteSetting("Planner", "DecoGas1", "50/0");
    store.WriteSetting("Cylinders", "Cylinder1", "D12;24;232;21/0");
    store.WriteSetting("Cylinders", "Cylinder2", "S40;5.7;207;50/0");
    MainWindow w(store, kExampleDive);
    w.Trigger("mnuDiveSlate");
    auto* window = w.Find<frmDiveSlate>("frmDiveSlate");
    ASSERT_TRUE(window && window->isVisible() && !window->isModal());
    w.Trigger("mnuCalcSaturation");
    auto* table = window->findChild<QTableWidget*>("tblPlans");
    ASSERT_EQ(table->columnCount(), 2 + 4);  // plan, deeper and longer, without EAN50, worst
    EXPECT_EQ(table->horizontalHeaderItem(2)->text(), "1 Plan");
    EXPECT_THAT(table->horizontalHeaderItem(5)->text().toStdString(),
                ::testing::EndsWith("Schlimmster Fall (+3 m, +3 min, ohne EAN50)"));
    const QStringList times = RunTimes(*table);
    ASSERT_GE(times.size(), 4 * 3);

    window->findChild<QPushButton*>("cmdCopy")->click();
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith("Tiefe m\tGas\t1 Plan\t")) << copied.toStdString();
    EXPECT_TRUE(copied.contains("S40 EAN50\t"));

    const TempFolder temp("slate");
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
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_THAT(w.dialogs.messages[0], ::testing::HasSubstr("konnte nicht geschrieben werden"));
    EXPECT_EQ(store.ReadSetting("Planner", "SlateFolder"), temp.path().string());

    // Without the planner there is no plan to show, copy or print.
    w.workspace->settings.planner.enabled = false;
    w.Trigger("mnuCalcSaturation");
    EXPECT_EQ(table->columnCount(), 0);
    EXPECT_FALSE(window->findChild<QPushButton*>("cmdPrint")->isEnabled());
    EXPECT_THAT(window->findChild<QLabel*>("lblStatus")->text().toStdString(),
                ::testing::StartsWith("Der Tauchplan zeigt die Pläne des Planers"));
}

}  // namespace
}  // namespace marelos
