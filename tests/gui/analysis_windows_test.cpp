#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtEndian>
#include <memory>

#include "app/analysis/graph_output.h"
#include "app/analysis/tool_windows.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/scripted_ui.h"
#include "tests/gui/main_window.h"

namespace marelos {
namespace {

const std::string kExampleDive = MARELOS_SOURCE_DIR "/examples/luft-30m-25min.mrp";

// The last thing written into the picture, as the printer receives it.
RecordingCanvas::Call LastCall(const QtCanvas& picture) {
    RecordingCanvas replay(picture.Width(), picture.Height());
    picture.Record().PaintOn(replay);
    return replay.calls.back();
}

// The pages of a PDF file as Qt writes it: the page boxes and the unpacked drawing of each.
struct PdfPages {
    std::vector<QSizeF> boxes;
    QByteArray drawing;
    bool hasImage = false;
};

PdfPages ReadPdf(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    PdfPages pages;
    pages.hasImage = pdf.contains("/Subtype /Image");
    static const QRegularExpression box(
        R"(/Type /Page\b[^>]*?/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])");
    for (auto match = box.globalMatch(QString::fromLatin1(pdf)); match.hasNext();) {
        const auto page = match.next();
        pages.boxes.emplace_back(page.captured(1).toDouble(), page.captured(2).toDouble());
    }
    // Each compressed stream, unpacked (qUncompress wants the unpacked size in front).
    const QByteArray packedStream = "/FlateDecode\n>>\nstream\n";
    for (qsizetype at = pdf.indexOf(packedStream); at >= 0; at = pdf.indexOf(packedStream, at)) {
        const qsizetype start = at + packedStream.size();
        at = pdf.indexOf("endstream", start);
        if (at < 0) break;
        QByteArray packed(4, '\0');
        qToBigEndian<quint32>(64 << 20, packed.data());
        pages.drawing += qUncompress(packed + pdf.mid(start, at - start));
    }
    return pages;
}

TEST(GraphOutput, PrintsTheDiveSharpOnOneLandscapePageWithItsFileName) {
    QTemporaryDir dir;
    MainWindow w(kExampleDive);
    w.Trigger("mnuCalcSaturation");
    w.Trigger("mnuPartialPressureN2plusHe");
    const QString pdf = dir.filePath("grafik.pdf");
    w.dialogs.printFiles.push_back(pdf.toStdString());
    w.Trigger("cmdPrint");

    EXPECT_TRUE(w.dialogs.messages.empty());
    const RecordingCanvas::Call name = LastCall(w.picture());
    EXPECT_EQ(name.kind, RecordingCanvas::Call::kText);
    EXPECT_EQ(name.text, kExampleDive);
    EXPECT_EQ(name.x1, 2000);
    EXPECT_EQ(name.y1, 100);
    EXPECT_EQ(name.colour, 0);

    const PdfPages pages = ReadPdf(pdf);
    ASSERT_EQ(pages.boxes.size(), 1u);
    EXPECT_GT(pages.boxes[0].width(), pages.boxes[0].height());
    // Lines drawn at the printer's resolution, not a bitmap of the screen.
    EXPECT_FALSE(pages.hasImage);
    EXPECT_GT(pages.drawing.count(" l\n"), 100);
}

TEST(GraphOutput, AnUntitledProfilePrintsAnEmptyNameAndPrinterErrorsAreReported) {
    MainWindow w;
    w.Trigger("mnuPrintGraph");  // the print dialog is cancelled
    EXPECT_EQ(LastCall(w.picture()).text, "");
    EXPECT_TRUE(w.dialogs.messages.empty());

    w.dialogs.printFiles.push_back("/kein/ordner/grafik.pdf");
    w.Trigger("mnuPrintGraph");
    EXPECT_EQ(w.dialogs.messages,
              (std::vector<std::string>{
                  "Der Drucker kann die Grafik nicht drucken: /kein/ordner/grafik.pdf (482)"}));

    w.Trigger("mnuSetPrinter");
    EXPECT_EQ(w.dialogs.pageSetUps, 1);
}

TEST(GraphOutput, SavedAndCopiedPicturesHaveTheGraphsSizeAndPatternsSaveNothing) {
    QTemporaryDir dir;
    MainWindow w(kExampleDive);
    const QSize size = w.picture().Image().size();
    for (const char* name : {"grafik.bmp", "grafik.png"}) {
        w.dialogs.files.push_back(dir.filePath(name).toStdString());
        w.Trigger("mnuSavePic");
        QImageReader reader(dir.filePath(name));
        EXPECT_EQ(reader.format(), QFileInfo(name).suffix().toLatin1()) << name;
        EXPECT_EQ(reader.size(), size) << name;
    }
    EXPECT_EQ(w.dialogs.fileDialogs.front(),
              "Grafik des Tauchgangs speichern unter... | "
              "Bitmap-Dateien (*.bmp)|*.bmp|PNG-Bilder (*.png)|*.png|");

    for (const char* pattern : {"*.bmp", "grafik?.bmp"}) {
        w.dialogs.files.push_back(dir.filePath(pattern).toStdString());
        w.Trigger("mnuSavePic");
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);

    w.dialogs.files.push_back(dir.filePath("fehlt/grafik.bmp").toStdString());
    w.Trigger("mnuSavePic");
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_TRUE(w.dialogs.messages[0].starts_with("Die Datei ")) << w.dialogs.messages[0];

    QGuiApplication::clipboard()->setText("alt");
    w.Trigger("mnuCopyBMP");
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), size);
    const QPoint middle(size.width() / 2, size.height() / 2);
    EXPECT_EQ(copied.pixel(middle), w.picture().Image().pixel(middle));
}

TEST(GraphOutput, ThePictureSaveDialogOffersBmpFirstAndGivesATypedNameTheFiltersEnding) {
    QTemporaryDir dir;
    const auto dialog =
        SaveFileDialog(nullptr, "Titel", "Bitmap-Dateien (*.bmp)|*.bmp|PNG-Bilder (*.png)|*.png|",
                       dir.filePath("*.bmp").toStdString());
    EXPECT_EQ(dialog->directory().path(), dir.path());
    EXPECT_EQ(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), "*.bmp");
    EXPECT_EQ(dialog->defaultSuffix(), "bmp");
    emit dialog->filterSelected("PNG-Bilder (*.png)");
    EXPECT_EQ(dialog->defaultSuffix(), "png");
}

TEST(frmAltitude, CalculatesAndTakesThePressureOver) {
    auto workspace = std::make_unique<Workspace>(WorkspaceFromSettings(Settings{}));
    workspace->settings.airPressureStandard = 1013;
    InMemorySettingsStore store;
    frmAltitude window(*workspace, store, nullptr);
    EXPECT_EQ(window.findChild<QLineEdit*>("txtNormPressure")->text(), "1013");
    auto* take = window.findChild<QPushButton*>("cmdGetValue");
    EXPECT_FALSE(take->isEnabled());
    window.findChild<QLineEdit*>("txtAltitude")->setText("1000");
    window.findChild<QPushButton*>("cmdCalc")->click();
    EXPECT_EQ(window.findChild<QLabel*>("lblResult")->text(), "Luftdruck (Höhe) = 893 mbar.");
    ASSERT_TRUE(take->isEnabled());
    take->click();
    EXPECT_EQ(workspace->settings.airPressure, 893);
    EXPECT_EQ(store.ReadSetting("Values", "AirPressure"), "893");
}

TEST(frmRunTimeTable, ShowsThePlanInColumnsAndCopiesItAsLines) {
    ScriptedUi ui;
    const std::vector<std::string> plan = {
        "Abtauchen auf  \t30 m\tZeit: 3 min.\tGesamtzeit: 3 min.\tN2: 78%\tHe: 0%",
        "Dekostufe: \t3 m\tZeit: 4 min.\tGesamtzeit: 36 min.\t N2: 78%\tHe: 0%"};
    frmRunTimeTable window(plan, ui, nullptr);
    auto* table = window.findChild<QTableWidget*>("lstPlan");
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(1, 2)->text(), "Zeit: 4 min.");
    window.findChild<QPushButton*>("cmdCopy")->click();
    EXPECT_EQ(QApplication::clipboard()->text(),
              QString::fromStdString(plan[0] + "\n" + plan[1] + "\n"));
    EXPECT_EQ(ui.boxes.back().text, "Tauchplan wurde in die Zwischenablage kopiert.");
}

TEST(frmBestMix, FillingStepsOfTheWantedMixAndNothingForAMixThatCannotBe) {
    ScriptedUi ui;
    frmBestMix window({"21", "79", "5"}, ui, nullptr);  // opened on a mix that does not add up
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(window.findChild<QLabel*>("lblHelium")->text(), "---");
    // Each case: the four fields, the helium step shown, the message box that came ("-": none)
    // and the start of the sum shown.
    for (const std::vector<std::string>& row : DataRows("gui/bestmix.tsv")) {
        for (const auto& [field, text] : {std::pair{"txtO2", row[0]},
                                          {"txtN2", row[1]},
                                          {"txtHe", row[2]},
                                          {"txtPressure", row[3]}})
            window.findChild<QLineEdit*>(field)->setText(QString::fromStdString(text));
        const std::size_t boxes = ui.boxes.size();
        window.findChild<QPushButton*>("cmdCalc")->click();
        EXPECT_EQ(window.findChild<QLabel*>("lblHelium")->text().toStdString(), row[4]) << row[3];
        EXPECT_EQ(ui.boxes.size() == boxes ? "-" : ui.boxes.back().text, row[5]) << row[3];
        EXPECT_TRUE(
            window.findChild<QLabel*>("lblSum")->text().startsWith(QString::fromStdString(row[6])));
    }
}

}  // namespace
}  // namespace marelos
