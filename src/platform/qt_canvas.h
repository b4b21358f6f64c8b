#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <memory>
#include <optional>

#include "core/graphics/canvas.h"
#include "core/graphics/picture_record.h"

namespace marelos {

// The Canvas on a painter that is painting on some device (an image, a printer page). Twips are
// scaled to the device's pixels with `pixelsPerTwip`; pen widths are screen pixels, multiplied by
// `penScale` so that a line keeps its weight at a printer's resolution; texts are set in points
// at the device's resolution.
class PainterCanvas : public Canvas {
  public:
    PainterCanvas(QPainter& painter, double pixelsPerTwip, double penScale, double widthTwips,
                  double heightTwips);

    double Width() const override { return width_; }
    double Height() const override { return height_; }
    void Clear(std::int32_t background) override;
    void Line(double x1, double y1, double x2, double y2, int width, std::int32_t colour) override;
    void Circle(double x, double y, double radius, int width, std::int32_t colour) override;
    void Text(double x, double y, std::string_view text, const CanvasFont& font,
              std::int32_t colour) override;

  private:
    QPen PenOf(int width, std::int32_t colour) const;

    QPainter& painter_;
    double pixelsPerTwip_;
    double penScale_;
    double width_;
    double height_;
    // The font of the last text, set again only when a text asks for another one.
    CanvasFont lastFont_;
    QFont font_;
    double ascent_ = 0;
    bool fontSet_ = false;
};

// The Canvas on a QImage: the picture keeps its drawing until it is cleared, like a picture box
// that repaints itself. Twips are scaled to pixels with the screen's real resolution (1440 twips
// per inch), and texts are set in points at that resolution. On a screen with more device
// pixels per pixel (a 2x screen, QT_SCALE_FACTOR) the image holds the device pixels, so lines
// and texts stay sharp; positions and sizes are the same as on a 1x screen.
// What was drawn since the last clearing is also kept as a record, so that the picture can be
// printed sharp.
class QtCanvas : public Canvas {
  public:
    explicit QtCanvas(double dotsPerInch = 96);
    ~QtCanvas() override;

    // A new size in (device-independent) pixels at the screen's device pixel ratio; the picture
    // is empty afterwards and has to be drawn again.
    void Resize(int widthPixels, int heightPixels, double devicePixelRatio = 1);
    // The picture as drawn so far.
    const QImage& Image() const;
    // The same picture as drawing calls, to paint it again at another resolution.
    const PictureRecord& Record() const { return record_; }
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
    PainterCanvas& Painting();
    void EndPainting() const;

    double dotsPerInch_;
    double pixelsPerTwip_;
    QImage image_;
    PictureRecord record_;
    mutable std::optional<PainterCanvas> painting_;
    mutable std::unique_ptr<QPainter> painter_;
};

}  // namespace marelos
