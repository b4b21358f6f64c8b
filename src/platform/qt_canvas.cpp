#include "qt_canvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include "platform/qt_convert.h"

namespace marelos {
namespace {

constexpr double kTwipsPerInch = 1440;

QPen PenOf(int width, std::int32_t colour) {
    QPen pen(ToQColor(colour));
    pen.setWidth(std::max(width, 1));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

}  // namespace

QtCanvas::QtCanvas(double dotsPerInch)
    : dotsPerInch_(dotsPerInch),
      pixelsPerTwip_(dotsPerInch / kTwipsPerInch),
      image_(1, 1, QImage::Format_RGB32) {
    image_.fill(Qt::white);
}

QPainter& QtCanvas::Painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::TextAntialiasing);
    }
    return *painter_;
}

void QtCanvas::EndPainting() const {
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
}

void QtCanvas::Line(double x1, double y1, double x2, double y2, int width, std::int32_t colour) {
    QPainter& painter = Painter();
    painter.setRenderHint(QPainter::Antialiasing, width > 1);
    painter.setPen(PenOf(width, colour));
    const double s = pixelsPerTwip_;
    painter.drawLine(QPointF(x1 * s, y1 * s), QPointF(x2 * s, y2 * s));
}

void QtCanvas::Circle(double x, double y, double radius, int width, std::int32_t colour) {
    QPainter& painter = Painter();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(PenOf(width, colour));
    const double s = pixelsPerTwip_;
    painter.drawEllipse(QPointF(x * s, y * s), radius * s, radius * s);
}

void QtCanvas::Text(double x, double y, std::string_view text, const CanvasFont& font,
                    std::int32_t colour) {
    QPainter& painter = Painter();
    const bool sameFont = fontSet_ && font.name == lastFont_.name && font.size == lastFont_.size &&
                          font.bold == lastFont_.bold;
    if (!sameFont) {
        font_ = QFont(ToQString(font.name));
        font_.setPointSizeF(font.size);
        font_.setBold(font.bold);
        lastFont_ = font;
        fontSet_ = true;
        ascent_ = QFontMetricsF(font_, &image_).ascent();
    }
    painter.setFont(font_);
    painter.setPen(ToQColor(colour));
    const double s = pixelsPerTwip_;
    painter.drawText(QPointF(x * s, y * s + ascent_), ToQString(text));
}

}  // namespace marelos
