#include "app/analysis/graph_output.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImageReader>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include "tests/fakes/recording_canvas.h"
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

}  // namespace
}  // namespace marelos
