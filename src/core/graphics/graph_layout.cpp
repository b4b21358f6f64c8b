#include "graph_layout.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace marelos {
namespace {

constexpr double kTwipsPerPoint = 20;
// How many lines a label may move up or down from its spot before it is left out.
constexpr int kMaxLineShift = 6;
constexpr long long kBeyondAnyAxis = 1LL << 40;

std::size_t CharacterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// 1, 2, 5, 10, 20, 50, ... from the smallest at or above `from`.
long long NextNiceStep(long long from) {
    for (long long decade = 1;; decade *= 10) {
        for (const long long factor : {1, 2, 5}) {
            if (factor * decade >= from) return factor * decade;
        }
    }
}

double Luminance(std::int32_t colour) {
    const double red = colour & 0xFF;
    const double green = (colour >> 8) & 0xFF;
    const double blue = (colour >> 16) & 0xFF;
    return (0.2126 * red + 0.7152 * green + 0.0722 * blue) / 255;
}

}  // namespace

double TextWidth(std::string_view text, const CanvasFont& font) {
    return static_cast<double>(CharacterCount(text)) * font.size * kTwipsPerPoint * 0.6;
}

double TextHeight(const CanvasFont& font) {
    return font.size * kTwipsPerPoint * 1.1;
}

Box TextBox(double x, double y, std::string_view text, const CanvasFont& font) {
    return {x, y, x + TextWidth(text, font), y + TextHeight(font)};
}

bool LabelLayout::IsFree(const Box& box) const {
    if (!bounds_.Contains(box)) return false;
    for (const Box& taken : taken_) {
        if (taken.Intersects(box)) return false;
    }
    return true;
}

std::optional<LabelLayout::Place> LabelLayout::Put(double width, double height, Place spot,
                                                   double anchorX, double lineStep) {
    const double leftX = anchorX - (spot.x - anchorX) - width;
    for (int shift = 0; shift <= 2 * kMaxLineShift; ++shift) {
        // 0, +1, -1, +2, -2, ... lines
        const int lines = shift % 2 == 1 ? (shift + 1) / 2 : -(shift / 2);
        const double y = spot.y + lines * lineStep;
        for (const double x : {spot.x, leftX}) {
            const Box box{x, y, x + width, y + height};
            if (IsFree(box)) {
                taken_.push_back(box);
                return Place{x, y};
            }
        }
    }
    return std::nullopt;
}

AxisSteps AxisStepsFor(int wantedLabelStep, double unitsPerValue, double labelExtent) {
    const long long wanted = std::max(wantedLabelStep, 1);
    // An axis squeezed to nothing keeps only its origin.
    if (!(unitsPerValue > 0)) return {kBeyondAnyAxis, kBeyondAnyAxis};
    // Label steps stay multiples of the wanted one, so the labels keep their familiar values.
    const auto nextLabelStep = [wanted](long long step) {
        long long next = NextNiceStep(step + 1);
        while (next % wanted != 0)
            next = NextNiceStep(next + 1);
        return next;
    };
    AxisSteps steps;
    steps.label = wanted;
    while (steps.label * unitsPerValue < labelExtent)
        steps.label = nextLabelStep(steps.label);
    // The finest tick that divides the label step and keeps the ticks apart.
    steps.tick = 1;
    while (steps.tick < steps.label &&
           (steps.tick * unitsPerValue < kMinTickSpacing || steps.label % steps.tick != 0))
        steps.tick = NextNiceStep(steps.tick + 1);
    return steps;
}

void ReadableText(Canvas& canvas, double x, double y, std::string_view text, const CanvasFont& font,
                  std::int32_t colour) {
    if (Luminance(colour) > 0.55) {
        // A dark shadow one pixel (on a 96 dpi screen) below and right of the text.
        constexpr double d = 15;
        constexpr std::int32_t kShadow = 0x202020;
        canvas.Text(x + d, y + d, text, font, kShadow);
    }
    canvas.Text(x, y, text, font, colour);
}

}  // namespace marelos
