#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include "app/analysis/graph_output.h"
#include "core/text/paths.h"
#include "tests/fakes/golden.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/transcript.h"
#include "tests/gui/main_window.h"

namespace marelos {
namespace {

const std::string kExampleDive = MARELOS_SOURCE_DIR "/examples/luft-30m-25min.mrp";

// The last thing written into the picture, as the printer receives it: what, where, colour.
std::vector<std::string> LastCall(const QtCanvas& picture) {
    RecordingCanvas replay(picture.Width(), picture.Height());
    picture.Record().PaintOn(replay);
    const RecordingCanvas::Call& last = replay.calls.back();
    return {last.kind == RecordingCanvas::Call::kText ? "Text" : "kein Text", last.text,
            Transcript::Text(last.x1), Transcript::Text(last.y1), Transcript::Text(last.colour)};
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

// The dive prints sharp on one landscape page with its file name; the saved and copied
// pictures have the graph's size, and a name with wildcards saves nothing; an untitled profile
// prints an empty name.
TEST(GraphOutput, PrintsSavesAndCopiesTheGraph) {
    QTemporaryDir dir;
    MainWindow w(kExampleDive);
    Transcript t;
    t.Mask(dir.path().toStdString(), "<dir>");
    t.Mask(ShortenPath(kExampleDive), "<Titel>");
    t.Mask(MARELOS_SOURCE_DIR, "<src>");
    const QSize size = w.picture().Image().size();
    w.Trigger("mnuCalcSaturation");
    w.Trigger("mnuPartialPressureN2plusHe");
    const QString pdf = dir.filePath("grafik.pdf");
    w.dialogs.printFiles.push_back(pdf.toStdString());
    w.Trigger("cmdPrint");
    t.Note("gedruckt, zuletzt gezeichnet", w.dialogs.messages, LastCall(w.picture()));
    const PdfPages pages = ReadPdf(pdf);
    ASSERT_EQ(pages.boxes.size(), 1u);
    EXPECT_GT(pages.boxes[0].width(), pages.boxes[0].height());
    // Lines drawn at the printer's resolution, not a bitmap of the screen.
    EXPECT_FALSE(pages.hasImage);
    EXPECT_GT(pages.drawing.count(" l\n"), 100);

    EXPECT_EQ(w.picture().Image().size(), size);
    for (const char* name : {"grafik.bmp", "grafik.png"}) {
        w.dialogs.files.push_back(dir.filePath(name).toStdString());
        w.Trigger("mnuSavePic");
        QImageReader reader(dir.filePath(name));
        EXPECT_EQ(reader.format(), QFileInfo(name).suffix().toLatin1()) << name;
        EXPECT_EQ(reader.size(), size) << name;
    }
    for (const char* pattern : {"*.bmp", "grafik?.bmp", "fehlt/grafik.bmp"}) {
        w.dialogs.files.push_back(dir.filePath(pattern).toStdString());
        w.Trigger("mnuSavePic");
    }
    w.Note(t, "gespeichert");
    t.Note("Dateien", QDir(dir.path()).entryList(QDir::Files));

    QGuiApplication::clipboard()->setText("alt");
    w.Trigger("mnuCopyBMP");
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), size);
    const QPoint middle(size.width() / 2, size.height() / 2);
    EXPECT_EQ(copied.pixel(middle), w.picture().Image().pixel(middle));

    // An untitled profile prints an empty name; a printer that fails is reported.
    MainWindow untitled;
    untitled.Trigger("mnuPrintGraph");  // the print dialog is cancelled
    t.Note("ohne Namen abgebrochen, zuletzt gezeichnet", untitled.dialogs.messages,
           LastCall(untitled.picture()));
    untitled.dialogs.printFiles.push_back("/kein/ordner/grafik.pdf");
    untitled.Trigger("mnuPrintGraph");
    untitled.Trigger("mnuSetPrinter");
    t.Note("Drucker fehlt, Seite eingerichtet", untitled.dialogs.messages,
           untitled.dialogs.pageSetUps);
}

}  // namespace
}  // namespace marelos
