#include "core/graphics/picture_record.h"

#include <gtest/gtest.h>

#include "tests/fakes/recording_canvas.h"

namespace marelos {
namespace {

TEST(PictureRecord, PaintsWhatWasDrawnSinceTheLastClearingInItsOrder) {
    PictureRecord record;
    record.Line(0, 0, 100, 100, 1, 255);  // covered by the clearing below
    record.Clear(0xFF0000);
    record.Circle(50, 60, 30, 2, 0x00FF00);
    record.Text(2000, 100, "tg.mrp", CanvasFont{"DejaVu Sans", 10, true}, 0);
    record.Line(1, 2, 3, 4, 3, 0x123456);

    RecordingCanvas page(9000, 6000);
    record.PaintOn(page);
    using Call = RecordingCanvas::Call;
    ASSERT_EQ(page.calls.size(), 4u);
    EXPECT_EQ(page.calls[0].colour, 0xFF0000);
    EXPECT_EQ(page.calls[1].kind, Call::kCircle);
    EXPECT_EQ(page.calls[1].x2, 30);  // the radius
    EXPECT_TRUE(page.calls[2].font.bold);
    EXPECT_EQ(page.calls[3].kind, Call::kLine);
    EXPECT_EQ(page.calls[3].y2, 4);
}

}  // namespace
}  // namespace marelos
