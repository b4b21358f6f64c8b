#include "slate_output.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

#include "platform/qt_canvas.h"
#include "platform/qt_convert.h"

namespace marelos {
namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kScreenDotsPerInch = 96;  // pen widths are given in pixels of such a screen
constexpr double kMarginMillimetres = 10;
constexpr int kPdfDotsPerInch = 1200;

}  // namespace

void PaintDiveSlate(QPainter& painter, double dotsPerInch, double width, double height,
                    const DiveSlate& slate) {
    const double pixelsPerTwip = dotsPerInch / kTwipsPerInch;
    const double fit = std::min(
        {1.0, width / (kSlateWidth * pixelsPerTwip), height / (kSlateHeight * pixelsPerTwip)});
    painter.save();
    painter.scale(fit, fit);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PainterCanvas page(painter, pixelsPerTwip, dotsPerInch / kScreenDotsPerInch, kSlateWidth,
                       kSlateHeight);
    DrawDiveSlate(page, slate);
    painter.restore();
}

bool PrintDiveSlate(QPagedPaintDevice& device, const DiveSlate& slate) {
    device.setPageOrientation(QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const double dotsPerInch = device.logicalDpiX();
    const QSizeF area = device.pageLayout().paintRectPixels(device.logicalDpiX()).size();
    PaintDiveSlate(painter, dotsPerInch, area.width(), area.height(), slate);
    return painter.end();
}

std::optional<Failure> SaveDiveSlatePdf(const DiveSlate& slate, const std::string& path) {
    const Failure failure{FailureKind::WriteError, path, {}, !QFileInfo::exists(ToQString(path))};
    QSaveFile file(ToQString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        return failure;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(kPdfDotsPerInch);
        pdf.setTitle(ToQString(slate.title));
        pdf.setCreator("Marelos");
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(kMarginMillimetres, kMarginMillimetres,
                                                kMarginMillimetres, kMarginMillimetres),
                                      QPageLayout::Millimeter));
        if (!PrintDiveSlate(pdf, slate)) return failure;
    }
    if (!file.commit()) {
        return failure;
    }
    return std::nullopt;
}

}  // namespace marelos
