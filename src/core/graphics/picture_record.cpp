#include "picture_record.h"

#include <type_traits>

namespace marelos {

void PictureRecord::Clear(std::int32_t background) {
    background_ = background;
    calls_.clear();
}

void PictureRecord::Line(double x1, double y1, double x2, double y2, int width,
                         std::int32_t colour) {
    calls_.emplace_back(LineCall{x1, y1, x2, y2, width, colour});
}

void PictureRecord::Circle(double x, double y, double radius, int width, std::int32_t colour) {
    calls_.emplace_back(CircleCall{x, y, radius, width, colour});
}

void PictureRecord::Text(double x, double y, std::string_view text, const CanvasFont& font,
                         std::int32_t colour) {
    calls_.emplace_back(TextCall{x, y, std::string(text), font, colour});
}

void PictureRecord::PaintOn(Canvas& canvas) const {
    canvas.Clear(background_);
    for (const auto& call : calls_) {
        std::visit(
            [&canvas](const auto& c) {
                using Call = std::decay_t<decltype(c)>;
                if constexpr (std::is_same_v<Call, LineCall>) {
                    canvas.Line(c.x1, c.y1, c.x2, c.y2, c.width, c.colour);
                } else if constexpr (std::is_same_v<Call, CircleCall>) {
                    canvas.Circle(c.x, c.y, c.radius, c.width, c.colour);
                } else {
                    canvas.Text(c.x, c.y, c.text, c.font, c.colour);
                }
            },
            call);
    }
}

}  // namespace marelos
