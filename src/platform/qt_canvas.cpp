#include "qt_canvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <algorithm>

#include "platform/qt_convert.h"

namespace marelos {
namespace {

constexpr double kTwipsPerInch = 1440;
constexpr std::int32_t kWhite = 0xFFFFFF;

}  // namespace

PainterCanvas::PainterCanvas(QPainter& painter, double pixelsPerTwip, double penScale,
                             double widthTwips, double heightTwips)
    : painter_(painter),
      pixelsPerTwip_(pixelsPerTwip),
      penScale_(penScale),
      width_(widthTwips),
      height_(heightTwips) {}

QPen PainterCanvas::PenOf(int width, std::int32_t colour) const {
    QPen pen(ToQColor(colour));
    pen.setWidthF(std::max(width, 1) * penScale_);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void PainterCanvas::Clear(std::int32_t background) {
    const double s = pixelsPerTwip_;
    painter_.fillRect(QRectF(0, 0, width_ * s, height_ * s), ToQColor(background));
}

void PainterCanvas::Line(double x1, double y1, double x2, double y2, int width,
                         std::int32_t colour) {
    painter_.setRenderHint(QPainter::Antialiasing, width > 1);
    painter_.setPen(PenOf(width, colour));
    const double s = pixelsPerTwip_;
    painter_.drawLine(QPointF(x1 * s, y1 * s), QPointF(x2 * s, y2 * s));
}

void PainterCanvas::Circle(double x, double y, double radius, int width, std::int32_t colour) {
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setPen(PenOf(width, colour));
    const double s = pixelsPerTwip_;
    painter_.drawEllipse(QPointF(x * s, y * s), radius * s, radius * s);
}

void PainterCanvas::Text(double x, double y, std::string_view text, const CanvasFont& font,
                         std::int32_t colour) {
    const bool sameFont = fontSet_ && font.name == lastFont_.name && font.size == lastFont_.size &&
                          font.bold == lastFont_.bold;
    if (!sameFont) {
        font_ = QFont(ToQString(font.name));
        font_.setPointSizeF(font.size);
        font_.setBold(font.bold);
        lastFont_ = font;
        fontSet_ = true;
        ascent_ = QFontMetricsF(font_, painter_.device()).ascent();
    }
    painter_.setFont(font_);
    painter_.setPen(ToQColor(colour));
    const double s = pixelsPerTwip_;
    painter_.drawText(QPointF(x * s, y * s + ascent_), ToQString(text));
}

QtCanvas::QtCanvas(double dotsPerInch)
    : dotsPerInch_(dotsPerInch),
      pixelsPerTwip_(dotsPerInch / kTwipsPerInch),
      image_(1, 1, QImage::Format_RGB32) {
    image_.fill(Qt::white);
}

QtCanvas::~QtCanvas() {
    EndPainting();
}

PainterCanvas& QtCanvas::Painting() {
    if (!painting_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::TextAntialiasing);
        painting_.emplace(*painter_, pixelsPerTwip_, 1.0, Width(), Height());
    }
    return *painting_;
}

void QtCanvas::EndPainting() const {
    painting_.reset();
    painter_.reset();
}

const QImage& QtCanvas::Image() const {
    EndPainting();
    return image_;
}

void QtCanvas::Resize(int widthPixels, int heightPixels, double devicePixelRatio) {
    EndPainting();
    const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1;
    image_ =
        QImage(static_cast<int>(std::max(widthPixels, 1) * ratio + 0.5),
               static_cast<int>(std::max(heightPixels, 1) * ratio + 0.5), QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    // Points become pixels at the screen's resolution; the painter adds the device pixel ratio.
    const int dotsPerMetre = static_cast<int>(dotsPerInch_ / 0.0254 + 0.5);
    image_.setDotsPerMeterX(dotsPerMetre);
    image_.setDotsPerMeterY(dotsPerMetre);
    image_.fill(Qt::white);
    record_.Clear(kWhite);
}

double QtCanvas::Width() const {
    return image_.deviceIndependentSize().width() / pixelsPerTwip_;
}

double QtCanvas::Height() const {
    return image_.deviceIndependentSize().height() / pixelsPerTwip_;
}

void QtCanvas::Clear(std::int32_t background) {
    EndPainting();
    image_.fill(ToQColor(background));
    record_.Clear(background);
}

void QtCanvas::Line(double x1, double y1, double x2, double y2, int width, std::int32_t colour) {
    Painting().Line(x1, y1, x2, y2, width, colour);
    record_.Line(x1, y1, x2, y2, width, colour);
}

void QtCanvas::Circle(double x, double y, double radius, int width, std::int32_t colour) {
    Painting().Circle(x, y, radius, width, colour);
    record_.Circle(x, y, radius, width, colour);
}

void QtCanvas::Text(double x, double y, std::string_view text, const CanvasFont& font,
                    std::int32_t colour) {
    Painting().Text(x, y, text, font, colour);
    record_.Text(x, y, text, font, colour);
}

}  // namespace marelos
