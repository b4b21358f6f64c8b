#include "picture_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace marelos {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), canvas_(logicalDpiX()) {
    setAttribute(Qt::WA_OpaquePaintEvent);  // the picture covers the whole widget
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::CrossCursor);
    setMinimumSize(320, 220);
}

QPointF PictureBox::ToTwips(const QPointF& pixels) const {
    return pixels / canvas_.PixelsPerTwip();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    // Moved to a screen of another pixel ratio: draw the picture anew at that one.
    if (canvas_.Image().devicePixelRatio() != devicePixelRatioF()) {
        canvas_.Resize(width(), height(), devicePixelRatioF());
        emit resized();
    }
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.drawImage(QPointF(0, 0), canvas_.Image());
}

void PictureBox::resizeEvent(QResizeEvent* /*event*/) {
    canvas_.Resize(width(), height(), devicePixelRatioF());
    emit resized();
    update();
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    const QPointF twips = ToTwips(event->position());
    emit pointerMoved(twips.x(), twips.y());
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPointF twips = ToTwips(event->position());
    emit clicked(twips.x(), twips.y());
    update();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked();
    update();
}

}  // namespace marelos
