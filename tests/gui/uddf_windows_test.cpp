#include "app/exchange/uddf_windows.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "core/exchange/uddf_import.h"
#include "core/settings/memory_settings_store.h"
#include "platform/qt_convert.h"
#include "platform/uddf_xml.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/gui/main_window.h"

namespace marelos {
namespace {

const std::string kLog = MARELOS_SOURCE_DIR "/tests/data/uddf_logbook_three_dives.uddf";

TEST(frmUddfImport, ListsTheDivesImportsTheChosenOnesAndAsksBeforeReplacing) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    ScriptedUi ui;
    frmUddfImport window(ReadUddfFile(kLog).value(), folder, ui, nullptr);
    auto* dives = window.findChild<QTreeWidget*>("lvwDives");
    ASSERT_EQ(dives->topLevelItemCount(), 3);
    const QTreeWidgetItem* first = dives->topLevelItem(0);
    QStringList shown;
    for (int column = 0; column < 6; ++column)
        shown << first->text(column);
    EXPECT_EQ(shown, QStringList({"101", "01.06.2024", "10:05", FormatForScreen(25.3), "24",
                                  "Walchensee, Galerie"}));
    EXPECT_EQ(dives->topLevelItem(2)->text(6), "ohne Profilpunkte");

    dives->topLevelItem(1)->setSelected(true);
    window.findChild<QPushButton*>("cmdImportSelected")->click();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList({"Tauchgang 2024-Juni-01 14 Uhr 40.mrp"}));

    // "All": the dive without a profile is reported, the existing file is kept on "No".
    window.findChild<QPushButton*>("cmdImportAll")->click();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0],
              "Dieser Tauchgang wurde bereits abgespeichert. Soll die Datei Tauchgang "
              "2024-Juni-01 14 Uhr 40.mrp überschrieben werden?");
    EXPECT_EQ(ui.defaultAnswers[0], Answer::No);  // Enter keeps the file
    auto* messages = window.findChild<QListWidget*>("lstMessages");
    EXPECT_EQ(messages->item(messages->count() - 1)->text(),
              "Tauchgang 3 nicht importiert: ohne Profilpunkte");

    dives->setCurrentItem(dives->topLevelItem(0));
    ui.answers.push_back(Answer::Yes);
    window.findChild<QPushButton*>("cmdOpen")->click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(window.fileToOpen(), folder + "/Tauchgang 2024-Juni-01 10 Uhr 05.mrp");
}

TEST(frmUddfImport, ADamagedFileIsReportedAndNoWindowOpens) {
    ScriptedUi ui;
    ui.files.push_back(MARELOS_SOURCE_DIR "/examples/trimix-60m.mrp");
    EXPECT_FALSE(ImportUddfFile("/tmp", ui, nullptr));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("nicht das erwartete Format"), std::string::npos);
}

TEST(frmMain, ExportsTheCurrentDiveWithItsDecompressionPhaseOnRequest) {
    QTemporaryDir dir;
    InMemorySettingsStore store;
    store.WriteSetting("Decompression", "Step", "True");
    MainWindow w(store, MARELOS_SOURCE_DIR "/examples/luft-30m-25min.mrp");
    const std::string out = dir.filePath("export.uddf").toStdString();
    const auto exportedLines = [&](Answer withDecompression) {
        w.dialogs.files.push_back(out);
        w.dialogs.answers.push_back(withDecompression);
        w.Trigger("mnuExportUddf");
        const UddfLog log = ReadUddfFile(out).value();
        return ResampleToMinutes(log.dives.at(0), log.mixes);
    };
    const std::vector<ImportedLine> plain = exportedLines(Answer::No);
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(plain.back(), (ImportedLine{25, 30, 78, 0}));
    // With the stops the dive ends at the surface after its last stop.
    const std::vector<ImportedLine> staged = exportedLines(Answer::Yes);
    ASSERT_GT(staged.size(), 4u);
    EXPECT_EQ(staged.back().depth, 0);
    EXPECT_EQ(staged[staged.size() - 2].depth, 3);
    // A name with wildcards is no file: nothing is written, nothing is asked.
    w.dialogs.files.push_back(dir.filePath("*.uddf").toStdString());
    w.Trigger("mnuExportUddf");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"export.uddf"});
    EXPECT_TRUE(w.dialogs.answers.empty() && w.dialogs.messages.empty());
}

TEST(frmMain, ADrawnDiveExportedAndImportedAgainIsListedByItsPlaceInTheFile) {
    QTemporaryDir dir;
    MainWindow w;
    w.ClickAt(3, 20);
    w.ClickAt(20, 20);
    const std::string out = dir.filePath("gezeichnet.uddf").toStdString();
    w.dialogs.files.push_back(out);
    w.Trigger("mnuExportUddf");
    ScriptedUi ui;
    frmUddfImport window(ReadUddfFile(out).value(), dir.path().toStdString(), ui, nullptr);
    EXPECT_EQ(window.findChild<QTreeWidget*>("lvwDives")->topLevelItem(0)->text(0), "1");
}

}  // namespace
}  // namespace marelos
