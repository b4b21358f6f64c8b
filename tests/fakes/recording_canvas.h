#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "core/graphics/canvas.h"

namespace marelos {

// Keeps every drawing call, so tests can look at what a routine drew and where.
class RecordingCanvas : public Canvas {
  public:
    struct Call {
        enum Kind { kClear, kLine, kCircle, kText } kind;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line ends; circle centre and radius in x2
        int width = 0;
        std::int32_t colour = 0;
        std::string text;
        CanvasFont font;
    };

    RecordingCanvas(double width, double height) : width_(width), height_(height) {}

    double Width() const override { return width_; }
    double Height() const override { return height_; }
    void Clear(std::int32_t background) override {
        calls.clear();
        calls.push_back({Call::kClear, 0, 0, 0, 0, 0, background, {}, {}});
    }
    void Line(double x1, double y1, double x2, double y2, int width, std::int32_t colour) override {
        calls.push_back({Call::kLine, x1, y1, x2, y2, width, colour, {}, {}});
    }
    void Circle(double x, double y, double radius, int width, std::int32_t colour) override {
        calls.push_back({Call::kCircle, x, y, radius, 0, width, colour, {}, {}});
    }
    void Text(double x, double y, std::string_view text, const CanvasFont& font,
              std::int32_t colour) override {
        calls.push_back({Call::kText, x, y, 0, 0, 0, colour, std::string(text), font});
    }

    std::vector<Call> Of(Call::Kind kind) const {
        std::vector<Call> found;
        for (const Call& call : calls) {
            if (call.kind == kind) found.push_back(call);
        }
        return found;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Call& call : Of(Call::kText))
            texts.push_back(call.text);
        return texts;
    }

    // Every call, one a line (B clearing, L line, O circle, T text), to compare with a golden file.
    std::string Dump() const {
        std::ostringstream out;
        out.precision(9);
        for (const Call& c : calls) {
            out << "BLOT"[c.kind] << ' ' << c.x1 << ' ' << c.y1 << ' ' << c.x2 << ' ' << c.y2 << ' '
                << c.width << ' ' << c.colour;
            if (c.kind == Call::kText)
                out << ' ' << c.font.name << ' ' << c.font.size << (c.font.bold ? "b " : " ")
                    << c.text;
            out << '\n';
        }
        return out.str();
    }

    std::vector<Call> calls;

  private:
    double width_;
    double height_;
};

}  // namespace marelos
