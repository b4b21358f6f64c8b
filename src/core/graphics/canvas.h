#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace marelos {

struct CanvasFont {
    std::string name = "Arial";
    double size = 8;  // points
    bool bold = false;
};

// A picture that keeps what is drawn into it until it is cleared. Positions are in the
// picture's own units (twips, about 15 per screen pixel, y growing downward); pen widths are in
// pixels; colours are 0x00BBGGRR. Every drawing routine draws through this, so the screen, the
// printer, the picture export and the tests share one code path.
class Canvas {
  public:
    virtual ~Canvas() = default;

    virtual double Width() const = 0;
    virtual double Height() const = 0;

    // Fills the whole picture with the background colour.
    virtual void Clear(std::int32_t background) = 0;
    virtual void Line(double x1, double y1, double x2, double y2, int width,
                      std::int32_t colour) = 0;
    virtual void Circle(double x, double y, double radius, int width, std::int32_t colour) = 0;
    // A text with its top-left corner at (x, y).
    virtual void Text(double x, double y, std::string_view text, const CanvasFont& font,
                      std::int32_t colour) = 0;
};

}  // namespace marelos
