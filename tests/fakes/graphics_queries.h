#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/graphics/graph_layout.h"
#include "tests/fakes/recording_canvas.h"

namespace marelos {

// Questions the graph tests ask about what a routine drew on a RecordingCanvas.

// The calls of one kind for which `wanted(call)` holds, in drawing order.
template <class Wanted>
std::vector<RecordingCanvas::Call> CallsWhere(const RecordingCanvas& canvas,
                                              RecordingCanvas::Call::Kind kind, Wanted wanted) {
    std::vector<RecordingCanvas::Call> found;
    for (const RecordingCanvas::Call& call : canvas.Of(kind)) {
        if (wanted(call)) found.push_back(call);
    }
    return found;
}

inline std::vector<RecordingCanvas::Call> LinesOfColour(const RecordingCanvas& canvas,
                                                        std::int32_t colour) {
    return CallsWhere(canvas, RecordingCanvas::Call::kLine,
                      [colour](const auto& line) { return line.colour == colour; });
}

// The estimated boxes of the texts for which `wanted(call)` holds.
template <class Wanted>
std::vector<Box> TextBoxesWhere(const RecordingCanvas& canvas, Wanted wanted) {
    std::vector<Box> boxes;
    for (const RecordingCanvas::Call& text :
         CallsWhere(canvas, RecordingCanvas::Call::kText, wanted))
        boxes.push_back(TextBox(text.x1, text.y1, text.text, text.font));
    return boxes;
}

inline bool AnyTwoOverlap(const std::vector<Box>& boxes) {
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            if (boxes[i].Intersects(boxes[j])) return true;
        }
    }
    return false;
}

}  // namespace marelos
