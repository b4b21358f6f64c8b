#include "app/exchange/uddf_windows.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "platform/qt_convert.h"
#include "platform/uddf_xml.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/fakes/transcript.h"

namespace marelos {
namespace {

const std::string kLog = MARELOS_SOURCE_DIR "/tests/data/uddf_logbook_three_dives.uddf";

TEST(frmUddfImport, ListsTheDivesImportsTheChosenOnesAndAsksBeforeReplacing) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    ScriptedUi ui;
    frmUddfImport window(ReadUddfFile(kLog).value(), folder, ui, nullptr);
    auto* dives = window.findChild<QTreeWidget*>("lvwDives");
    Transcript t;
    t.Mask(folder, "<dir>");
    for (int row = 0; row < dives->topLevelItemCount(); ++row) {
        QStringList shown;
        for (int column = 0; column < dives->columnCount(); ++column)  // (3: the depth, localised)
            shown << (column == 3 ? "" : dives->topLevelItem(row)->text(column));
        t.Note("Tauchgang", shown);
    }
    EXPECT_EQ(dives->topLevelItem(0)->text(3), FormatForScreen(25.3));

    dives->topLevelItem(1)->setSelected(true);
    window.findChild<QPushButton*>("cmdImportSelected")->click();
    t.Note("markierte", QDir(dir.path()).entryList(QDir::Files));
    // "All": the dive without a profile is reported, the existing file is kept on "No" (Enter).
    window.findChild<QPushButton*>("cmdImportAll")->click();
    auto* messages = window.findChild<QListWidget*>("lstMessages");
    t.Note("alle", QDir(dir.path()).entryList(QDir::Files), ui.questions,
           ui.defaultAnswers == std::vector{Answer::No},
           messages->item(messages->count() - 1)->text());

    dives->setCurrentItem(dives->topLevelItem(0));
    ui.answers.push_back(Answer::Yes);
    window.findChild<QPushButton*>("cmdOpen")->click();
    t.Note("öffnen", window.result() == QDialog::Accepted, window.fileToOpen());
}

TEST(frmUddfImport, ADamagedFileIsReportedAndNoWindowOpens) {
    ScriptedUi ui;
    ui.files.push_back(MARELOS_SOURCE_DIR "/examples/trimix-60m.mrp");
    EXPECT_FALSE(ImportUddfFile("/tmp", ui, nullptr));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("nicht das erwartete Format"), std::string::npos);
}

}  // namespace
}  // namespace marelos
