#pragma once

#include <QWidget>

#include "platform/qt_canvas.h"

namespace marelos {

// A picture on screen that keeps what was drawn into its canvas and repaints it without
// flicker; pointer positions are reported in the canvas's units (twips).
class PictureBox : public QWidget {
    Q_OBJECT

  public:
    explicit PictureBox(QWidget* parent = nullptr);

    QtCanvas& canvas() { return canvas_; }
    // The size the picture would like in a layout, beyond its minimum.
    void setPreferredSize(const QSize& size) { preferredSize_ = size; }
    QSize sizeHint() const override {
        return preferredSize_.isValid() ? preferredSize_ : QWidget::sizeHint();
    }
    const QtCanvas& canvas() const { return canvas_; }

  signals:
    void pointerMoved(double x, double y);
    void clicked(double x, double y);
    void doubleClicked();
    // The picture got a new size and is empty: draw it again.
    void resized();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QPointF ToTwips(const QPointF& pixels) const;

    QtCanvas canvas_;
    QSize preferredSize_;
};

}  // namespace marelos
