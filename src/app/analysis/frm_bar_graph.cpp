#include "frm_bar_graph.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/shell/dialog_parts.h"
#include "app/shell/picture_box.h"

namespace marelos {

frmBarGraph::frmBarGraph(Ui& ui, QTimer& steps, QWidget* parent)
    : QDialog(parent), ui_(ui), steps_(steps) {
    setObjectName("frmBarGraph");
    setWindowTitle("Balkendiagramm Gewebesättigung");
    setMinimumSize(200, 134);  // 3000 x 2000 units
    picBG_ = new PictureBox(this);
    picBG_->setObjectName("picBG");
    picBG_->setMinimumSize(180, 80);
    auto* go = new QPushButton("&Start", this);
    go->setObjectName("cmdGo");
    auto* close = new QPushButton("S&chließen", this);
    close->setObjectName("cmdClose");
    connect(go, &QPushButton::clicked, this, &frmBarGraph::goClicked);
    connect(close, &QPushButton::clicked, this, &frmBarGraph::closeClicked);
    connect(picBG_, &PictureBox::clicked, this, [this] { emit pictureClicked(); });
    auto* buttons = ButtonRow({}, {go, close});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picBG_, 1);
    layout->addLayout(buttons);
    resize(560, 420);
}

void frmBarGraph::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    // Escape asks whether to stop a running display and does nothing otherwise; no minute
    // passes behind the question.
    if (!running_) return;
    steps_.stop();
    if (ui_.Ask("Abbrechen?", Buttons::YesNo, MessageIcon::Question) == Answer::Yes) {
        emit closeClicked();
    } else {
        steps_.start();
    }
}

void frmBarGraph::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit closeClicked();
}

}  // namespace marelos
