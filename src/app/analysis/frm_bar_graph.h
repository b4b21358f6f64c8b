#pragma once

#include <QDialog>

namespace marelos {

class PictureBox;

// "Balkendiagramm Gewebesättigung": the compartment state at a minute, drawn into `picBG` by
// the main window.
class frmBarGraph : public QDialog {
    Q_OBJECT

  public:
    explicit frmBarGraph(QWidget* parent);

    PictureBox* picBG() const { return picBG_; }
    // Whether the stepwise display runs, so that Escape asks to stop it.
    void SetRunning(bool running) { running_ = running; }

  signals:
    void goClicked();
    void closeClicked();
    void pictureClicked();
    // Escape while the display runs: the owner asks "Abbrechen?" and holds the display meanwhile.
    void stopAsked();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    PictureBox* picBG_;
    bool running_ = false;
};

}  // namespace marelos
