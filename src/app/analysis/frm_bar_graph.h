#pragma once

#include <QDialog>

#include "core/ui/ui.h"

class QTimer;

namespace marelos {

class PictureBox;

// "Balkendiagramm Gewebesättigung": the compartment state at a minute, drawn into `picBG` by
// the main window.
class frmBarGraph : public QDialog {
    Q_OBJECT

  public:
    // `steps` is the timer of the stepwise display, held while Escape's question is open.
    frmBarGraph(Ui& ui, QTimer& steps, QWidget* parent);

    PictureBox* picBG() const { return picBG_; }
    // Whether the stepwise display runs, so that Escape asks "Abbrechen?"; "Ja" closes.
    void SetRunning(bool running) { running_ = running; }

  signals:
    void goClicked();
    void closeClicked();
    void pictureClicked();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    Ui& ui_;
    QTimer& steps_;
    PictureBox* picBG_;
    bool running_ = false;
};

}  // namespace marelos
