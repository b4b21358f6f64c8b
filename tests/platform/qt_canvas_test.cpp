#include "platform/qt_canvas.h"

#include <gtest/gtest.h>

#include <QColor>

namespace marelos {
namespace {

// On a 2x screen the picture holds twice the pixels each way, at the same positions in twips,
// so a line is as long but drawn with the screen's full sharpness.
TEST(QtCanvas, DrawsAtTheDevicePixelRatio) {
    QtCanvas single(96);
    QtCanvas twice(96);
    single.Resize(200, 100);
    twice.Resize(200, 100, 2);
    EXPECT_DOUBLE_EQ(twice.Width(), single.Width());
    EXPECT_DOUBLE_EQ(twice.Height(), single.Height());
    EXPECT_EQ(twice.Image().width(), 400);
    EXPECT_EQ(twice.Image().height(), 200);
    twice.Line(150, 750, 2850, 750, 1, 0);  // 10 to 190 pixels at y 50
    const QImage& sharp = twice.Image();
    EXPECT_LT(QColor(sharp.pixel(20, 100)).lightness(), 128);   // the line's start, doubled
    EXPECT_LT(QColor(sharp.pixel(379, 100)).lightness(), 128);  // and its end
    EXPECT_GT(QColor(sharp.pixel(390, 100)).lightness(), 128);
}

}  // namespace
}  // namespace marelos
