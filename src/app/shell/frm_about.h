#pragma once

#include <QDialog>

namespace marelos {

// The About window: also the start-up picture, which closes itself after a while and has no
// OK button then.
class frmAbout : public QDialog {
    Q_OBJECT

  public:
    // `closeAfterMilliseconds` > 0 makes it the start-up picture.
    explicit frmAbout(QWidget* parent, int closeAfterMilliseconds = 0);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace marelos
