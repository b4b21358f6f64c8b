#include "platform/qt_canvas.h"

#include <gtest/gtest.h>

#include <QColor>

namespace marelos {
namespace {

int DarkPixels(const QImage& image) {
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            dark += QColor(image.pixel(x, y)).lightness() < 128;
    }
    return dark;
}

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
    for (QtCanvas* canvas : {&single, &twice}) {
        canvas->Line(150, 750, 2850, 750, 1, 0);  // 10 to 190 pixels at y 50
        canvas->Text(150, 150, "Tauchzeit", {"DejaVu Sans", 8, false}, 0);
    }
    const QImage& sharp = twice.Image();
    EXPECT_LT(QColor(sharp.pixel(20, 100)).lightness(), 128);   // the line's start, doubled
    EXPECT_LT(QColor(sharp.pixel(379, 100)).lightness(), 128);  // and its end
    EXPECT_GT(QColor(sharp.pixel(390, 100)).lightness(), 128);
    // The same text covers about four times the device pixels.
    EXPECT_GT(DarkPixels(sharp), 3 * DarkPixels(single.Image()));
}

}  // namespace
}  // namespace marelos
