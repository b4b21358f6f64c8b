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
    EXPECT_EQ(page.Dump(),
              "B 0 0 0 0 0 16711680\nO 50 60 30 0 2 65280\n"
              "T 2000 100 0 0 0 0 DejaVu Sans 10b tg.mrp\nL 1 2 3 4 3 1193046\n");
}

}  // namespace
}  // namespace marelos
