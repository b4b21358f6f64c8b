#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/graphics/canvas.h"

namespace marelos {

// A rectangle on a picture, in its units (y growing downward).
struct Box {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    bool Intersects(const Box& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
    Box Inset(double by) const { return {left + by, top + by, right - by, bottom - by}; }
    bool Contains(const Box& other) const {
        return other.left >= left && other.right <= right && other.top >= top &&
               other.bottom <= bottom;
    }
};

// The estimated extent of a text in a font. Without the screen's font metrics the estimate is
// generous (0.6 em per character, 1.1 em per line), so texts kept apart by it do not touch.
double TextWidth(std::string_view text, const CanvasFont& font);
double TextHeight(const CanvasFont& font);
Box TextBox(double x, double y, std::string_view text, const CanvasFont& font);

inline constexpr double kLabelClearance = 30;

// Puts labels where they cover neither each other nor the reserved areas (axis numbers,
// captions) and stay within the bounds. A label that fits nowhere near its spot is left out:
// a crowded graph loses a label rather than becoming unreadable.
class LabelLayout {
  public:
    // Labels keep a few pixels from the edges of the bounds, so they never touch a frame line.
    explicit LabelLayout(const Box& bounds) : bounds_(bounds.Inset(kLabelClearance)) {}

    void Reserve(const Box& box) { taken_.push_back(box); }
    bool IsFree(const Box& box) const;
    // Where a label of this size, wanted with its top-left corner at `spot`, goes: the spot
    // itself or the nearest free place a few lines below or above, right of `spot` or left of
    // `anchorX`; the place is reserved. Nothing when all of them are taken.
    struct Place {
        double x;
        double y;
    };
    std::optional<Place> Put(double width, double height, Place spot, double anchorX,
                             double lineStep);

  private:
    Box bounds_;
    std::vector<Box> taken_;
};

// Which values of an axis get a tick and which a label, so that ticks stand at least a few
// pixels apart and labels never run together however long the axis is. `unitsPerValue` is the
// axis length per minute or metre, `labelExtent` the room one label needs along the axis. The
// wanted label step holds while there is room; otherwise both steps grow along 1, 2, 5, 10 ...
struct AxisSteps {
    long long tick = 1;
    long long label = 1;
};
AxisSteps AxisStepsFor(int wantedLabelStep, double unitsPerValue, double labelExtent);

// The closest ticks may stand together, in picture units (4 pixels on a 96 dpi screen).
inline constexpr double kMinTickSpacing = 60;

// A text that stays readable on a light background: a light colour (yellow, orange) gets a
// dark shadow.
void ReadableText(Canvas& canvas, double x, double y, std::string_view text, const CanvasFont& font,
                  std::int32_t colour);

}  // namespace marelos
