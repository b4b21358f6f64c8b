#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <memory>

#include "core/graphics/canvas.h"

namespace marelos {

// The Canvas on a QImage: the picture keeps its drawing until it is cleared, like a picture box
// that repaints itself. Twips are scaled to pixels with the screen's real resolution (1440 twips
// per inch), and texts are set in points at that resolution. On a screen with more device
// pixels per pixel (a 2x screen, QT_SCALE_FACTOR) the image holds the device pixels, so lines
// and texts stay sharp; positions and sizes are the same as on a 1x screen.
class QtCanvas : public Canvas {
  public:
    explicit QtCanvas(double dotsPerInch = 96);

    // A new size in (device-independent) pixels at the screen's device pixel ratio; the picture
    // is empty afterwards and has to be drawn again.
    void Resize(int widthPixels, int heightPixels, double devicePixelRatio = 1);
    // The picture as drawn so far.
    const QImage& Image() const;
    double PixelsPerTwip() const { return pixelsPerTwip_; }

    double Width() const override;
    double Height() const override;
    void Clear(std::int32_t background) override;
    void Line(double x1, double y1, double x2, double y2, int width, std::int32_t colour) override;
    void Circle(double x, double y, double radius, int width, std::int32_t colour) override;
    void Text(double x, double y, std::string_view text, const CanvasFont& font,
              std::int32_t colour) override;

  private:
    // One painter serves a whole run of drawing calls; reading the picture ends it.
    QPainter& Painter();
    void EndPainting() const;

    double dotsPerInch_;
    double pixelsPerTwip_;
    QImage image_;
    mutable std::unique_ptr<QPainter> painter_;
    // The font of the last text, set again only when a text asks for another one.
    CanvasFont lastFont_;
    QFont font_;
    double ascent_ = 0;
    bool fontSet_ = false;
};

}  // namespace marelos
