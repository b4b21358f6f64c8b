#include "frm_select_dc.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "app/divecomputers/vyper_windows.h"
#include "app/shell/dialog_parts.h"

namespace marelos {

frmSelectDC::frmSelectDC(const Settings& settings, SettingsStore& store, Ui& ui,
                         ShowDeviceDive showDive, QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmSelectDC");
    setWindowTitle("Computer auswählen");
    auto* vyper = NamedButton("cmdSuuntoVper", "Suunto Vyper", this);
    auto* kora = NamedButton("cmdKORA4", "KORA 4", this);
    auto* close = NamedButton("cmdClose", "Schließen", this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(vyper, &QPushButton::clicked, this, [this, &settings, &store, &ui] {
        hide();
        frmVyper window(settings, store, ui, parentWidget());
        window.exec();
        fileToOpen_ = window.fileToOpen();
        accept();
    });
    connect(kora, &QPushButton::clicked, this, [this, &settings, &store, &ui, showDive] {
        hide();
        frmKORA4 window(settings, store, ui, showDive, parentWidget());
        window.exec();
        accept();
    });
    auto* layout = new QVBoxLayout(this);
    for (QPushButton* b : {vyper, kora, close})
        layout->addWidget(b);
    setMinimumWidth(260);
}

}  // namespace marelos
