#include "graph_output.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>

#include "app/shell/modal_dialogs.h"
#include "app/shell/picture_box.h"
#include "platform/qt_canvas.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

constexpr const char* kSavePicTitle = "Grafik des Tauchgangs speichern unter...";
constexpr const char* kSavePicFilter = "Bitmap-Dateien (*.bmp)|*.bmp|PNG-Bilder (*.png)|*.png|";
constexpr const char* kPrinterError = "Der Drucker kann die Grafik nicht drucken: ";
constexpr int kPrinterErrorNumber = 482;
constexpr double kFileNameX = 2000;
constexpr double kFileNameY = 100;
constexpr std::int32_t kBlack = 0;
constexpr double kTwipsPerInch = 1440;
constexpr double kScreenDotsPerInch = 96;  // pen widths are given in pixels of such a screen

// A name with a wildcard is the filter the user typed, not a file.
bool IsPattern(std::string_view name) {
    return name.find_first_of("*?") != std::string_view::npos;
}

std::string PrinterErrorText(const QPrinter& printer) {
    const QString target =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    return kPrinterError + ToStdString(target) + " (" + std::to_string(kPrinterErrorNumber) + ")";
}

}  // namespace

std::string PrintPicture(const QtCanvas& picture, QPrinter& printer) {
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer)) return PrinterErrorText(printer);
    const double dotsPerInch = printer.resolution();
    const double pixelsPerTwip = dotsPerInch / kTwipsPerInch;
    const QSizeF printable = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    const double fit = std::min({1.0, printable.width() / (picture.Width() * pixelsPerTwip),
                                 printable.height() / (picture.Height() * pixelsPerTwip)});
    painter.scale(fit, fit);
    PainterCanvas page(painter, pixelsPerTwip, dotsPerInch / kScreenDotsPerInch, picture.Width(),
                       picture.Height());
    picture.Record().PaintOn(page);
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        return PrinterErrorText(printer);
    }
    return {};
}

std::optional<Failure> SavePicture(const QImage& picture, const std::string& path) {
    const QString name = ToQString(path);
    QSaveFile file(name);
    const char* format = name.endsWith(".png", Qt::CaseInsensitive) ? "PNG" : "BMP";
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, format) || !file.commit()) {
        return Failure{FailureKind::WriteError, path};
    }
    return std::nullopt;
}

GraphOutput::GraphOutput(PictureBox& picture, ModalDialogs& dialogs)
    : picture_(picture), dialogs_(dialogs) {}

GraphOutput::~GraphOutput() = default;

QPrinter& GraphOutput::Printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

QWidget* GraphOutput::Parent() const {
    return picture_.window();
}

void GraphOutput::mnuPrintGraph(std::string_view profileFileName) {
    picture_.canvas().Text(kFileNameX, kFileNameY, profileFileName, CanvasFont{}, kBlack);
    picture_.update();
    QPrinter& printer = Printer();
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!dialogs_.Print(Parent(), printer)) return;
    const std::string error = PrintPicture(picture_.canvas(), printer);
    if (!error.empty()) dialogs_.Message(Parent(), error, MessageIcon::Critical);
}

void GraphOutput::mnuSetPrinter() {
    dialogs_.SetUpPage(Parent(), Printer());
}

void GraphOutput::mnuSavePic(std::string_view folder) {
    const std::optional<std::string> name =
        dialogs_.SaveFile(Parent(), kSavePicTitle, kSavePicFilter, std::string(folder) + "/*.bmp");
    if (!name || name->empty() || IsPattern(*name)) return;
    if (const auto failure = SavePicture(picture_.canvas().Image(), *name)) {
        dialogs_.Message(Parent(), FailureMessage(*failure), MessageIcon::Critical);
    }
}

void GraphOutput::mnuCopyBMP() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(picture_.canvas().Image());
}

}  // namespace marelos
