#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/graphics/canvas.h"

namespace marelos {

// What a picture received since it was last cleared, in the picture's own units. The same
// picture can then be painted again on another canvas, such as a printer page at the printer's
// own resolution, instead of enlarging the screen's pixels.
class PictureRecord {
  public:
    // Everything before is covered by the background.
    void Clear(std::int32_t background);
    void Line(double x1, double y1, double x2, double y2, int width, std::int32_t colour);
    void Circle(double x, double y, double radius, int width, std::int32_t colour);
    void Text(double x, double y, std::string_view text, const CanvasFont& font,
              std::int32_t colour);

    // Paints the picture onto `canvas`, background first.
    void PaintOn(Canvas& canvas) const;

  private:
    struct LineCall {
        double x1, y1, x2, y2;
        int width;
        std::int32_t colour;
    };
    struct CircleCall {
        double x, y, radius;
        int width;
        std::int32_t colour;
    };
    struct TextCall {
        double x, y;
        std::string text;
        CanvasFont font;
        std::int32_t colour;
    };

    std::int32_t background_ = 0xFFFFFF;
    std::vector<std::variant<LineCall, CircleCall, TextCall>> calls_;
};

}  // namespace marelos
